// Writing bytes to files: the one way the run writes a file's content.
#pragma once

#include <cstddef>
#include <string>

#include "fs/result.h"

/// Why nothing was written at a path where a symbolic link stands.
constexpr char kLinkInTheWay[] = "a symbolic link is in the way (never written through)";

/// Writes all `size` bytes of `data` to the open descriptor `fd`, retrying short and interrupted
/// writes. A write that takes nothing counts as a full disk. Failures name `path`.
Result WriteAll(int fd, const char* data, size_t size, const std::string& path);

/// Opens `path` for writing with `flags` added (O_TRUNC, say), creating it with mode 0666 less the
/// umask when missing, into `fd`. A symbolic link at `path` is never followed: it fails, saying a
/// link is in the way.
Result OpenForWriting(const std::string& path, int flags, int* fd);

/// OpenForWriting of the entry `name` of the open folder `folder` (AT_FDCWD: `name` is a path);
/// failures name `path`.
Result OpenForWritingAt(int folder, const std::string& name, const std::string& path, int flags,
                        int* fd);

/// Replaces the content of the file at `path` with `content` (created with mode 0666 less the
/// umask when missing; a symbolic link there is never written through). Fails, naming `path`, when it cannot be opened or any byte fails to reach
/// it, also one that only shows at the close (a full disk).
Result WriteWholeFile(const std::string& path, const std::string& content);

/// Creates the folder `path` with mode 0755 less the umask. Fails, naming `path`, when anything
/// stands there already (a symbolic link too, which is never followed) or it cannot be made.
Result CreateFolder(const std::string& path);
