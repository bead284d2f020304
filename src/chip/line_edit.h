// Finding and replacing lines of text files, counted from 0.
#pragma once

#include <cstdint>
#include <string>

#include "fs/result.h"

/// Sets `index` to the index of the first line of the file at `path` that contains `pattern`, or
/// to -1 when no line does. Fails, naming `path`, when the file cannot be read (`index` is then -1
/// too). Lines may be of any length.
Result FindLineContaining(const std::string& path, const std::string& pattern, int32_t* index);

/// Sets `count` to the number of lines of the file at `path` (a last line without "\n" counts).
/// Fails, naming `path`, when the file cannot be read.
Result CountLines(const std::string& path, int32_t* count);

/// Rewrites the file at `path` with line `lineIndex` replaced by `text`; every line of the result
/// ends with "\n", and a carriage return on a kept line stays. An index out of range changes no
/// line. Fails, naming `path`, when the file is missing or cannot be read (it is left untouched)
/// or the new content cannot be written whole (a full disk, no permission).
Result ReplaceLine(const std::string& path, int32_t lineIndex, const std::string& text);
