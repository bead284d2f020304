// Reading a text file one line at a time, refusing files too large to be source or not text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

enum class TextReadStatus {
  kRead,        // every line was passed on (or the reader asked to stop)
  kTooLarge,    // larger than the limit: no line was passed on
  kNotText,     // a NUL byte in the first 8 KiB, or not a regular file: no line was passed on
  kUnreadable,  // it could not be opened or read; `error` tells why
};

struct [[nodiscard]] TextReadResult {
  TextReadStatus status = TextReadStatus::kRead;
  int error = 0;  // for kUnreadable: the errno value
};

/// Calls `onLine` with each line of the file at `path`, without its "\n" (a last line without
/// one too; a "\r" before it stays), in order, keeping only the line at hand in memory; stops
/// early when `onLine` returns false. A file larger than `maxBytes` or one that is not text is
/// refused before any line. A read error after some lines ends the reading with kUnreadable.
/// A folder is kUnreadable (EISDIR). Prints nothing.
TextReadResult ReadTextLines(const std::string& path, uint64_t maxBytes,
                             const std::function<bool(const std::string& line)>& onLine);
