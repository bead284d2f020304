// Writing bytes to files: the one way the run writes a file's content.
#include "fs/file_write.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Result WriteAll(int fd, const char* data, size_t size, const std::string& path) {
  for (size_t done = 0; done < size;) {
    const ssize_t put = write(fd, data + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return Result::FromErrno(path, errno);
    if (put == 0) return Result::FromErrno(path, ENOSPC);
    done += static_cast<size_t>(put);
  }
  return Result::Success();
}

Result OpenForWriting(const std::string& path, int flags, int* fd) {
  return OpenForWritingAt(AT_FDCWD, path, path, flags, fd);
}

Result OpenForWritingAt(int folder, const std::string& name, const std::string& path, int flags,
                        int* fd) {
  *fd = openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | flags, 0666);
  if (*fd >= 0) return Result::Success();
  if (errno == ELOOP) return Result::Failure(path, kLinkInTheWay);
  return Result::FromErrno(path, errno);
}

Result WriteWholeFile(const std::string& path, const std::string& content) {
  int fd = -1;
  Result opened = OpenForWriting(path, O_TRUNC, &fd);
  if (!opened) return opened;
  Result written = WriteAll(fd, content.data(), content.size(), path);
  if (close(fd) != 0 && written.ok()) written = Result::FromErrno(path, errno);
  return written;
}

Result CreateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0755) != 0) return Result::FromErrno(path, errno);
  return Result::Success();
}
