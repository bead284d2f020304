// Reading a text file one line at a time, refusing files too large to be source or not text.
#include "fs/text_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

constexpr size_t kBlockSize = 64 * 1024;
// As much of the start of a file as is searched for a NUL byte.
constexpr size_t kTextProbeSize = 8 * 1024;

// Closes the descriptor at scope end.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::string TooLargeReason(uint64_t maxBytes) {
  constexpr uint64_t kKiB = 1024;
  constexpr uint64_t kMiB = 1024 * kKiB;
  if (maxBytes >= kMiB && maxBytes % kMiB == 0) {
    return "larger than " + std::to_string(maxBytes / kMiB) + " MiB";
  }
  if (maxBytes >= kKiB && maxBytes % kKiB == 0) {
    return "larger than " + std::to_string(maxBytes / kKiB) + " KiB";
  }
  return "larger than " + std::to_string(maxBytes) + " bytes";
}

Result ReadTextLines(const std::string& path, uint64_t maxBytes,
                     const std::function<bool(std::string_view line)>& onLine,
                     const std::function<bool(const struct stat& opened)>& onOpened) {
  return ReadTextLinesAt({AT_FDCWD, path, path}, maxBytes, onLine, onOpened);
}

Result ReadTextLinesAt(const FileAt& at, uint64_t maxBytes,
                       const std::function<bool(std::string_view line)>& onLine,
                       const std::function<bool(const struct stat& opened)>& onOpened) {
  const std::string& path = at.path;
  // Opening a device can have effects (a serial port's lines, a watchdog): only a regular file is
  // opened. O_NONBLOCK: one replaced by a named pipe meanwhile must not hold the reading up.
  struct stat before;
  if (fstatat(at.folder, at.name.c_str(), &before, 0) != 0) return Result::FromErrno(path, errno);
  if (S_ISDIR(before.st_mode)) return Result::FromErrno(path, EISDIR);
  if (!S_ISREG(before.st_mode)) return Result::Failure(path, kNotTextReason);
  FileDescriptor file(openat(at.folder, at.name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) return Result::FromErrno(path, errno);
  struct stat status;
  if (fstat(file.get(), &status) != 0) return Result::FromErrno(path, errno);
  if (S_ISDIR(status.st_mode)) return Result::FromErrno(path, EISDIR);
  if (!S_ISREG(status.st_mode)) return Result::Failure(path, kNotTextReason);
  if (static_cast<uint64_t>(status.st_size) > maxBytes) {
    return Result::Failure(path, TooLargeReason(maxBytes));
  }
  if (onOpened && !onOpened(status)) return Result::Success();

  // A source file fits one block, read once; a file that reports no size is read to its end.
  const uint64_t fileSize = static_cast<uint64_t>(status.st_size);
  const size_t blockSize =
      fileSize > 0 && fileSize < kBlockSize ? static_cast<size_t>(fileSize) : kBlockSize;
  std::unique_ptr<char[]> block(new char[blockSize]);
  std::string line;
  bool first = true;
  uint64_t total = 0;
  // The file as it was when opened: what is appended while it is read is not waited for.
  while (fileSize == 0 || total < fileSize) {
    const ssize_t count = read(file.get(), block.get(), blockSize);
    if (count < 0) {
      if (errno == EINTR) continue;
      return Result::FromErrno(path, errno);
    }
    if (count == 0) break;
    const size_t size = static_cast<size_t>(count);
    total += size;
    if (first) {
      first = false;
      const size_t probe = size < kTextProbeSize ? size : kTextProbeSize;
      if (memchr(block.get(), '\0', probe) != nullptr) {
        return Result::Failure(path, kNotTextReason);
      }
    }
    // A line that lies whole in the block is passed where it lies; only one that spans blocks
    // is gathered.
    size_t from = 0;
    while (from < size) {
      const void* found = memchr(block.get() + from, '\n', size - from);
      if (found == nullptr) {
        line.append(block.get() + from, size - from);
        break;
      }
      const size_t newline = static_cast<size_t>(static_cast<const char*>(found) - block.get());
      bool goOn;
      if (line.empty()) {
        goOn = onLine(std::string_view(block.get() + from, newline - from));
      } else {
        line.append(block.get() + from, newline - from);
        goOn = onLine(line);
        line.clear();
      }
      if (!goOn) return Result::Success();
      from = newline + 1;
    }
  }
  if (!line.empty()) onLine(line);
  return Result::Success();
}
