// What the check before the first build looks at in a generated project, and the step that
// prints what it finds.
#include "ide/build_check_plan.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "app/console.h"
#include "ide/build_settings.h"
#include "mdk/mdk_path.h"

namespace fs = std::filesystem;

namespace {

// The build folder of the configurations, where GCC runs and relative include paths start.
constexpr char kBuildFolder[] = "Debug";
// MDK's file types of a group's files that the IDE never builds.
constexpr int kAssemblerFileType = 2;
constexpr int kObjectFileType = 3;
constexpr int kLibraryFileType = 4;

bool IsAbsolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

// Whether `folder` is absolute, not the root, and has no empty, "." or ".." step.
bool IsNormalFolder(const std::string& folder) {
  if (folder.size() < 2 || folder[0] != '/') return false;
  for (size_t at = 0; at < folder.size();) {
    const size_t next = std::min(folder.find('/', at + 1), folder.size());
    const size_t size = next - at - 1;
    if (size == 0 || (size == 1 && folder[at + 1] == '.') ||
        (size == 2 && folder[at + 1] == '.' && folder[at + 2] == '.')) {
      return false;
    }
    at = next;
  }
  return true;
}

// `path` below the absolute `folder` unless it is absolute itself, without ".", ".." and empty
// steps; a ".." at the root stays there.
std::string Below(const std::string& folder, const std::string& path) {
  // Asked for every linked file of the same few folders: a normal folder is taken as it is, and
  // only the path's own steps are read.
  const bool relativeToNormal = !IsAbsolute(path) && IsNormalFolder(folder);
  const std::vector<std::string> segments =
      NormalizedSegments(IsAbsolute(path) || relativeToNormal ? path : folder + "/" + path);
  size_t climbs = 0;
  while (climbs < segments.size() && segments[climbs] == "..") ++climbs;
  std::string normal;
  if (relativeToNormal) {
    // Each ".." drops one of the folder's steps; none climbs above the root.
    normal = folder;
    for (size_t i = 0; i < climbs && !normal.empty(); ++i) normal.resize(normal.rfind('/'));
  }
  for (size_t i = climbs; i < segments.size(); ++i) normal += "/" + segments[i];
  return normal.empty() ? "/" : normal;
}

// `path` relative to `folder`, both absolute and normal ("../inc/board.h" for a neighbour); ""
// when it lies in no common tree.
std::string RelativeTo(const std::string& path, const std::string& folder) {
  return fs::path(path).lexically_relative(folder).generic_string();
}

bool IsInside(const std::string& relative) {
  return !relative.empty() && relative != "." && relative.compare(0, 2, "..") != 0;
}

// Where a linked file lies on disk: its location's folder counted from the project folder.
std::string LinkedFileOnDisk(const LinkLocation& location, const std::string& projectFolder) {
  if (location.isAbsolute) return location.remainingPath;
  std::string climbs;
  for (int i = 0; i < location.parentCount; ++i) climbs += "../";
  return Below(projectFolder, climbs + location.remainingPath);
}

// A group file of the target that the IDE does not build, as the check names it.
CheckedSource OtherFile(const SourceFile& file, CheckKind kind, const CheckFolders& folders) {
  const std::string path = ToForwardSlashes(file.filePath);
  CheckedSource source;
  source.kind = kind;
  // A drive letter names nothing here; the file is named as written.
  source.diskPath = IsAbsoluteMdkPath(path) && !IsAbsolute(path) ? path : Below(folders.mdkFolder, path);
  const std::string inMdkFolder = RelativeTo(source.diskPath, folders.mdkFolder);
  const std::string inProject = RelativeTo(source.diskPath, folders.projectFolder);
  source.shownPath = IsInside(inMdkFolder) ? inMdkFolder
                     : inProject.empty()    ? source.diskPath
                                            : inProject;
  return source;
}

}  // namespace

BuildCheckInput PlanBuildCheck(const ProjectInfo& project, const std::vector<PlannedLink>& links,
                               const BuildSelection& selection,
                               const std::vector<std::string>& projectFiles,
                               const CheckFolders& folders) {
  BuildCheckInput input;
  for (const PlannedLink& link : links) {
    if (!link.built) continue;
    input.sources.push_back(
        {link.name, LinkedFileOnDisk(link.location, folders.projectFolder), CheckKind::kBuiltSource});
  }

  const std::set<std::string> excluded(selection.excludedPaths.begin(),
                                       selection.excludedPaths.end());
  std::vector<CheckedSource> built;
  for (const std::string& file : projectFiles) {
    if (!IsCompiledSourceName(file) && !IsAssemblerSourceName(file)) continue;
    // The exclusion list writes "|" as "?".
    std::string pattern = file;
    std::replace(pattern.begin(), pattern.end(), '|', '?');
    if (excluded.count(pattern) == 0) {
      built.push_back({file, folders.projectFolder + "/" + file, CheckKind::kBuiltSource});
    }
  }
  // A target file of the MDK folder that has no copy (missing, or not a regular file) would leave
  // the firmware without it: the check names it where the build would have found it.
  const std::set<std::string> copied(projectFiles.begin(), projectFiles.end());
  const MdkFolder mdkFolder(folders.mdkFolder);
  for (const SourceGroup& group : project.groups) {
    for (const SourceFile& file : group.files) {
      if (!file.includeInBuild || IsLinkedFile(file.filePath)) continue;
      const std::string copy = mdkFolder.PathInside(file.filePath);
      if (copy.empty() || copied.count(copy) != 0) continue;
      built.push_back({copy, folders.mdkFolder + "/" + copy, CheckKind::kBuiltSource});
    }
  }
  std::sort(built.begin(), built.end(), [](const CheckedSource& a, const CheckedSource& b) {
    return a.shownPath < b.shownPath;
  });
  built.erase(std::unique(built.begin(), built.end(),
                          [](const CheckedSource& a, const CheckedSource& b) {
                            return a.shownPath == b.shownPath;
                          }),
              built.end());
  input.sources.insert(input.sources.end(), built.begin(), built.end());

  for (const SourceGroup& group : project.groups) {
    for (const SourceFile& file : group.otherFiles) {
      if (!file.includeInBuild) continue;
      if (file.fileType == kAssemblerFileType) {
        // The BSP's startup file takes the place of the target's.
        if (!folders.placedStartup.empty() && IsStartupFileName(ToForwardSlashes(file.filePath))) {
          continue;
        }
        input.sources.push_back(OtherFile(file, CheckKind::kLeftOutAssembler, folders));
      } else if (file.fileType == kObjectFileType) {
        input.sources.push_back(OtherFile(file, CheckKind::kPrebuiltObject, folders));
      } else if (file.fileType == kLibraryFileType) {
        input.sources.push_back(OtherFile(file, CheckKind::kPrebuiltLibrary, folders));
      }
    }
  }

  const std::string buildFolder = folders.projectFolder + "/" + kBuildFolder;
  for (const std::string& includePath : selection.includePaths) {
    input.includeFolders.push_back(Below(buildFolder, includePath));
  }
  // What make or the shell would expand is not passed to GCC.
  input.defines = LiteralDefines(project.defines);
  const auto pack = project.settings.find("TargetCommonOption/PackID");
  if (pack != project.settings.end()) input.packId = pack->second;
  const std::string projectFolder = folders.projectFolder;
  input.showPath = [projectFolder](const std::string& diskPath) {
    const std::string relative = RelativeTo(diskPath, projectFolder);
    return relative.empty() ? diskPath : relative;
  };
  return input;
}

namespace {

// `folder` as an absolute path without links, "." or ".." steps; made absolute by its text when
// it cannot be resolved.
std::string AbsoluteFolder(const std::string& folder) {
  if (char* real = realpath(folder.c_str(), nullptr)) {
    const std::string resolved = real;
    std::free(real);
    return resolved;
  }
  std::error_code error;
  return Below(fs::absolute(folder, error).generic_string(), ".");
}

}  // namespace

BuildCheckRun RunBuildCheck(const ProjectInfo& project, const std::vector<PlannedLink>& links,
                            const BuildSelection& selection, const std::string& projectFolder,
                            const std::vector<std::string>& projectFiles,
                            const std::string& mdkFolder, const std::string& placedStartup,
                            const std::string& portFolder) {
  const CheckFolders folders{AbsoluteFolder(projectFolder), AbsoluteFolder(mdkFolder),
                             placedStartup};
  BuildCheckInput input = PlanBuildCheck(project, links, selection, projectFiles, folders);
  input.portFolder = portFolder;
  return {CheckBeforeBuilding(input), folders.projectFolder};
}

void PrintBuildCheck(const std::vector<CaseCorrection>& corrections, const BuildCheckRun& check) {
  for (const std::string& line : CaseCorrectionLines(corrections)) PrintLine(line);
  for (const std::string& line : check.report.port.lines) PrintLine(line);
  for (const std::string& line : check.report.lines) PrintLine(line);
}
