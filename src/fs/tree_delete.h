// Emptying a directory.
#pragma once

#include <functional>
#include <string>

#include "fs/result.h"

/// Where the emptying reports each entry it could not remove: the failure (naming the entry and
/// the system's reason), and whether the entry is a folder.
using DeleteSink = std::function<void(const Result& why, bool isFolder)>;

/// Removes everything inside `path` and keeps the folder itself. Symbolic links are removed, never
/// followed. Each entry that cannot be removed goes to `failed` and the walk goes on. Fails, naming
/// `path`, when the folder cannot be opened (nothing is reported then) or anything was left.
Result DeleteDirectoryContents(const std::string& path, const DeleteSink& failed);
