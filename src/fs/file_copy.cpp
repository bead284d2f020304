// Copying one file byte for byte.
#include "fs/file_copy.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fs/file_write.h"

namespace {

// What one kernel copy asks for; the kernel moves less per call when it likes.
constexpr size_t kKernelCopyLength = size_t{1} << 30;
// Large enough that a file costs few system calls where the kernel will not copy.
constexpr size_t kBufferSize = 256 * 1024;

ssize_t CopyFileRange(int in, int out, size_t length) {
  return copy_file_range(in, nullptr, out, nullptr, length, 0);
}

// Moves `in` to `out` inside the kernel. True when it moved `size` bytes (the size stat gave when
// the file was opened: what is appended meanwhile is not waited for, and a file copied in one
// call costs one call); false when the rest is left to the read/write loop: an empty or unknown
// size (files in /proc report 0), a refusal (EXDEV, ENOSYS, EINVAL, EOPNOTSUPP), an end before
// `size` (file systems that copy nothing) or any other error, which the loop meets again and
// reports with the side that failed.
bool CopyInKernel(int in, int out, off_t size, KernelCopy kernelCopy) {
  if (size <= 0) return false;
  off_t copied = 0;
  while (copied < size) {
    const ssize_t moved = kernelCopy(in, out, kKernelCopyLength);
    if (moved <= 0) return false;
    copied += moved;
  }
  return true;
}

// Moves the rest of `in` to `out` through a buffer.
Result CopyThroughBuffer(int in, int out, const std::string& source,
                         const std::string& destination) {
  // One thread: a static buffer spares an allocation per copied file.
  static char buffer[kBufferSize];
  for (;;) {
    const ssize_t got = read(in, buffer, sizeof buffer);
    if (got == 0) return Result::Success();
    if (got < 0) {
      if (errno == EINTR) continue;
      // A read error (the source is a directory, an I/O fault) is not the end of the file.
      return Result::FromErrno(source, errno);
    }
    Result written = WriteAll(out, buffer, static_cast<size_t>(got), destination);
    if (!written) return written;
  }
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Closes `fd` when it is open; returns `result` unchanged.
Result Closing(int fd, Result result) {
  if (fd >= 0) close(fd);
  return result;
}

}  // namespace

Result CopyFile(const std::string& source, const std::string& destination) {
  return CopyFileWith(source, destination, CopyFileRange);
}

Result CopyFileWith(const std::string& source, const std::string& destination,
                    KernelCopy kernelCopy) {
  return CopyFileAt({AT_FDCWD, source, source}, {AT_FDCWD, destination, destination}, kernelCopy);
}

Result CopyFileAt(const FileAt& from, const FileAt& to, KernelCopy kernelCopy) {
  if (kernelCopy == nullptr) kernelCopy = CopyFileRange;
  const std::string& source = from.path;
  const std::string& destination = to.path;
  const int in = openat(from.folder, from.name.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat sourceStatus;
  if (in < 0 || fstat(in, &sourceStatus) != 0) {
    return Closing(in, Result::FromErrno(source, errno));
  }
  // A file this open creates is new and empty: it is not the source and holds nothing to drop.
  int out = -1;
  Result opened = OpenForWritingAt(to.folder, to.name, destination, O_EXCL, &out);
  if (!opened && opened.systemError() == EEXIST) {
    // Not truncated on opening: a destination that is the source itself would lose its bytes.
    opened = OpenForWritingAt(to.folder, to.name, destination, 0, &out);
    if (!opened) return Closing(in, opened);
    struct stat destinationStatus;
    if (fstat(out, &destinationStatus) != 0) {
      const Result failed = Result::FromErrno(destination, errno);
      return Closing(in, Closing(out, failed));
    }
    if (SameFile(sourceStatus, destinationStatus)) return Closing(in, Closing(out, Result()));
    // Only regular files hold bytes to drop; opening with O_TRUNC would ignore the others too.
    if (S_ISREG(destinationStatus.st_mode) && destinationStatus.st_size > 0 &&
        ftruncate(out, 0) != 0) {
      const Result failed = Result::FromErrno(destination, errno);
      return Closing(in, Closing(out, failed));
    }
  }
  if (!opened) return Closing(in, opened);

  const off_t size = S_ISREG(sourceStatus.st_mode) ? sourceStatus.st_size : 0;
  Result copied;
  if (!CopyInKernel(in, out, size, kernelCopy)) {
    copied = CopyThroughBuffer(in, out, source, destination);
  }
  close(in);
  // A failed close after a failed copy has been reported already.
  if (close(out) != 0 && copied.ok()) copied = Result::FromErrno(destination, errno);
  return copied;
}
