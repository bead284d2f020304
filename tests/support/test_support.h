// Shared helpers for the unit and end-to-end tests: temporary folders, files, output capture.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

/// A fresh folder below the system's temporary folder, removed with all its contents at scope end.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::string& path() const { return path_; }
  /// path() + "/" + relative.
  std::string operator/(const std::string& relative) const;

 private:
  std::string path_;
};

/// Writes `content` to `path`, creating missing parent folders.
void WriteFile(const std::string& path, const std::string& content);
/// The whole content of `path`; "" when it cannot be read.
std::string ReadFile(const std::string& path);
/// Creates `path` and its missing parents.
void MakeDirs(const std::string& path);
bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);
/// Every file and folder below `root`, as sorted paths relative to it (folders end with "/").
std::set<std::string> ListTree(const std::string& root);
/// Removes `path` with everything below it (also read-only folders).
void RemoveTree(const std::string& path);
/// Copies `from` with everything below it to `to`, links as what they point to; throws on failure.
void CopyTree(const std::string& from, const std::string& to);

/// The lines of `text`, split at "\n" (a final newline adds no empty line).
std::vector<std::string> SplitLines(const std::string& text);

/// Runs `body` with standard output captured and returns what it printed.
std::string CaptureStdout(const std::function<void()>& body);
/// Runs `body` with standard error captured and returns what it printed.
std::string CaptureStderr(const std::function<void()>& body);

/// True when the tests run as root, who ignores permission bits.
bool RunningAsRoot();

/// Runs `body` in a child process that, when the tests run as root, first drops to the
/// unprivileged user nobody, so permission bits apply. Returns the child's exit status
/// (`body`'s result), or -1 when the child failed to start or died.
int RunUnprivileged(const std::function<int()>& body);

struct RunResult {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

/// Runs `command` (its first element found through PATH when it has no "/") in the folder
/// `workingDir`, with the "NAME=value" settings of `environment` added to the test's environment.
/// Exit status 127 means the command could not be started.
RunResult RunCommand(const std::vector<std::string>& command, const std::string& workingDir,
                     const std::vector<std::string>& environment = {});

/// Runs the built qm26-ide-gen with `args` in the folder `workingDir`; when `unprivileged` and the
/// tests run as root, it runs as the user nobody (through setpriv).
RunResult RunGeneratorBinary(const std::vector<std::string>& args, const std::string& workingDir,
                             bool unprivileged = false);

/// The folder of the repository's sources, for bundled example data.
std::string SourceDir();
