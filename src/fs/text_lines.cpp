// Reading a text file one line at a time, refusing files too large to be source or not text.
#include "fs/text_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

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

TextReadResult Status(TextReadStatus status, int error = 0) {
  TextReadResult result;
  result.status = status;
  result.error = error;
  return result;
}

}  // namespace

TextReadResult ReadTextLines(const std::string& path, uint64_t maxBytes,
                             const std::function<bool(const std::string& line)>& onLine) {
  // O_NONBLOCK: a named pipe must not hold the reading up; it is refused below.
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) return Status(TextReadStatus::kUnreadable, errno);
  struct stat status;
  if (fstat(file.get(), &status) != 0) return Status(TextReadStatus::kUnreadable, errno);
  if (S_ISDIR(status.st_mode)) return Status(TextReadStatus::kUnreadable, EISDIR);
  if (!S_ISREG(status.st_mode)) return Status(TextReadStatus::kNotText);
  if (static_cast<uint64_t>(status.st_size) > maxBytes) return Status(TextReadStatus::kTooLarge);

  std::vector<char> block(kBlockSize);
  std::string line;
  bool first = true;
  for (;;) {
    const ssize_t count = read(file.get(), block.data(), block.size());
    if (count < 0) {
      if (errno == EINTR) continue;
      return Status(TextReadStatus::kUnreadable, errno);
    }
    if (count == 0) break;
    const size_t size = static_cast<size_t>(count);
    if (first) {
      first = false;
      const size_t probe = size < kTextProbeSize ? size : kTextProbeSize;
      if (memchr(block.data(), '\0', probe) != nullptr) return Status(TextReadStatus::kNotText);
    }
    size_t from = 0;
    while (from < size) {
      const void* found = memchr(block.data() + from, '\n', size - from);
      if (found == nullptr) {
        line.append(block.data() + from, size - from);
        break;
      }
      const size_t newline = static_cast<size_t>(static_cast<const char*>(found) - block.data());
      line.append(block.data() + from, newline - from);
      if (!onLine(line)) return Status(TextReadStatus::kRead);
      line.clear();
      from = newline + 1;
    }
  }
  if (!line.empty()) onLine(line);
  return Status(TextReadStatus::kRead);
}
