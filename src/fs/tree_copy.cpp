// Copying directory trees, one progress line per copied file.
#include "fs/tree_copy.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>
#include <vector>

#include "app/console.h"
#include "fs/entry_kind.h"
#include "fs/file_copy.h"
#include "fs/project_path.h"

namespace {

constexpr char kCopiedPrefix[] = "Successfully to copy file: ";
constexpr char kFailedPrefix[] = "Failed to copy file: ";

struct DirectoryId {
  dev_t device;
  ino_t inode;
};

bool operator==(const DirectoryId& a, const DirectoryId& b) {
  return a.device == b.device && a.inode == b.inode;
}

// What one walk knows beyond its current folder: links may lead back into a folder being copied,
// or into the folder being filled, and either would never end.
struct WalkContext {
  std::vector<DirectoryId> copying;        // the folders on the current recursion path
  std::optional<DirectoryId> destination;  // the top-level destination, never a source
};

std::optional<DirectoryId> IdentityOf(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  return DirectoryId{status.st_dev, status.st_ino};
}

// False for a folder already being copied on this path or the top-level destination.
bool MayEnter(const WalkContext& context, const std::string& source) {
  std::optional<DirectoryId> id = IdentityOf(source);
  if (!id) return true;  // opening it will fail and say so
  if (context.destination == id) return false;
  for (const DirectoryId& open : context.copying) {
    if (open == *id) return false;
  }
  return true;
}

// Names an entry that was not copied: the system's reason for `label` on standard error, as
// CopyFile reports its own, then the entry's line on standard output.
void ReportNotCopied(const std::string& source, const std::string& label, int error) {
  std::fprintf(stderr, "%s: %s\n", label.c_str(), std::strerror(error));
  PrintLine(kFailedPrefix + source);
}

// Creates the folder `destination` unless it is one already. False after naming `source` when
// it cannot be made.
bool MakeDestinationFolder(const std::string& source, const std::string& destination) {
  if (mkdir(destination.c_str(), 0755) == 0) return true;
  const int error = errno;
  struct stat status;
  if (error == EEXIST && stat(destination.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
    return true;
  }
  ReportNotCopied(source, destination, error == EEXIST ? ENOTDIR : error);
  return false;
}

bool CopyFolder(const std::string& source, const std::string& destination, WalkContext& context);

// Copies the entries of the open folder `dir` (at `source`) into `destination`: files with
// CopyFile, folders (also through links) recursively; anything else (a dangling link, a FIFO, a
// socket) is skipped, never opened. Every entry that fails is named and the walk goes on. True
// when nothing failed, here or below.
bool CopyEntries(DIR* dir, const std::string& source, const std::string& destination,
                 WalkContext& context) {
  struct stat status;
  const bool known = fstat(dirfd(dir), &status) == 0;
  if (known) context.copying.push_back(DirectoryId{status.st_dev, status.st_ino});

  bool copiedAll = true;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string sourceEntry = source + "/" + name;
    const std::string destinationEntry = destination + "/" + name;
    int error = 0;
    switch (ResolveEntryKind(sourceEntry, entry->d_type, &error)) {
      case EntryKind::kRegularFile:
        if (CopyFile(sourceEntry.c_str(), destinationEntry.c_str()) == 1) {
          PrintLine(kCopiedPrefix + sourceEntry);
        } else {
          PrintLine(kFailedPrefix + sourceEntry);
          copiedAll = false;
        }
        break;
      case EntryKind::kDirectory:
        if (!CopyFolder(sourceEntry, destinationEntry, context)) copiedAll = false;
        break;
      case EntryKind::kUnreachable:
        ReportNotCopied(sourceEntry, sourceEntry, error);
        copiedAll = false;
        break;
      case EntryKind::kOther:
        break;
    }
  }

  if (known) context.copying.pop_back();
  return copiedAll;
}

// Copies the folder `source` to `destination`, creating it when missing. A folder that cannot be
// read is named and nothing is created for it; a folder already being copied on this path, or
// the destination itself, is left out. True when nothing failed.
bool CopyFolder(const std::string& source, const std::string& destination, WalkContext& context) {
  if (!MayEnter(context, source)) return true;
  DIR* dir = opendir(source.c_str());
  if (dir == nullptr) {
    ReportNotCopied(source, source, errno);
    return false;
  }
  bool copiedAll = MakeDestinationFolder(source, destination) &&
                   CopyEntries(dir, source, destination, context);
  closedir(dir);
  return copiedAll;
}

}  // namespace

int CopyDirectoryTree(const char* source, const char* destination) {
  if (source == nullptr || destination == nullptr) return -1;
  if (!PathExists(source)) return -1;
  WalkContext context;
  // A folder copied onto itself already holds everything.
  context.destination = IdentityOf(destination);
  return CopyFolder(source, destination, context) ? 0 : -1;
}

int CopyDirectoryIntoProject(const std::string& source) {
  WalkContext context;
  context.destination = IdentityOf(g_projectPath);
  if (!MayEnter(context, source)) return 0;
  DIR* dir = opendir(source.c_str());
  if (dir == nullptr) {
    // Nothing there, or not a folder: nothing to copy. Any other reason is a folder left behind.
    if (errno == ENOENT || errno == ENOTDIR) return 0;
    ReportNotCopied(source, source, errno);
    return 1;
  }
  const bool copiedAll = CopyEntries(dir, source, g_projectPath, context);
  closedir(dir);
  return copiedAll ? 0 : 1;
}

int CopyIntoProjectIfExists(const std::string& path) {
  if (path.empty() || !PathExists(path)) return 0;
  return CopyDirectoryIntoProject(path);
}
