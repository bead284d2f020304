// Shared helpers for the unit and end-to-end tests: temporary folders, files, output capture.
#include "support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/console.h"

namespace {

constexpr uid_t kNobodyUid = 65534;
constexpr gid_t kNobodyGid = 65534;

std::string ReadFd(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  return text;
}

void ListInto(const std::string& root, const std::string& relative, std::set<std::string>& out) {
  DIR* dir = opendir((root + "/" + relative).c_str());
  if (dir == nullptr) return;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string rel = relative.empty() ? name : relative + "/" + name;
    struct stat st;
    if (lstat((root + "/" + rel).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      out.insert(rel + "/");
      ListInto(root, rel, out);
    } else {
      out.insert(rel);
    }
  }
  closedir(dir);
}

// Removes `name` below the folder `parent` with everything below it, one folder handle at a time,
// so that trees deeper than the longest path the system takes go too.
void RemoveEntryAt(int parent, const char* name) {
  struct stat st;
  if (fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (!S_ISDIR(st.st_mode)) {
    unlinkat(parent, name, 0);
    return;
  }
  fchmodat(parent, name, 0700, 0);
  const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
  if (fd >= 0) {
    if (DIR* dir = fdopendir(fd)) {
      std::vector<std::string> names;
      while (dirent* entry = readdir(dir)) {
        std::string entryName = entry->d_name;
        if (entryName != "." && entryName != "..") names.push_back(entryName);
      }
      for (const std::string& entryName : names) RemoveEntryAt(dirfd(dir), entryName.c_str());
      closedir(dir);
    } else {
      close(fd);
    }
  }
  unlinkat(parent, name, AT_REMOVEDIR);
}

std::string CaptureFd(int fd, FILE* stream, std::ostream& cppStream,
                      const std::function<void()>& body) {
  FlushOutput();
  cppStream.flush();
  fflush(stream);
  char name[] = "/tmp/qm26-capture-XXXXXX";
  int tmp = mkstemp(name);
  if (tmp < 0) throw std::runtime_error("mkstemp failed");
  unlink(name);
  int saved = dup(fd);
  dup2(tmp, fd);
  body();
  FlushOutput();
  cppStream.flush();
  fflush(stream);
  dup2(saved, fd);
  close(saved);
  lseek(tmp, 0, SEEK_SET);
  std::string text = ReadFd(tmp);
  close(tmp);
  return text;
}

// A copy of the generator that the user nobody can run wherever the build folder lies (a clone
// below /root, say). Made once per test process and removed when it ends.
const std::string& BinaryForNobody() {
  static const std::string path = [] {
    static ScopedTempDir folder;
    chmod(folder.path().c_str(), 0755);
    const std::string copy = folder / "qm26-ide-gen";
    WriteFile(copy, ReadFile(QM26_BINARY));
    chmod(copy.c_str(), 0755);
    return copy;
  }();
  return path;
}

}  // namespace

ScopedTempDir::ScopedTempDir() {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                        "/qm26-test-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = buffer.data();
  // Unprivileged test runs must be able to reach and write the folder.
  chmod(path_.c_str(), 0777);
}

ScopedTempDir::~ScopedTempDir() { RemoveTree(path_); }

std::string ScopedTempDir::operator/(const std::string& relative) const {
  return path_ + "/" + relative;
}

void MakeDirs(const std::string& path) {
  std::string partial;
  std::stringstream stream(path);
  std::string piece;
  if (!path.empty() && path[0] == '/') partial = "/";
  while (std::getline(stream, piece, '/')) {
    if (piece.empty()) continue;
    partial += piece;
    mkdir(partial.c_str(), 0777);
    partial += "/";
  }
}

void WriteFile(const std::string& path, const std::string& content) {
  size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0) MakeDirs(path.substr(0, slash));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::set<std::string> ListTree(const std::string& root) {
  std::set<std::string> out;
  ListInto(root, "", out);
  return out;
}

void RemoveTree(const std::string& path) { RemoveEntryAt(AT_FDCWD, path.c_str()); }

void CopyTree(const std::string& from, const std::string& to) {
  std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::stringstream stream(text);
  while (std::getline(stream, line)) lines.push_back(line);
  return lines;
}

std::string CaptureStdout(const std::function<void()>& body) {
  return CaptureFd(STDOUT_FILENO, stdout, std::cout, body);
}

std::string CaptureStderr(const std::function<void()>& body) {
  return CaptureFd(STDERR_FILENO, stderr, std::cerr, body);
}

bool RunningAsRoot() { return geteuid() == 0; }

int RunUnprivileged(const std::function<int()>& body) {
  FlushOutput();
  std::cout.flush();
  fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (RunningAsRoot()) {
      if (setgroups(0, nullptr) != 0 || setresgid(kNobodyGid, kNobodyGid, kNobodyGid) != 0 ||
          setresuid(kNobodyUid, kNobodyUid, kNobodyUid) != 0) {
        _exit(125);
      }
    }
    int result = body();
    FlushOutput();
    std::cout.flush();
    fflush(nullptr);
    _exit(result);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

RunResult RunCommand(const std::vector<std::string>& command, const std::string& workingDir,
                     const std::vector<std::string>& environment) {
  int outPipe[2];
  int errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) throw std::runtime_error("pipe failed");
  std::cout.flush();
  fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(outPipe[1], STDOUT_FILENO);
    dup2(errPipe[1], STDERR_FILENO);
    close(outPipe[0]);
    close(errPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(126);
    for (const std::string& setting : environment) {
      const size_t equals = setting.find('=');
      setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
    }
    std::vector<std::string> args = command;
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  RunResult result;
  // Standard error stays small (only copy failures), so reading stdout first cannot deadlock
  // unless stderr fills its pipe; read both fully before waiting.
  result.out = ReadFd(outPipe[0]);
  result.err = ReadFd(errPipe[0]);
  close(outPipe[0]);
  close(errPipe[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

RunResult RunGeneratorBinary(const std::vector<std::string>& args, const std::string& workingDir,
                             bool unprivileged) {
  std::vector<std::string> command;
  if (unprivileged && RunningAsRoot()) {
    command = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
               BinaryForNobody()};
  } else {
    command.push_back(QM26_BINARY);
  }
  command.insert(command.end(), args.begin(), args.end());
  return RunCommand(command, workingDir);
}

std::string SourceDir() { return QM26_SOURCE_DIR; }
