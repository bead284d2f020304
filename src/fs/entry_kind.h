// What a directory entry is, for the walks that copy and delete trees.
#pragma once

#include <string>
#include <sys/types.h>

enum class EntryKind { kRegularFile, kDirectory, kOther };

/// The kind of the entry at `path`, from the kind `dirent_type` that the listing reported
/// (a DT_* value). An unknown kind or a symbolic link is decided by stat, which follows links:
/// a link to a file is a regular file, a link to a directory a directory, a dangling link kOther.
EntryKind ResolveEntryKind(const std::string& path, unsigned char direntType);

/// Like ResolveEntryKind, but an unknown kind is decided by lstat and a symbolic link is always
/// kOther: for walks that must never follow links.
EntryKind ResolveEntryKindNoFollow(const std::string& path, unsigned char direntType);

/// True when something exists at `path` (an existence test that follows links).
bool PathExists(const std::string& path);
