// Listing a directory: the entries it holds and what each one is.
#pragma once

#include <string>
#include <vector>

#include "fs/result.h"

/// kUnreachable: the entry exists but its kind cannot be learnt (no search permission on the
/// folder, a path longer than the system takes).
enum class EntryKind { kRegularFile, kDirectory, kOther, kUnreachable };

/// How a listing treats symbolic links: as what they point at (a link to a file is a regular
/// file, a link to a folder a folder, a dangling link or a link loop kOther), or always as kOther.
enum class Links { kFollow, kNoFollow };

struct DirectoryEntry {
  std::string name;
  EntryKind kind = EntryKind::kOther;
  int error = 0;  // for kUnreachable: the errno of the failed status query
};

/// The kind of the entry at `path`, from the kind `direntType` that the listing reported (a DT_*
/// value). A kind the listing does not report, and with kFollow a link, is learnt from the
/// entry's status; any failure of that query other than a missing target or a link loop gives
/// kUnreachable, with its errno in `error`.
EntryKind ResolveEntryKind(const std::string& path, unsigned char direntType, Links links,
                           int* error);

/// Appends the entries of the folder `path` (never "." or "..") to `entries`, in the order the
/// system lists them, each with the kind the listing reports; a kind it does not report, and with
/// kFollow a link, is learnt from the entry's status. Fails, naming `path`, when the folder cannot
/// be opened or read.
Result ListDirectory(const std::string& path, Links links, std::vector<DirectoryEntry>* entries);

/// Appends the paths, relative to `root` and with "/", of every regular file below `root`, never
/// following links. Folders that cannot be read are passed over. Listing order, not sorted.
void ListFilesBelow(const std::string& root, std::vector<std::string>* files);

/// True when something exists at `path` (an existence test that follows links).
bool PathExists(const std::string& path);

/// True when `path` is a folder, or a link to one.
bool IsFolder(const std::string& path);
