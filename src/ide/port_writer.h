// Writing the port for GCC into the generated project: its folder, the compatibility header, the
// C library bridge and the forwarding headers, and the build settings that use them.
#pragma once

#include <string>
#include <vector>

#include "ide/build_selection.h"
#include "ide/project_writer.h"
#include "check/gcc_port.h"

/// The port folder's name in the filled `projectFolder`: kPortFolderName, or that with "_2",
/// "_3"... when an entry of the folder of any kind (a symbolic link too, dangling or not) or the
/// first segment of a link of `links` has it. Reads the folder's entries only.
std::string ChoosePortFolder(const std::string& projectFolder,
                             const std::vector<PlannedLink>& links);

/// Writes the files of `plan` below `projectFolder`/`folder`, which it creates (nothing may stand
/// there): kCompatibilityHeaderName when the plan defines a construct, kLibraryBridgeName when it
/// bridges a hook, and each forwarding header below kForwardingFolderName, including its file by a
/// path relative to the header's folder (`checkedFolder` is the project folder as the check read
/// it, absolute, as the plan's disk paths are). Nothing is written for an empty plan. Never
/// writes through a link. Returns false after "Failed to write file: <path>", with the system's
/// reason on standard error.
bool WritePortFiles(const PortPlan& plan, const std::string& projectFolder,
                    const std::string& checkedFolder, const std::string& folder);

/// `selection` as the project builds with the port of `plan` in `folder`: the compatibility
/// header among the include files of every C and C++ compile, and the forwarding folder first
/// among the include paths. `selection` itself for an empty plan.
BuildSelection PortedSelection(const BuildSelection& selection, const PortPlan& plan,
                               const std::string& folder);
