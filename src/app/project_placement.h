// Placing the generated project folder and filling it from the template, the MDK folder and the BSP.
#pragma once

#include <string>

#include "fs/result.h"
#include "mdk/project_info.h"

/// The path of the generated project folder, with its "/../" step left unresolved. Written once,
/// by PrepareProjectFolder; the closing message shows it.
extern std::string g_projectPath;

/// Every path a run works with, derived once from the command line and the chip model.
struct RunPaths {
  std::string mdkFile;
  std::string mdkFolder;           // the folder of the MDK file
  std::string projectFolder;       // <mdkFolder>/../qm26_ide_proj, unresolved
  bool templatesFromWorkingDirectory = false;  // no templates path was given
  std::string workingDirectory;    // only when templatesFromWorkingDirectory; "" if unreadable
  std::string templateFolder;      // <templates>/<chip model>/QM26_IDE
  std::string bspLinkerFolder;     // the series' GCC linker folder; "" without a BSP path
  std::string bspStartupFile;      // the chip's GCC startup file in the BSP; "" without one
  std::string startupName;         // its name; "" without a BSP path
  std::string projectLinkerFolder;  // <projectFolder>/ldscripts
};

/// The folder of the MDK project file: the text before the last "/" when the path has one, else
/// before the last "\" when it has one, else ".".
std::string MdkFolderOf(const std::string& mdkPath);

/// The paths of a run converting `mdkPath` for `chipModel`, with the templates path and the BSP
/// path as given (either may be ""). Reads the working directory only when no templates path is
/// given; touches nothing.
RunPaths DeriveRunPaths(const std::string& mdkPath, const std::string& templatesPath,
                        const std::string& bspPath, const std::string& chipModel);

/// True when the MDK folder is itself the project folder it would be converted into (the MDK file
/// was taken from an earlier generated project): emptying that folder would delete the MDK project.
bool MdkFolderIsProjectFolder(const RunPaths& paths);

/// An exclusive lock on a project folder, held until it is destroyed.
class ProjectLock {
 public:
  ProjectLock() = default;
  ~ProjectLock();
  ProjectLock(const ProjectLock&) = delete;
  ProjectLock& operator=(const ProjectLock&) = delete;

  /// Takes the lock on the folder `projectFolder` (never through a link) without waiting. A
  /// failure carries the system's reason: EWOULDBLOCK when another process holds it.
  [[nodiscard]] Result Take(const std::string& projectFolder);

 private:
  int fd_ = -1;
};

/// Fills g_projectPath with the project folder and prints "qm26ide_project_path:<path>". A
/// project folder that is a symbolic link is refused with "The project folder is a symbolic link:
/// <path>"; a missing one is created with mode 0755 ("Failed to create folder: <path>: <reason>"
/// when it cannot be, also when a file has its name). Then it takes `lock` on the project folder,
/// or refuses with "Another run is generating this project: <path>" when another run holds it;
/// when the lock cannot be taken for another reason it says so ("Going on without the lock
/// against a second run: <path>: <reason>") and goes on. Before anything is written it makes sure
/// the folder can be filled: a template, a template file, a BSP linker folder, the chip's linker
/// script or a startup file that is missing or of the wrong kind, and a ".project", ".cproject" or
/// "preferences.ini" (the template's, or the MDK folder's that replaces it) that cannot be read
/// or lacks what the run sets, prints the template lines, a line that names the path and what is
/// wrong, and the message of the step that would fail. Only then is an existing folder emptied
/// ("Failed to delete: <path>: <reason>" per entry that cannot be removed, then "The project
/// folder could not be emptied: <path>" and false). Returns false after its message; an existing
/// folder is then left as it was, and one the run created is removed unless another run holds it.
bool PrepareProjectFolder(const RunPaths& paths, const ProjectInfo& project, ProjectLock* lock);

/// What the copies put into the project folder, which held nothing before them.
struct PlacedFiles {
  /// Every file copied, relative to the project folder (one the template and the MDK folder both
  /// hold comes twice).
  std::vector<std::string> projectFiles;
  /// The files copied from the MDK folder, relative to it (and to the project folder).
  std::vector<std::string> mdkCopies;
};

/// Copies the chip model's template, then the MDK folder's contents, into the project folder,
/// printing "Successfully to copy file: <path>" per file and "Failed to copy file: <path>" (with
/// the system's reason on standard error) per entry that fails. Returns false after "Templates
/// path does not exist.", "Failed to copy the tamplate file." or, when any entry of the MDK folder
/// could not be copied, "Failed to copy the MDK project folder.". Adds each copied file to
/// `placed`.
bool PlaceTemplate(const RunPaths& paths, PlacedFiles* placed);

/// Copies the series' GCC linker folder to "ldscripts" and the startup file into the project
/// folder, with the copy lines of PlaceTemplate. Returns false after "Failed to copy the ld file."
/// or "Failed to copy the .s file.". Adds each copied file to `placed->projectFiles`.
bool PlaceBspFiles(const RunPaths& paths, PlacedFiles* placed);

/// True when the last component of `path` contains the series name of `chipModel`.
bool PathMatchesSeries(const std::string& path, const std::string& chipModel);
