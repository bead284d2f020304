// Emptying a directory.
#include "fs/tree_delete.h"

#include <cstdio>
#include <dirent.h>
#include <unistd.h>

#include "app/console.h"
#include "fs/entry_kind.h"

namespace {

constexpr char kDeleteFileError[] = "delete file error";
constexpr char kDeleteDirError[] = "delete empty dir error";

}  // namespace

void DeleteDirectoryContents(const std::string& path) {
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string entryPath = path + "/" + name;
    // A link is removed like a file: following it would empty a folder outside this tree.
    if (ResolveEntryKindNoFollow(entryPath, entry->d_type) == EntryKind::kDirectory) {
      DeleteDirectoryContents(entryPath);
      if (rmdir(entryPath.c_str()) != 0) PrintLine(kDeleteDirError);
    } else if (remove(entryPath.c_str()) != 0) {
      PrintLine(kDeleteFileError);
    }
  }
  closedir(dir);
}
