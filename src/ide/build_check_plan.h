// What the check before the first build looks at in a generated project, and the step that
// prints what it finds.
#pragma once

#include <string>
#include <vector>

#include "check/build_check.h"
#include "ide/build_selection.h"
#include "ide/case_correction.h"
#include "ide/project_writer.h"
#include "mdk/project_info.h"

/// The folders of a run as the check reads them: absolute and lexically normal (no ".", ".."
/// or empty steps), so that paths below them can be shown relative to the project folder.
struct CheckFolders {
  std::string projectFolder;
  std::string mdkFolder;
  std::string placedStartup;  // the BSP startup file's name at the top of the project; "" if none
};

/// What CheckBeforeBuilding looks at in the generated project, in report order:
/// - each link of `links` that is built, shown by its name and read where its location leads
///   (PARENT-n-PROJECT_LOC/rest: the project folder's n-th parent, then rest; an absolute path as
///   it is);
/// - each C, C++ or assembler file of `projectFiles` (project-relative, "/", in any order) that
///   `selection` does not leave out, sorted, shown by that path;
/// - in MDK order, each built file of the target's groups that MDK assembles (type 2), as
///   kLeftOutAssembler, except one whose name begins with "startup" (in any case) when a BSP
///   startup file is placed; each built object (3) and library (4) file, as kPrebuiltObject and
///   kPrebuiltLibrary. Each is shown by its path in the project folder when it lies in the MDK
///   folder (the copy's), else by its path relative to the project folder.
/// The include folders are `selection`'s include paths, a relative one below
/// "<project folder>/Debug"; the defines are the target's; a header is shown by its path relative
/// to the project folder ("inc/board.h", "../inc/board.h"). Pure.
BuildCheckInput PlanBuildCheck(const ProjectInfo& project, const std::vector<PlannedLink>& links,
                               const BuildSelection& selection,
                               const std::vector<std::string>& projectFiles,
                               const CheckFolders& folders);

/// The check before the first build of the project generated in `projectFolder` from
/// `mdkFolder` (see PlanBuildCheck and CheckBeforeBuilding), with `portFolder` the port folder's
/// name in the project. `projectFiles` are the project-relative paths of the project folder's
/// files ("/" between steps, each once); `placedStartup` is the BSP startup file's name at the top
/// of the project, "" when none is placed. Reads the files the check looks at; writes and prints
/// nothing.
struct BuildCheckRun {
  BuildCheckReport report;
  std::string checkedProjectFolder;  // the project folder as the check read it: absolute, normal
};
BuildCheckRun RunBuildCheck(const ProjectInfo& project, const std::vector<PlannedLink>& links,
                            const BuildSelection& selection, const std::string& projectFolder,
                            const std::vector<std::string>& projectFiles,
                            const std::string& mdkFolder, const std::string& placedStartup,
                            const std::string& portFolder);

/// Prints the lines of `corrections` ("Case corrected: ..."), then the port's lines ("Ported for
/// GCC: ..."), then the lines of the check; nothing when there are none.
void PrintBuildCheck(const std::vector<CaseCorrection>& corrections, const BuildCheckRun& check);
