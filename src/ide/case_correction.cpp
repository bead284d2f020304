// Taking the target's paths as the disk spells them where only the letter case differs, as
// Windows, where MDK ran, never noticed.
#include "ide/case_correction.h"

#include <sys/stat.h>

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

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The spelling on disk of `path` ("/" separators), relative to `mdkFolder` unless absolute; ""
// when it exists as written, or when case ignored gives no entry of `type` or several.
std::string SpellingOnDisk(const std::string& path, const std::string& mdkFolder,
                           EntryType type) {
  if (path.empty()) return "";
  const bool absolute = path[0] == '/';
  // A drive letter names nothing on this system.
  if (IsAbsoluteMdkPath(path) && !absolute) return "";
  struct stat status;
  if (stat((absolute ? path : mdkFolder + "/" + path).c_str(), &status) == 0) return "";
  CaseResolution found;
  // A folder on the way that cannot be listed leaves the path as written; the build names it.
  ResolveIgnoringCase(absolute ? "" : mdkFolder, path, &found).Ignore();
  if (found.match != CaseMatch::kIgnoringCase || !IsOfType(found.path, type)) return "";
  return found.relative;
}

}  // namespace

std::vector<CaseCorrection> CorrectLetterCase(ProjectInfo& project, const std::string& mdkFolder) {
  std::vector<CaseCorrection> corrections;
  std::set<std::pair<std::string, std::string>> listed;
  const auto note = [&](const std::string& written, const std::string& onDisk) {
    if (listed.insert({written, onDisk}).second) corrections.push_back({written, onDisk});
  };
  for (SourceGroup& group : project.groups) {
    for (std::vector<SourceFile>* files : {&group.files, &group.otherFiles}) {
      for (SourceFile& file : *files) {
        const std::string onDisk =
            SpellingOnDisk(ToForwardSlashes(file.filePath), mdkFolder, EntryType::kFile);
        if (onDisk.empty()) continue;
        note(file.filePath, onDisk);
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
    const std::string onDisk = SpellingOnDisk(written, mdkFolder, EntryType::kFolder);
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
