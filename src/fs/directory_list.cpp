// Listing a directory: the entries it holds and what each one is.
#include "fs/directory_list.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

EntryKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return EntryKind::kRegularFile;
  if (S_ISDIR(mode)) return EntryKind::kDirectory;
  return EntryKind::kOther;
}

}  // namespace

EntryKind ResolveEntryKind(const std::string& path, unsigned char direntType, Links links,
                           int* error) {
  if (direntType == DT_REG) return EntryKind::kRegularFile;
  if (direntType == DT_DIR) return EntryKind::kDirectory;
  if (direntType == DT_LNK && links == Links::kNoFollow) return EntryKind::kOther;
  if (direntType != DT_UNKNOWN && direntType != DT_LNK) return EntryKind::kOther;
  // Some file systems never report a kind.
  struct stat status;
  const int got = links == Links::kFollow ? stat(path.c_str(), &status)
                                          : lstat(path.c_str(), &status);
  if (got == 0) return KindOfMode(status.st_mode);
  // A link to nothing, or to itself, has nothing behind it; any other failure hides an entry.
  if (links == Links::kNoFollow || errno == ENOENT || errno == ELOOP) return EntryKind::kOther;
  if (error != nullptr) *error = errno;
  return EntryKind::kUnreachable;
}

Result ListDirectory(const std::string& path, Links links, std::vector<DirectoryEntry>* entries) {
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return Result::FromErrno(path, errno);
  errno = 0;
  while (const dirent* found = readdir(dir)) {
    DirectoryEntry entry;
    entry.name = found->d_name;
    if (entry.name == "." || entry.name == "..") continue;
    entry.kind = ResolveEntryKind(path + "/" + entry.name, found->d_type, links, &entry.error);
    entries->push_back(std::move(entry));
    errno = 0;
  }
  const int error = errno;
  closedir(dir);
  if (error != 0) return Result::FromErrno(path, error);
  return Result::Success();
}

void ListFilesBelow(const std::string& root, std::vector<std::string>* files) {
  std::vector<std::string> pending = {""};
  while (!pending.empty()) {
    const std::string relative = pending.back();
    pending.pop_back();
    std::vector<DirectoryEntry> entries;
    // A folder that cannot be read holds nothing this listing can give.
    ListDirectory(relative.empty() ? root : root + "/" + relative, Links::kNoFollow, &entries)
        .Ignore();
    for (const DirectoryEntry& entry : entries) {
      const std::string path = relative.empty() ? entry.name : relative + "/" + entry.name;
      if (entry.kind == EntryKind::kRegularFile) files->push_back(path);
      if (entry.kind == EntryKind::kDirectory) pending.push_back(path);
    }
  }
}

bool PathExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool IsFolder(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}
