// Reading a text file one line at a time, refusing files too large to be source or not text.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "fs/file_at.h"
#include "fs/result.h"

/// The reason of the failure for a file that is not text: a NUL byte in its first 8 KiB, or not a
/// regular file.
inline constexpr char kNotTextReason[] = "not a text file";

/// The reason of the failure for a file larger than `maxBytes`: "larger than 4 MiB" (in MiB or
/// KiB when the limit is a whole number of them, else in bytes).
std::string TooLargeReason(uint64_t maxBytes);

/// Calls `onLine` with each line of the file at `path`, without its "\n" (a last line without
/// one too; a "\r" before it stays), in order, keeping only the line at hand in memory; stops
/// early, with success, when `onLine` returns false. A file larger than `maxBytes` or one that is
/// not text fails before any line, naming `path`, with TooLargeReason or kNotTextReason (and no
/// system error); one that cannot be opened or read, or a folder (EISDIR), fails with the
/// system's reason, also after some lines. `line` is valid only during the call. When given,
/// `onOpened` is called first with the status of the file as opened; when it returns false,
/// nothing is read and the result is success. Prints nothing.
[[nodiscard]] Result ReadTextLines(
    const std::string& path, uint64_t maxBytes,
    const std::function<bool(std::string_view line)>& onLine,
    const std::function<bool(const struct stat& opened)>& onOpened = nullptr);

/// ReadTextLines of a file named by its entry in an open folder.
[[nodiscard]] Result ReadTextLinesAt(
    const FileAt& file, uint64_t maxBytes,
    const std::function<bool(std::string_view line)>& onLine,
    const std::function<bool(const struct stat& opened)>& onOpened = nullptr);
