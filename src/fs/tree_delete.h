// Emptying a directory.
#pragma once

#include <string>

/// Removes everything inside `path` and keeps the folder itself. Symbolic links are removed, never
/// followed. Prints "delete file error" or "delete empty dir error" per entry that cannot be
/// removed and goes on. A folder that cannot be opened is left alone without a message.
void DeleteDirectoryContents(const std::string& path);
