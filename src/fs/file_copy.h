// Copying one file byte for byte.
#pragma once

#include <cstddef>
#include <sys/types.h>

/// Moves up to `length` bytes from the file offset of `in` to the file offset of `out` inside the
/// kernel, advancing both, as copy_file_range does: the count moved, 0 at the end of `in`, or -1
/// with errno set.
using KernelCopy = ssize_t (*)(int in, int out, size_t length);

/// Copies `source` to `destination` (created with mode 0666 less the umask, or truncated when it
/// exists, keeping its mode). Returns 1 on success and -1 on failure. A destination that is the
/// source itself (through a link, for instance) is left whole and counts as copied. A source or
/// destination that cannot be opened, a read error and a write that fails (also one that only
/// shows when the destination is closed) are reported with perror on standard error: a read error
/// with the source path, a failed write with "Fatal write error.\n". Never prints to standard
/// output. The data moves inside the kernel where it can, else through a large buffer.
int CopyFile(const char* source, const char* destination);

/// CopyFile with `kernelCopy` in place of copy_file_range; when it refuses, fails or stops short
/// of the size the source had when opened, the copy goes on with read and write from where it
/// stopped.
int CopyFileWith(const char* source, const char* destination, KernelCopy kernelCopy);
