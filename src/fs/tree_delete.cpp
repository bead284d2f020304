// Emptying a directory.
#include "fs/tree_delete.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include "fs/directory_list.h"

namespace {

constexpr char kNotEmptied[] = "not every entry could be removed";

}  // namespace

Result DeleteDirectoryContents(const std::string& path, const DeleteSink& failed) {
  std::vector<DirectoryEntry> entries;
  const Result listed = ListDirectory(path, Links::kNoFollow, &entries);
  if (!listed) return listed;
  bool removedAll = true;
  const auto report = [&](const std::string& entryPath, bool isFolder) {
    if (failed) failed(Result::FromErrno(entryPath, errno), isFolder);
    removedAll = false;
  };
  for (const DirectoryEntry& entry : entries) {
    const std::string entryPath = path + "/" + entry.name;
    // A link is removed like a file: following it would empty a folder outside this tree.
    if (entry.kind == EntryKind::kDirectory) {
      // Entries left inside are reported by the inner walk; a folder that cannot be read is
      // reported with that reason rather than as merely not empty.
      const Result inner = DeleteDirectoryContents(entryPath, failed);
      if (rmdir(entryPath.c_str()) == 0) continue;
      if (!inner && inner.path() == entryPath && inner.systemError() != 0) {
        if (failed) failed(inner, true);
        removedAll = false;
      } else {
        report(entryPath, true);
      }
    } else if (std::remove(entryPath.c_str()) != 0) {
      report(entryPath, false);
    }
  }
  if (!removedAll) return Result::Failure(path, kNotEmptied);
  return Result::Success();
}
