// Placing the generated project folder and filling it from the template, the MDK folder and the BSP.
#include "app/project_placement.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "app/console.h"
#include "chip/chip_catalogue.h"
#include "fs/entry_kind.h"
#include "fs/file_copy.h"
#include "fs/project_path.h"
#include "fs/tree_copy.h"
#include "fs/tree_delete.h"
#include "mdk/mdk_path.h"
#include "mdk/project_info.h"

namespace {

constexpr char kProjectFolderName[] = "qm26_ide_proj";
constexpr char kTemplatesFolderName[] = "QM26IDE_Templates";
constexpr char kTemplateName[] = "QM26_IDE";
constexpr char kLinkerFolderName[] = "ldscripts";
// The one model whose BSP support files sit under the Cortex-M0+ core folder.
constexpr char kCortexM0PlusModel[] = "QM26S110";

// The current working directory, of any length; "" when it cannot be read.
std::string CurrentDirectory() {
  std::string buffer(256, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return "";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.c_str();
}

std::string TemplateFolder(const std::string& templatesPath, const std::string& chipModel) {
  if (templatesPath.empty()) {
    const std::string cwd = CurrentDirectory();
    PrintLine("Program current run directory: " + cwd);
    return cwd + "/" + kTemplatesFolderName + "/" + chipModel + "/" + kTemplateName;
  }
  return templatesPath + "/" + chipModel + "/" + kTemplateName;
}

std::string BspStartupFolder(const std::string& seriesPath, const std::string& chipModel) {
  const std::string core = chipModel == kCortexM0PlusModel ? "cm0plus" : "cm4";
  return seriesPath + "/libraries/cmsis/" + core + "/device_support/startup/gcc";
}

}  // namespace

std::string MdkFolderOf(const std::string& mdkPath) {
  // "/" decides wherever it occurs; "\" only splits Windows-style paths that have no "/".
  size_t cut = mdkPath.rfind('/');
  if (cut == std::string::npos) cut = mdkPath.rfind('\\');
  if (cut == std::string::npos) return ".";
  return mdkPath.substr(0, cut);
}

std::string ProjectFolderFor(const std::string& mdkFolder) {
  return mdkFolder + "/../" + kProjectFolderName;
}

bool MdkFolderIsProjectFolder(const std::string& mdkFolder) {
  struct stat mdk;
  struct stat project;
  return stat(mdkFolder.c_str(), &mdk) == 0 &&
         stat(ProjectFolderFor(mdkFolder).c_str(), &project) == 0 && mdk.st_dev == project.st_dev &&
         mdk.st_ino == project.st_ino;
}

std::string PrepareProjectFolder(const std::string& mdkPath) {
  const std::string mdkFolder = MdkFolderOf(mdkPath);
  g_projectPath = ProjectFolderFor(mdkFolder);
  PrintLine("qm26ide_project_path:" + g_projectPath);

  // A failed creation shows up as a failed template copy.
  if (!PathExists(g_projectPath)) {
    mkdir(g_projectPath.c_str(), 0755);
  } else {
    DeleteDirectoryContents(g_projectPath);
  }
  return mdkFolder;
}

bool PlaceTemplate(const std::string& templatesPath, const std::string& mdkFolder) {
  const std::string templateFolder = TemplateFolder(templatesPath, g_project->chipModel);
  PrintLine("Templates path: " + templateFolder);
  if (!PathExists(templateFolder)) {
    PrintLine("Templates path does not exist.");
    return false;
  }
  if (CopyDirectoryTree(templateFolder.c_str(), g_projectPath.c_str()) < 0) {
    PrintLine("Failed to copy the tamplate file.");
    return false;
  }
  // The MDK folder's files go in after the template, so they win over template files of the same
  // name; a file that fails here has printed its own line and does not stop the run.
  CopyIntoProjectIfExists(mdkFolder);
  return true;
}

bool PlaceBspFiles(const std::string& bspPath) {
  const std::string& chipModel = g_project->chipModel;
  std::string seriesPath = bspPath;
  if (!PathMatchesSeries(seriesPath)) seriesPath += "/" + GetSeriesName(chipModel);

  const std::string startupFolder = BspStartupFolder(seriesPath, chipModel);
  const std::string linkerFolder = startupFolder + "/linker";
  const std::string projectLinkerFolder = g_projectPath + "/" + kLinkerFolderName;
  if (CopyDirectoryTree(linkerFolder.c_str(), projectLinkerFolder.c_str()) < 0) {
    PrintLine("Failed to copy the ld file.");
    return false;
  }
  PrintLine("The linker file was updated successfully.");

  const std::string startupFile = GetStartupFileName();
  const std::string source = startupFolder + "/" + startupFile;
  const std::string destination = g_projectPath + "/" + startupFile;
  if (CopyFile(source.c_str(), destination.c_str()) < 0) {
    PrintLine("Failed to copy the .s file.");
    return false;
  }
  PrintLine("The startup file was updated successfully.");
  return true;
}

bool PathMatchesSeries(const std::string& path) {
  std::vector<std::string> components;
  SplitString(ToForwardSlashes(path), "/", components);
  // A path of separators only has no last component: it names no series folder.
  const std::string last = components.empty() ? "" : components.back();
  return last.find(GetSeriesName(g_project->chipModel)) != std::string::npos;
}

void SplitString(const std::string& text, const std::string& delimiters,
                 std::vector<std::string>& pieces) {
  size_t start = text.find_first_not_of(delimiters);
  while (start != std::string::npos) {
    const size_t end = text.find_first_of(delimiters, start);
    pieces.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    start = end == std::string::npos ? end : text.find_first_not_of(delimiters, end);
  }
}
