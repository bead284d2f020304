// Copying directory trees, one progress line per copied file.
#include "fs/tree_copy.h"

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

enum class WalkOutcome { kCompleted, kCannotOpen, kFileFailed };

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

int CopySubfolder(const std::string& source, const std::string& destination,
                  WalkContext& context);

// Copies the entries of `source` into `destination`: files with CopyFile, folders (also through
// links) recursively; anything else (a dangling link, a FIFO, a socket) is skipped, never opened.
// Stops at the first file that fails to copy.
WalkOutcome CopyEntries(const std::string& source, const std::string& destination,
                        WalkContext& context) {
  DIR* dir = opendir(source.c_str());
  if (dir == nullptr) return WalkOutcome::kCannotOpen;
  struct stat status;
  const bool known = fstat(dirfd(dir), &status) == 0;
  if (known) context.copying.push_back(DirectoryId{status.st_dev, status.st_ino});

  WalkOutcome outcome = WalkOutcome::kCompleted;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string sourceEntry = source + "/" + name;
    const std::string destinationEntry = destination + "/" + name;
    const EntryKind kind = ResolveEntryKind(sourceEntry, entry->d_type);
    if (kind == EntryKind::kRegularFile) {
      if (CopyFile(sourceEntry.c_str(), destinationEntry.c_str()) != 1) {
        PrintLine(kFailedPrefix + sourceEntry);
        outcome = WalkOutcome::kFileFailed;
        break;
      }
      PrintLine(kCopiedPrefix + sourceEntry);
    } else if (kind == EntryKind::kDirectory) {
      // A failure below is reported there and does not stop this folder.
      CopySubfolder(sourceEntry, destinationEntry, context);
    }
  }

  if (known) context.copying.pop_back();
  closedir(dir);
  return outcome;
}

// One folder of CopyDirectoryTree: 0, or -1 when the source is missing, cannot be opened or a file
// directly in it fails. A folder that may not be entered is left out, with nothing created.
int CopySubfolder(const std::string& source, const std::string& destination,
                  WalkContext& context) {
  if (!PathExists(source)) return -1;
  if (!MayEnter(context, source)) return 0;
  // A missing parent is not created: the file copies below then fail and say so.
  if (!PathExists(destination)) mkdir(destination.c_str(), 0755);
  return CopyEntries(source, destination, context) == WalkOutcome::kCompleted ? 0 : -1;
}

}  // namespace

int CopyDirectoryTree(const char* source, const char* destination) {
  if (source == nullptr || destination == nullptr) return -1;
  if (!PathExists(source)) return -1;
  if (!PathExists(destination)) mkdir(destination, 0755);
  WalkContext context;
  context.destination = IdentityOf(destination);
  // A folder copied onto itself already holds everything.
  if (!MayEnter(context, source)) return 0;
  return CopyEntries(source, destination, context) == WalkOutcome::kCompleted ? 0 : -1;
}

int CopyDirectoryIntoProject(const std::string& source) {
  WalkContext context;
  context.destination = IdentityOf(g_projectPath);
  if (!MayEnter(context, source)) return 0;
  return CopyEntries(source, g_projectPath, context) == WalkOutcome::kFileFailed ? 1 : 0;
}

int CopyIntoProjectIfExists(const std::string& path) {
  if (path.empty() || !PathExists(path)) return 0;
  return CopyDirectoryIntoProject(path);
}
