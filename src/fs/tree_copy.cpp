// Copying directory trees, with an event per copied or failed entry.
#include "fs/tree_copy.h"

#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <vector>

#include "fs/directory_list.h"
#include "fs/file_copy.h"
#include "fs/file_write.h"

namespace {

constexpr char kNotAllCopied[] = "not every entry could be copied";

struct DirectoryId {
  dev_t device;
  ino_t inode;
};

bool operator==(const DirectoryId& a, const DirectoryId& b) {
  return a.device == b.device && a.inode == b.inode;
}

std::optional<DirectoryId> IdentityOf(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  return DirectoryId{status.st_dev, status.st_ino};
}

// One walk: its sink, and what it knows beyond the current folder. Links may lead back into a
// folder being copied, or into the folder being filled, and either would never end.
class TreeWalk {
 public:
  TreeWalk(const CopySink& sink, const std::string& destination)
      : sink_(sink), destination_(IdentityOf(destination)) {}

  // False for a folder already being copied on this path or the top-level destination.
  bool MayEnter(const std::string& source) const {
    const std::optional<DirectoryId> id = IdentityOf(source);
    if (!id) return true;  // listing it will fail and say so
    if (destination_ == id) return false;
    for (const DirectoryId& open : copying_) {
      if (open == *id) return false;
    }
    return true;
  }

  // Copies the folder `source` to `destination`, creating it when missing. A folder that cannot
  // be read is reported and nothing is created for it. True when nothing failed.
  bool CopyFolder(const std::string& source, const std::string& destination) {
    if (!MayEnter(source)) return true;
    std::vector<DirectoryEntry> entries;
    const Result listed = ListDirectory(source, Links::kFollow, &entries);
    if (!listed) return Failed(source, listed);
    const Result made = MakeFolder(destination);
    if (!made) return Failed(source, made);
    return CopyEntries(source, entries, destination);
  }

  // Copies `entries` of the folder `source` into `destination`: files with CopyFile, folders
  // (also through links) recursively; anything else is skipped, never opened. Every entry that
  // fails is reported and the walk goes on. True when nothing failed, here or below.
  bool CopyEntries(const std::string& source, const std::vector<DirectoryEntry>& entries,
                   const std::string& destination) {
    const std::optional<DirectoryId> id = IdentityOf(source);
    if (id) copying_.push_back(*id);
    // The files first, each by its name in the two open folders rather than by a path walked
    // again; a folder that cannot be opened so is walked by path. Subfolders after, so that a
    // deep tree keeps two folders open, not two a level.
    bool copiedAll = CopyFiles(source, entries, destination);
    for (const DirectoryEntry& entry : entries) {
      const std::string sourceEntry = source + "/" + entry.name;
      switch (entry.kind) {
        case EntryKind::kDirectory:
          if (!CopyFolder(sourceEntry, destination + "/" + entry.name)) copiedAll = false;
          break;
        case EntryKind::kUnreachable:
          copiedAll = Failed(sourceEntry, Result::FromErrno(sourceEntry, entry.error));
          break;
        case EntryKind::kRegularFile:
        case EntryKind::kOther:
          break;
      }
    }
    if (id) copying_.pop_back();
    return copiedAll;
  }

  // Copies the regular files of `entries` with CopyFileAt; true when none failed.
  bool CopyFiles(const std::string& source, const std::vector<DirectoryEntry>& entries,
                 const std::string& destination) {
    OpenFolder from;
    OpenFolder to;
    bool copiedAll = true;
    for (const DirectoryEntry& entry : entries) {
      if (entry.kind != EntryKind::kRegularFile) continue;
      const std::string sourceEntry = source + "/" + entry.name;
      const std::string destinationEntry = destination + "/" + entry.name;
      const Result copied =
          CopyFileAt(from.At(sourceEntry), to.At(destinationEntry), nullptr);
      if (copied) {
        if (sink_.copied) sink_.copied(sourceEntry);
      } else {
        copiedAll = Failed(sourceEntry, copied);
      }
    }
    return copiedAll;
  }

  // Reports `source` as not copied; always false.
  bool Failed(const std::string& source, const Result& why) {
    if (sink_.failed) sink_.failed(source, why);
    return false;
  }

 private:
  // Creates the folder `destination` unless it is one already. A link there is never entered:
  // what is copied into it would land wherever it points.
  static Result MakeFolder(const std::string& destination) {
    if (mkdir(destination.c_str(), 0755) == 0) return Result::Success();
    const int error = errno;
    struct stat status;
    if (error == EEXIST && lstat(destination.c_str(), &status) == 0) {
      if (S_ISDIR(status.st_mode)) return Result::Success();
      if (S_ISLNK(status.st_mode)) return Result::Failure(destination, kLinkInTheWay);
    }
    return Result::FromErrno(destination, error == EEXIST ? ENOTDIR : error);
  }

  const CopySink& sink_;
  std::vector<DirectoryId> copying_;         // the folders on the current recursion path
  const std::optional<DirectoryId> destination_;  // the top-level destination, never a source
};

}  // namespace

Result CopyDirectoryTree(const std::string& source, const std::string& destination,
                         const CopySink& sink) {
  if (!PathExists(source)) return Result::FromErrno(source, ENOENT);
  // A folder copied onto itself already holds everything.
  TreeWalk walk(sink, destination);
  if (!walk.CopyFolder(source, destination)) return Result::Failure(source, kNotAllCopied);
  return Result::Success();
}

Result CopyDirectoryIntoProject(const std::string& source, const std::string& projectFolder,
                                const CopySink& sink) {
  TreeWalk walk(sink, projectFolder);
  if (!walk.MayEnter(source)) return Result::Success();
  std::vector<DirectoryEntry> entries;
  const Result listed = ListDirectory(source, Links::kFollow, &entries);
  if (!listed) {
    // Nothing there, or not a folder: nothing to copy. Any other reason is a folder left behind.
    if (listed.systemError() == ENOENT || listed.systemError() == ENOTDIR) {
      return Result::Success();
    }
    walk.Failed(source, listed);
    return Result::Failure(source, kNotAllCopied);
  }
  if (!walk.CopyEntries(source, entries, projectFolder)) {
    return Result::Failure(source, kNotAllCopied);
  }
  return Result::Success();
}

Result CopyIntoProjectIfExists(const std::string& path, const std::string& projectFolder,
                               const CopySink& sink) {
  if (path.empty() || !PathExists(path)) return Result::Success();
  return CopyDirectoryIntoProject(path, projectFolder, sink);
}
