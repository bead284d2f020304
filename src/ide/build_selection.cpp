// What the IDE builds: the files left out of the build and the include folders MDK adds itself.
#include "ide/build_selection.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "fs/directory_list.h"
#include "fs/text_lines.h"
#include "check/arm_code_scan.h"
#include "check/build_check.h"
#include "ide/project_writer.h"
#include "mdk/mdk_path.h"

namespace fs = std::filesystem;

MdkFolder::MdkFolder(const std::string& folder) : segments_(NormalizedSegments(folder)) {}

std::string MdkFolder::PathInside(const std::string& filePath) const {
  const std::string path = ToForwardSlashes(filePath);
  const bool absolute = IsAbsoluteMdkPath(path);
  if (absolute && path[0] != '/') return "";
  const std::vector<std::string> file = NormalizedSegments(path);
  // A relative path, normal, is some ".." and then names. From the folder, each ".." drops one of
  // its segments, and the names that follow must give the dropped ones back before going on.
  size_t climbs = 0;
  while (!absolute && climbs < file.size() && file[climbs] == "..") ++climbs;
  if (climbs > segments_.size()) return "";
  const size_t kept = absolute ? 0 : segments_.size() - climbs;
  const size_t given = segments_.size() - kept;
  const auto names = file.begin() + static_cast<std::ptrdiff_t>(climbs);
  if (static_cast<size_t>(file.end() - names) <= given ||
      !std::equal(segments_.begin() + static_cast<std::ptrdiff_t>(kept), segments_.end(), names)) {
    return "";
  }
  return JoinSegments(
      std::vector<std::string>(names + static_cast<std::ptrdiff_t>(given), file.end()));
}

namespace {

// The C, C++ and assembler files copied from the MDK folder: the copies that CDT would otherwise
// compile.
std::vector<std::string> CopiedSources(const std::vector<std::string>& mdkCopies) {
  std::vector<std::string> sources;
  for (const std::string& relative : mdkCopies) {
    if (IsCompiledSourceName(relative) || IsAssemblerSourceName(relative)) {
      sources.push_back(relative);
    }
  }
  return sources;
}

// Whether the assembler file at `path` is GNU syntax; false when it cannot be read.
bool IsGnuAssemblerFile(const std::string& path) {
  bool inArmComment = false;
  bool inGnuComment = false;
  bool arm = false;
  bool gnu = false;
  const Result read = ReadTextLines(path, kMaxCheckedFileSize, [&](std::string_view line) {
    arm = IsArmSyntaxAssemblerLine(line, &inArmComment);
    gnu = IsGnuDirectiveLine(line, &inGnuComment) || gnu;
    return !arm;
  });
  return read.ok() && gnu && !arm;
}

bool StartsWithStartup(const std::string& path) {
  const std::string name = path.substr(path.rfind('/') + 1);
  static const char kStartup[] = "startup";
  if (name.size() < sizeof kStartup - 1) return false;
  for (size_t i = 0; i + 1 < sizeof kStartup; ++i) {
    const char c =
        name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
    if (c != kStartup[i]) return false;
  }
  return true;
}

}  // namespace

bool IsGnuDirectiveLine(std::string_view line, bool* inBlockComment) {
  std::string visible;
  for (size_t i = 0; i < line.size();) {
    if (*inBlockComment) {
      const size_t close = line.find("*/", i);
      if (close == std::string::npos) break;
      *inBlockComment = false;
      visible += ' ';
      i = close + 2;
    } else if (line.compare(i, 2, "/*") == 0) {
      *inBlockComment = true;
      i += 2;
    } else if (line[i] == '@' || line.compare(i, 2, "//") == 0) {
      break;
    } else {
      visible += line[i++];
    }
  }
  const size_t first = visible.find_first_not_of(" \t\r");
  if (first == std::string::npos || visible[first] != '.' || first + 1 >= visible.size()) {
    return false;
  }
  const char next = visible[first + 1];
  return (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z');
}

void TakeGnuAssemblerFiles(ProjectInfo& project, const std::string& mdkFolder, bool startupPlaced) {
  constexpr int kAssemblerFileType = 2;
  for (SourceGroup& group : project.groups) {
    std::vector<SourceFile> others;
    for (SourceFile& file : group.otherFiles) {
      const std::string path = ToForwardSlashes(file.filePath);
      const bool readable = !IsAbsoluteMdkPath(path) || path[0] == '/';
      if (file.fileType == kAssemblerFileType && file.includeInBuild && readable &&
          !(startupPlaced && StartsWithStartup(path)) &&
          IsGnuAssemblerFile(path[0] == '/' ? path : mdkFolder + "/" + path)) {
        group.files.push_back(std::move(file));
      } else {
        others.push_back(std::move(file));
      }
    }
    group.otherFiles = std::move(others);
  }
}

std::vector<std::string> SelectExcludedPaths(const ProjectInfo& project,
                                             const std::vector<PlannedLink>& links,
                                             const std::vector<std::string>& copiedSources,
                                             const std::string& mdkFolder,
                                             const std::string& placedStartup) {
  const MdkFolder folder(mdkFolder);
  std::set<std::string> excluded;
  std::set<std::string> builtCopies(project.rteSourceFiles.begin(), project.rteSourceFiles.end());
  for (const SourceGroup& group : project.groups) {
    for (const SourceFile& file : group.files) {
      if (IsLinkedFile(file.filePath) || !file.includeInBuild) continue;
      const std::string copy = folder.PathInside(file.filePath);
      if (!copy.empty()) builtCopies.insert(copy);
    }
  }
  std::set<std::string> linkedCopies;
  for (const PlannedLink& link : links) {
    if (!link.built) excluded.insert(link.name);
    // The link builds the file (or nothing does); its copy must never be built as well.
    const std::string copy = folder.PathInside(link.filePath);
    if (!copy.empty()) linkedCopies.insert(copy);
  }
  for (const std::string& source : copiedSources) {
    if (source == placedStartup) continue;
    if (linkedCopies.count(source) != 0 || builtCopies.count(source) == 0) {
      std::string pattern = source;
      std::replace(pattern.begin(), pattern.end(), '|', '?');
      excluded.insert(pattern);
    }
  }
  return std::vector<std::string>(excluded.begin(), excluded.end());
}

BuildSelection SelectBuildInputs(const ProjectInfo& project,
                                 const std::vector<PlannedLink>& links,
                                 const std::string& mdkFolder,
                                 const std::string& projectFolder,
                                 const std::vector<std::string>& mdkCopies,
                                 const std::string& placedStartup) {
  BuildSelection selection;
  std::error_code error;
  const std::string absoluteMdkFolder =
      fs::absolute(mdkFolder, error).lexically_normal().generic_string();
  selection.excludedPaths = SelectExcludedPaths(
      project, links, CopiedSources(mdkCopies), absoluteMdkFolder, placedStartup);

  // An MDK project may list such a folder itself, in another spelling (".\RTE\_Target_1").
  selection.includePaths = project.includePaths;
  std::set<std::vector<std::string>> present;
  for (const std::string& includePath : selection.includePaths) {
    present.insert(NormalizedSegments(includePath));
  }
  for (const std::string& folder : project.rteIncludeFolders) {
    const std::string includePath = "../" + folder;
    if (IsFolder(projectFolder + "/" + folder) &&
        present.insert(NormalizedSegments(includePath)).second) {
      selection.includePaths.push_back(includePath);
    }
  }
  return selection;
}
