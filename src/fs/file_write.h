// Writing bytes to files: the one way the run writes a file's content.
#pragma once

#include <cstddef>
#include <string>

#include "fs/result.h"

/// Writes all `size` bytes of `data` to the open descriptor `fd`, retrying short and interrupted
/// writes. A write that takes nothing counts as a full disk. Failures name `path`.
Result WriteAll(int fd, const char* data, size_t size, const std::string& path);

/// Replaces the content of the file at `path` with `content` (created with mode 0666 less the
/// umask when missing). Fails, naming `path`, when it cannot be opened or any byte fails to reach
/// it, also one that only shows at the close (a full disk).
Result WriteWholeFile(const std::string& path, const std::string& content);
