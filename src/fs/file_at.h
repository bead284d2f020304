// Files named by their entries in open folders: a walk over many files of few folders walks each
// folder's path once, not each file's.
#pragma once

#include <string>

/// A file named by its entry in an open folder: `name` in `folder` (AT_FDCWD: `name` is a path,
/// from the working folder); `path` is the path failures name.
struct FileAt {
  int folder;
  std::string name;
  const std::string& path;
};

/// The folder of the files asked for, held open from one file to the next of the same folder.
class OpenFolder {
 public:
  OpenFolder() = default;
  ~OpenFolder();
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;

  /// The file at `path` as the entry of its folder, held open from the second file of a folder
  /// in a row on (a folder of one file costs no more than its path); `path` itself, from the
  /// working folder, for the first and when the folder cannot be opened (its failure is then the
  /// file's). `path` must outlive the result.
  FileAt At(const std::string& path);

 private:
  std::string folder_;
  bool tried_ = false;
  int fd_ = -1;
};
