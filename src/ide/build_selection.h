// What the IDE builds: the files left out of the build and the include folders MDK adds itself.
#pragma once

#include <string>
#include <vector>

#include "mdk/project_info.h"

/// The project-relative paths, with "/", sorted and each once, that the IDE build must leave out
/// so that it builds what the first MDK target builds:
/// - the link of a file that the target switches off (IncludeInBuild 0), by its link name;
/// - the copy of a linked file that lies inside the MDK folder (the link is built instead);
/// - every assembler file among `copiedSources`, and every C or C++ one that is neither a target
///   file listed with "./" or ".\" and built, nor one of the target's RTE source files;
/// except `placedStartup`, the BSP startup file at the top of the project ("" when none).
/// `copiedSources` are the project-relative paths of the C, C++ and assembler files copied from
/// the MDK folder; `mdkFolder` is that folder as an absolute, normal path.
std::vector<std::string> SelectExcludedPaths(const ProjectInfo& project,
                                             const std::vector<std::string>& copiedSources,
                                             const std::string& mdkFolder,
                                             const std::string& placedStartup);

/// Runs after the project folder is filled: sets g_project's excludedPaths from the sources copied
/// from `mdkFolder`, and appends to its includePaths each RTE include folder that exists in the
/// project folder and is not there yet ("../<folder>", relative to the build folder). Prints
/// nothing.
void SelectBuildInputs(const std::string& mdkFolder, const std::string& placedStartup);
