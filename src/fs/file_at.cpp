// Files named by their entries in open folders.
#include "fs/file_at.h"

#include <fcntl.h>
#include <unistd.h>

#include <climits>

OpenFolder::~OpenFolder() {
  if (fd_ >= 0) close(fd_);
}

FileAt OpenFolder::At(const std::string& path) {
  const size_t slash = path.rfind('/');
  // A name without a folder, or a folder ending in "/": the path walk is short or odd. A path
  // the system would refuse as too long is refused for every file alike.
  if (slash == std::string::npos || slash + 1 == path.size() || path.size() >= PATH_MAX) {
    return {AT_FDCWD, path, path};
  }
  const size_t length = slash == 0 ? 1 : slash;
  if (folder_.compare(0, std::string::npos, path, 0, length) != 0) {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    tried_ = false;
    folder_.assign(path, 0, length);
    return {AT_FDCWD, path, path};
  }
  if (!tried_) {
    fd_ = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    tried_ = true;
  }
  if (fd_ < 0) return {AT_FDCWD, path, path};
  return {fd_, path.substr(slash + 1), path};
}
