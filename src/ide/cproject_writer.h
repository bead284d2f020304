// Writing the generated ".cproject": include paths, defines and linker script per configuration.
#pragma once

#include <string>
#include <vector>

#include <tinyxml.h>

#include "ide/build_selection.h"
#include "mdk/project_info.h"

/// Rewrites `projectFolder`/.cproject for the debug and release configurations with `project`'s
/// defines and linker script and the selection's include paths, then adds the selection's excluded
/// paths to the excluding list of each one's root source entry and prints
/// "Exclude from the build: <path>" for each (nothing when the list is empty). Returns false after
/// "Unable to load file: <path>" when it cannot be loaded, and after "Save file .cproject failed!"
/// when it cannot be written whole (also a failure that only shows at the flush or the close).
/// The MDK target's build settings (ChooseBuildSettings) go into each configuration after its
/// other edits, their lines after its other lines; a configuration that lacks what they need fails
/// after the message of WriteConfigurationSettings.
bool GenerateCProjectFile(const ProjectInfo& project, const std::string& projectFolder,
                          const BuildSelection& selection);

/// The one line for a project file that lacks what the run must set, followed by the file's path,
/// ": " and what it lacks.
constexpr char kIncompleteProjectFile[] = "Incomplete project file: ";

/// What the ".cproject" document under `root` lacks of what the run sets for `project`, "" when
/// nothing: the debug and the release configuration, each with the C include-path and define
/// options, a toolChain when the target's build settings set options, a "configuration" element
/// around it when they set the artifact name, and a linker-script option (C or C++) whose value
/// can be set. The first thing missing is named: "no Debug configuration", "no define option in
/// the Release configuration", "no toolChain in the Debug configuration", ...
std::string MissingCProjectSettings(TiXmlElement* root, const ProjectInfo& project);

/// Rewrites the include-path, defines and linker-script options below one configuration's
/// "folderInfo" element (never null). "debug" adds TRACE and OS_USE_TRACE_SEMIHOSTING_DEBUG to the
/// defines, any other name NDEBUG. The C++ compiler gets the same include paths and defines, and
/// the C++ linker the same script, without lines of their own.
void ModifyBuildOptions(TiXmlElement* configuration, const std::string& configurationName,
                        const ProjectInfo& project, const std::vector<std::string>& includePaths);
