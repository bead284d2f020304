// Copying one file byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

#include "fs/file_at.h"
#include "fs/result.h"

/// Moves up to `length` bytes from the file offset of `in` to the file offset of `out` inside the
/// kernel, advancing both, as copy_file_range does: the count moved, 0 at the end of `in`, or -1
/// with errno set.
using KernelCopy = ssize_t (*)(int in, int out, size_t length);

/// Copies `source` to `destination` (created with mode 0666 less the umask, or truncated when it
/// exists, keeping its mode; a symbolic link at `destination` is never written through). A destination that is the source itself (through a link, for
/// instance) is left whole and counts as copied. Fails naming the source when it cannot be opened
/// or read, and naming the destination when it cannot be opened or written (also a failure that
/// only shows at the close). Prints nothing. The data moves inside the kernel where it can, else
/// through a large buffer; where the kernel copies, a regular file is copied up to the size it had
/// when opened.
Result CopyFile(const std::string& source, const std::string& destination);

/// CopyFile with `kernelCopy` in place of copy_file_range; when it refuses, fails or stops short
/// of the size the source had when opened, the copy goes on with read and write from where it
/// stopped.
Result CopyFileWith(const std::string& source, const std::string& destination,
                    KernelCopy kernelCopy);

/// CopyFile (with `kernelCopy` as CopyFileWith takes it, copy_file_range when null) of files given
/// by their folders: a walk over a tree copies each file without walking its path again.
Result CopyFileAt(const FileAt& source, const FileAt& destination, KernelCopy kernelCopy);
