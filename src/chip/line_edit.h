// Finding and replacing lines of text files, counted from 0.
#pragma once

#include <cstdint>

/// The index of the first line of the file at `path` that contains `pattern`, or -1 when no line
/// does or the file cannot be read. Lines may be of any length. Prints nothing.
int32_t FindLineContaining(const char* path, const char* pattern);

/// Rewrites the file at `path` with line `lineIndex` replaced by `text`; every line of the result
/// ends with "\n", and a carriage return on a kept line stays. An index out of range changes no
/// line. A missing file is created empty. Returns false, printing nothing, when an existing file
/// cannot be read (it is left untouched) or the new content cannot be written whole (a full disk,
/// no permission): the caller names the file.
bool ReplaceLine(const char* path, int32_t lineIndex, const char* text);
