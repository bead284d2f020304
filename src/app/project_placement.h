// Placing the generated project folder and filling it from the template, the MDK folder and the BSP.
#pragma once

#include <string>

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

/// Fills g_projectPath with the project folder and prints "qm26ide_project_path:<path>". Before
/// anything is written it makes sure the folder can be filled: a project folder that is a symbolic
/// link is refused with "The project folder is a symbolic link: <path>"; a missing template
/// folder, or with a BSP path a missing linker folder or startup file, prints the template lines
/// and the message of the step that would fail. Only then is the folder emptied ("delete file
/// error" or "delete empty dir error" per entry that cannot be removed; the run goes on), or
/// created with mode 0755 ("Failed to create folder: <path>: <reason>" when it cannot be, also
/// when a file has its name). Returns false after its message; an existing folder is then left
/// exactly as it was.
bool PrepareProjectFolder(const RunPaths& paths);

/// Copies the chip model's template, then the MDK folder's contents, into the project folder,
/// printing "Successfully to copy file: <path>" per file and "Failed to copy file: <path>" (with
/// the system's reason on standard error) per entry that fails. Returns false after "Templates
/// path does not exist.", "Failed to copy the tamplate file." or, when any entry of the MDK folder
/// could not be copied, "Failed to copy the MDK project folder.".
bool PlaceTemplate(const RunPaths& paths);

/// Copies the series' GCC linker folder to "ldscripts" and the startup file into the project
/// folder, with the copy lines of PlaceTemplate. Returns false after "Failed to copy the ld file."
/// or "Failed to copy the .s file.".
bool PlaceBspFiles(const RunPaths& paths);

/// True when the last component of `path` contains the series name of `chipModel`.
bool PathMatchesSeries(const std::string& path, const std::string& chipModel);
