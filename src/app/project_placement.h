// Placing the generated project folder and filling it from the template, the MDK folder and the BSP.
#pragma once

#include <string>
#include <vector>

/// The folder of the MDK project file: the text before the last "/" when the path has one, else
/// before the last "\" when it has one, else ".".
std::string MdkFolderOf(const std::string& mdkPath);

/// The project folder for an MDK folder: the MDK folder + "/../qm26_ide_proj", unresolved.
std::string ProjectFolderFor(const std::string& mdkFolder);

/// True when `mdkFolder` is itself the project folder it would be converted into (the MDK file was
/// taken from an earlier generated project): emptying that folder would delete the MDK project.
bool MdkFolderIsProjectFolder(const std::string& mdkFolder);

/// Fills g_projectPath with the MDK folder + "/../qm26_ide_proj" and prints
/// "qm26ide_project_path:<path>". Before anything is written it makes sure the folder can be
/// filled: a project folder that is a symbolic link is refused with
/// "The project folder is a symbolic link: <path>"; a missing template folder, or with a BSP path
/// a missing linker folder or startup file, prints the template lines and the message of the step
/// that would fail. Only then is the folder emptied, or created with mode 0755
/// ("Failed to create folder: <path>: <reason>" when it cannot be, also when a file has its name).
/// Returns false after its message; an existing folder is then left exactly as it was.
bool PrepareProjectFolder(const std::string& mdkPath, const std::string& templatesPath,
                          const std::string& bspPath);

/// Copies the chip model's template, then the MDK folder's contents, into the project folder.
/// Returns false after "Templates path does not exist.", "Failed to copy the tamplate file." or,
/// when any file of the MDK folder could not be copied (each named before),
/// "Failed to copy the MDK project folder.".
bool PlaceTemplate(const std::string& templatesPath, const std::string& mdkFolder);

/// Copies the series' GCC linker folder to "ldscripts" and the startup file into the project
/// folder. Returns false after "Failed to copy the ld file." or "Failed to copy the .s file.".
bool PlaceBspFiles(const std::string& bspPath);

/// True when the last component of `path` contains the series name of g_project's chip model.
bool PathMatchesSeries(const std::string& path);

/// Appends to `pieces` every non-empty run of characters of `text` that are not in `delimiters`.
void SplitString(const std::string& text, const std::string& delimiters,
                 std::vector<std::string>& pieces);
