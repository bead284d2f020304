// What a directory entry is, for the walks that copy and delete trees.
#pragma once

#include <string>
#include <sys/types.h>

/// kUnreachable: the entry exists but its kind cannot be learnt (no search permission on the
/// folder, a path longer than the system takes).
enum class EntryKind { kRegularFile, kDirectory, kOther, kUnreachable };

/// The kind of the entry at `path`, from the kind `dirent_type` that the listing reported
/// (a DT_* value). An unknown kind or a symbolic link is decided by stat, which follows links:
/// a link to a file is a regular file, a link to a directory a directory, a dangling link or a
/// link loop kOther. Any other failure of stat gives kUnreachable, with its errno in `error` when
/// `error` is not null.
EntryKind ResolveEntryKind(const std::string& path, unsigned char direntType,
                           int* error = nullptr);

/// Like ResolveEntryKind, but an unknown kind is decided by lstat and a symbolic link is always
/// kOther: for walks that must never follow links.
EntryKind ResolveEntryKindNoFollow(const std::string& path, unsigned char direntType);

/// True when something exists at `path` (an existence test that follows links).
bool PathExists(const std::string& path);
