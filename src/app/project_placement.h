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

/// Fills g_projectPath with the MDK folder + "/../qm26_ide_proj", prints
/// "qm26ide_project_path:<path>", creates the folder or empties the existing one. Returns the MDK
/// folder.
std::string PrepareProjectFolder(const std::string& mdkPath);

/// Copies the chip model's template, then the MDK folder's contents, into the project folder.
/// Returns false after "Templates path does not exist." or "Failed to copy the tamplate file.".
bool PlaceTemplate(const std::string& templatesPath, const std::string& mdkFolder);

/// Copies the series' GCC linker folder to "ldscripts" and the startup file into the project
/// folder. Returns false after "Failed to copy the ld file." or "Failed to copy the .s file.".
bool PlaceBspFiles(const std::string& bspPath);

/// True when the last component of `path` contains the series name of g_project's chip model.
bool PathMatchesSeries(const std::string& path);

/// Appends to `pieces` every non-empty run of characters of `text` that are not in `delimiters`.
void SplitString(const std::string& text, const std::string& delimiters,
                 std::vector<std::string>& pieces);
