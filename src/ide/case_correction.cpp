// Taking the target's paths as the disk spells them where only the letter case differs, as
// Windows, where MDK ran, never noticed.
#include "ide/case_correction.h"

#include <sys/stat.h>

#include <map>
#include <set>
#include <utility>

#include "fs/case_match.h"
#include "mdk/mdk_path.h"

namespace {

constexpr char kCorrectedLine[] = "Case corrected: ";
// What the reader puts before a relative include path: the build folder is one level down.
constexpr char kReaderPrefix[] = "../";

enum class EntryType { kFile, kFolder };

bool IsOfType(const std::string& path, EntryType type) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return false;
  return type == EntryType::kFile ? S_ISREG(status.st_mode) : S_ISDIR(status.st_mode);
}

// The spellings on disk of the target's paths, relative to the MDK folder unless absolute. A
// target lists many files of few folders: each folder is looked up, and listed, once.
class DiskSpelling {
 public:
  explicit DiskSpelling(const std::string& mdkFolder) : mdkFolder_(mdkFolder) {}

  // The spelling on disk of `path` ("/" separators); "" when it exists as written, or when case
  // ignored gives no entry of `type` or several.
  std::string Of(const std::string& written, EntryType type) {
    // A folder written with a "/" at its end is the folder.
    const size_t end = written.find_last_not_of('/');
    if (end == std::string::npos) return "";
    const std::string path = written.substr(0, end + 1);
    const bool absolute = path[0] == '/';
    // A drive letter names nothing on this system.
    if (IsAbsoluteMdkPath(path) && !absolute) return "";
    // Most paths are as on disk. The target's files of a folder come together: from the second
    // in a row on, the folder's listing, made once, says so; the first is looked up alone.
    const std::string full = Full(path);
    const size_t cut = full.rfind('/');
    if (cut != std::string::npos) {
      const std::string inFolder = full.substr(0, cut == 0 ? 1 : cut);
      const std::string leaf = full.substr(cut + 1);
      const bool again = inFolder == lastFolder_;
      lastFolder_ = inFolder;
      if (again && leaf != "." && leaf != ".." && resolver_.ListsExactly(inFolder, leaf)) {
        return "";
      }
    }
    struct stat status;
    if (stat(full.c_str(), &status) == 0) return "";
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const CaseResolution& where = Folder(folder);
    if (where.match != CaseMatch::kExact && where.match != CaseMatch::kIgnoringCase) return "";
    CaseResolution found;
    // A folder that cannot be listed leaves the path as written; the build names it.
    resolver_.Resolve(where.path, name, &found).Ignore();
    const bool corrected = where.match == CaseMatch::kIgnoringCase ||
                           found.match == CaseMatch::kIgnoringCase;
    if (found.path.empty() || !corrected || !IsOfType(found.path, type)) return "";
    return where.relative.empty() ? found.relative : where.relative + "/" + found.relative;
  }

 private:
  std::string Full(const std::string& path) const {
    return path[0] == '/' ? path : mdkFolder_ + "/" + path;
  }

  // How `folder` ("" or ending with "/") resolves below the MDK folder.
  const CaseResolution& Folder(const std::string& folder) {
    auto known = folders_.find(folder);
    if (known != folders_.end()) return known->second;
    CaseResolution found;
    if (folder.empty()) {
      found.match = CaseMatch::kExact;
      found.path = mdkFolder_;
    } else {
      const bool absolute = folder[0] == '/';
      resolver_.Resolve(absolute ? "" : mdkFolder_, folder, &found).Ignore();
    }
    return folders_.emplace(folder, found).first->second;
  }

  const std::string mdkFolder_;
  std::map<std::string, CaseResolution> folders_;
  CaseResolver resolver_;
  std::string lastFolder_;  // the folder of the path looked up last
};

}  // namespace

std::vector<CaseCorrection> CorrectLetterCase(ProjectInfo& project, const std::string& mdkFolder) {
  std::vector<CaseCorrection> corrections;
  DiskSpelling spelling(mdkFolder);
  std::set<std::pair<std::string, std::string>> listed;
  const auto note = [&](const std::string& written, const std::string& onDisk) {
    if (listed.insert({written, onDisk}).second) corrections.push_back({written, onDisk});
  };
  for (SourceGroup& group : project.groups) {
    for (std::vector<SourceFile>* files : {&group.files, &group.otherFiles}) {
      for (SourceFile& file : *files) {
        const std::string onDisk = spelling.Of(ToForwardSlashes(file.filePath), EntryType::kFile);
        if (onDisk.empty()) continue;
        // Shown with "/", as the include paths are.
        note(ToForwardSlashes(file.filePath), onDisk);
        file.filePath = onDisk;
        const std::string name = onDisk.substr(onDisk.rfind('/') + 1);
        if (EqualIgnoringCase(file.fileName, name)) file.fileName = name;
      }
    }
  }
  const std::string prefix = kReaderPrefix;
  for (std::string& includePath : project.includePaths) {
    const bool relative = includePath.compare(0, prefix.size(), prefix) == 0;
    const std::string written = relative ? includePath.substr(prefix.size()) : includePath;
    const std::string onDisk = spelling.Of(written, EntryType::kFolder);
    if (onDisk.empty()) continue;
    note(written, onDisk);
    includePath = relative ? prefix + onDisk : onDisk;
  }
  return corrections;
}

std::vector<std::string> CaseCorrectionLines(const std::vector<CaseCorrection>& corrections) {
  std::vector<std::string> lines;
  for (const CaseCorrection& correction : corrections) {
    lines.push_back(kCorrectedLine + correction.written + " -> " + correction.onDisk);
  }
  return lines;
}
