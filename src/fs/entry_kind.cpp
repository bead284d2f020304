// What a directory entry is, for the walks that copy and delete trees.
#include "fs/entry_kind.h"

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

EntryKind ResolveEntryKind(const std::string& path, unsigned char direntType, int* error) {
  switch (direntType) {
    case DT_REG:
      return EntryKind::kRegularFile;
    case DT_DIR:
      return EntryKind::kDirectory;
    case DT_UNKNOWN:
    case DT_LNK: {
      // Some file systems never report a kind; a link counts as what it points at.
      struct stat status;
      if (stat(path.c_str(), &status) == 0) return KindOfMode(status.st_mode);
      // A link to nothing, or to itself, has nothing to copy.
      if (errno == ENOENT || errno == ELOOP) return EntryKind::kOther;
      if (error != nullptr) *error = errno;
      return EntryKind::kUnreachable;
    }
    default:
      return EntryKind::kOther;
  }
}

EntryKind ResolveEntryKindNoFollow(const std::string& path, unsigned char direntType) {
  switch (direntType) {
    case DT_REG:
      return EntryKind::kRegularFile;
    case DT_DIR:
      return EntryKind::kDirectory;
    case DT_UNKNOWN: {
      struct stat status;
      if (lstat(path.c_str(), &status) != 0) return EntryKind::kOther;
      return KindOfMode(status.st_mode);
    }
    default:
      return EntryKind::kOther;
  }
}

bool PathExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }
