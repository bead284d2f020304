// What the IDE builds: the files left out of the build and the include folders MDK adds itself.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ide/project_writer.h"
#include "mdk/project_info.h"

/// What the IDE build takes beyond the model: the paths it leaves out and its include paths.
struct BuildSelection {
  /// Project-relative paths, with "/", sorted and each once, that the IDE build leaves out.
  std::vector<std::string> excludedPaths;
  /// The model's include paths, followed by each RTE include folder that exists in the project
  /// folder and is not among them yet ("../<folder>", relative to the build folder).
  std::vector<std::string> includePaths;
  /// The headers forced into every C and C++ compile (-include), as the option's values.
  std::vector<std::string> includeFiles = {};
};

/// The MDK folder (absolute and normal), read once for the many FilePaths asked of it.
class MdkFolder {
 public:
  explicit MdkFolder(const std::string& folder);
  /// Where a target file's FilePath leads inside the folder, as a path relative to it with "/";
  /// "" when it leads elsewhere. A path that climbs out and back in ("..\mdk\main.c") counts as
  /// inside. Pure.
  std::string PathInside(const std::string& filePath) const;

 private:
  std::vector<std::string> segments_;
};

/// Whether a line of assembler text opens with a GNU assembler directive (".syntax", ".global",
/// ".section"...): its first word, outside "@", "//" and "/* */" comments, begins with ".".
/// `inBlockComment` carries an open "/*" from line to line (start with false).
bool IsGnuDirectiveLine(std::string_view line, bool* inBlockComment);

/// Moves each assembler file (MDK file type 2) of `project`'s groups that MDK builds and that is
/// GNU syntax, as ARM Compiler 6 projects have (a line opens with a GNU directive and none shows
/// ARM syntax: IsArmSyntaxAssemblerLine), from the group's otherFiles to its files: it is then
/// linked, or its copy built, like a C file, wherever it lies. A file whose name begins with
/// "startup" (in any case) stays when `startupPlaced`: the BSP's startup file takes its place. A
/// path relative to `mdkFolder` is read there; one with a drive letter, and a file that cannot be
/// read or is larger than kMaxCheckedFileSize, stays. Reads those files; prints nothing.
void TakeGnuAssemblerFiles(ProjectInfo& project, const std::string& mdkFolder, bool startupPlaced);

/// The project-relative paths, with "/", sorted and each once, that the IDE build must leave out
/// so that it builds what the MDK target builds:
/// - each of `links` that the target switches off (IncludeInBuild 0), by its name;
/// - the copy of a linked file that lies inside the MDK folder (the link is built instead);
/// - every C, C++ or assembler file among `copiedSources` that is neither a target file of the
///   groups' files (C, C++ and GNU-syntax assembler) listed with "./" or ".\" and built, nor one
///   of the target's RTE source files;
/// except `placedStartup`, the BSP startup file at the top of the project ("" when none).
/// `copiedSources` are the project-relative paths of the C, C++ and assembler files copied from
/// the MDK folder; `mdkFolder` is that folder as an absolute, normal path. A "|" in a path, which
/// CDT would take for the end of it, is written as the wildcard "?".
std::vector<std::string> SelectExcludedPaths(const ProjectInfo& project,
                                             const std::vector<PlannedLink>& links,
                                             const std::vector<std::string>& copiedSources,
                                             const std::string& mdkFolder,
                                             const std::string& placedStartup);

/// Chooses what the IDE builds once `projectFolder` has been filled from `mdkFolder` (and, when
/// `placedStartup` is not "", with that BSP startup file at its top); `mdkCopies` are the files
/// copied from the MDK folder, relative to it and to the project folder. Prints nothing.
BuildSelection SelectBuildInputs(const ProjectInfo& project,
                                 const std::vector<PlannedLink>& links,
                                 const std::string& mdkFolder,
                                 const std::string& projectFolder,
                                 const std::vector<std::string>& mdkCopies,
                                 const std::string& placedStartup);
