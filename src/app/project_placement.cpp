// Placing the generated project folder and filling it from the template, the MDK folder and the BSP.
#include "app/project_placement.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "app/console.h"
#include "chip/chip_catalogue.h"
#include "fs/entry_kind.h"
#include "fs/file_copy.h"
#include "fs/project_path.h"
#include "fs/tree_copy.h"
#include "fs/tree_delete.h"
#include "mdk/project_info.h"

namespace {

constexpr char kProjectFolderName[] = "qm26_ide_proj";
constexpr char kTemplatesFolderName[] = "QM26IDE_Templates";
constexpr char kTemplateName[] = "QM26_IDE";
constexpr char kLinkerFolderName[] = "ldscripts";
// The one model whose BSP support files sit under the Cortex-M0+ core folder.
constexpr char kCortexM0PlusModel[] = "QM26S110";
constexpr char kTemplatesMissing[] = "Templates path does not exist.";
constexpr char kTemplateCopyFailed[] = "Failed to copy the tamplate file.";
constexpr char kMdkCopyFailed[] = "Failed to copy the MDK project folder.";
constexpr char kLinkerCopyFailed[] = "Failed to copy the ld file.";
constexpr char kStartupCopyFailed[] = "Failed to copy the .s file.";
constexpr char kProjectFolderIsLink[] = "The project folder is a symbolic link: ";
constexpr char kCreateFailed[] = "Failed to create folder: ";

// The current working directory, of any length; "" when it cannot be read.
std::string CurrentDirectory() {
  std::string buffer(256, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return "";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.c_str();
}

// The template folder of g_project's chip model; with `announce`, the lines that a run prints
// before it copies the template.
std::string TemplateFolder(const std::string& templatesPath, bool announce) {
  std::string folder;
  if (templatesPath.empty()) {
    const std::string cwd = CurrentDirectory();
    if (announce) PrintLine("Program current run directory: " + cwd);
    folder = cwd + "/" + kTemplatesFolderName;
  } else {
    folder = templatesPath;
  }
  folder += "/" + g_project->chipModel + "/" + kTemplateName;
  if (announce) PrintLine("Templates path: " + folder);
  return folder;
}

// Where a BSP keeps g_project's chip's GCC support files.
struct BspSources {
  std::string linkerFolder;
  std::string startupFile;
  std::string startupName;
};

BspSources LocateBspSources(const std::string& bspPath) {
  const std::string& chipModel = g_project->chipModel;
  std::string seriesPath = bspPath;
  if (!PathMatchesSeries(seriesPath)) seriesPath += "/" + GetSeriesName(chipModel);
  const std::string core = chipModel == kCortexM0PlusModel ? "cm0plus" : "cm4";
  const std::string startupFolder =
      seriesPath + "/libraries/cmsis/" + core + "/device_support/startup/gcc";
  const std::string startupName = GetStartupFileName();
  return {startupFolder + "/linker", startupFolder + "/" + startupName, startupName};
}

// True when the template and, with a BSP path, the linker folder and the startup file are there
// to be copied. Otherwise prints the template lines and the message of the step that would fail,
// as the run would have printed them, and returns false.
bool SourcesExist(const std::string& templatesPath, const std::string& bspPath) {
  const char* failure = nullptr;
  if (!PathExists(TemplateFolder(templatesPath, false))) {
    failure = kTemplatesMissing;
  } else if (!bspPath.empty()) {
    const BspSources bsp = LocateBspSources(bspPath);
    if (!PathExists(bsp.linkerFolder)) {
      failure = kLinkerCopyFailed;
    } else if (!PathExists(bsp.startupFile)) {
      failure = kStartupCopyFailed;
    }
  }
  if (failure == nullptr) return true;
  TemplateFolder(templatesPath, true);
  PrintLine(failure);
  return false;
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

bool PrepareProjectFolder(const std::string& mdkPath, const std::string& templatesPath,
                          const std::string& bspPath) {
  g_projectPath = ProjectFolderFor(MdkFolderOf(mdkPath));
  PrintLine("qm26ide_project_path:" + g_projectPath);

  // Emptying a link would empty the folder it points to, which may hold anything.
  struct stat status;
  const bool exists = lstat(g_projectPath.c_str(), &status) == 0;
  if (exists && S_ISLNK(status.st_mode)) {
    PrintLine(kProjectFolderIsLink + g_projectPath);
    return false;
  }
  // A run that cannot fill the folder must not empty it first.
  if (!SourcesExist(templatesPath, bspPath)) return false;

  if (exists && S_ISDIR(status.st_mode)) {
    DeleteDirectoryContents(g_projectPath);
    return true;
  }
  int error = EEXIST;  // something that is not a folder has its name
  if (!exists) error = mkdir(g_projectPath.c_str(), 0755) == 0 ? 0 : errno;
  if (error != 0) {
    PrintLine(kCreateFailed + g_projectPath + ": " + std::strerror(error));
    return false;
  }
  return true;
}

bool PlaceTemplate(const std::string& templatesPath, const std::string& mdkFolder) {
  const std::string templateFolder = TemplateFolder(templatesPath, true);
  if (!PathExists(templateFolder)) {
    PrintLine(kTemplatesMissing);
    return false;
  }
  if (CopyDirectoryTree(templateFolder.c_str(), g_projectPath.c_str()) < 0) {
    PrintLine(kTemplateCopyFailed);
    return false;
  }
  // The MDK folder's files go in after the template, so they win over template files of the same
  // name. Every file that fails has been named; a project missing one of them is not complete.
  if (CopyIntoProjectIfExists(mdkFolder) != 0) {
    PrintLine(kMdkCopyFailed);
    return false;
  }
  return true;
}

bool PlaceBspFiles(const std::string& bspPath) {
  const BspSources bsp = LocateBspSources(bspPath);
  const std::string projectLinkerFolder = g_projectPath + "/" + kLinkerFolderName;
  if (CopyDirectoryTree(bsp.linkerFolder.c_str(), projectLinkerFolder.c_str()) < 0) {
    PrintLine(kLinkerCopyFailed);
    return false;
  }
  PrintLine("The linker file was updated successfully.");

  const std::string destination = g_projectPath + "/" + bsp.startupName;
  if (CopyFile(bsp.startupFile.c_str(), destination.c_str()) < 0) {
    PrintLine(kStartupCopyFailed);
    return false;
  }
  PrintLine("The startup file was updated successfully.");
  return true;
}

bool PathMatchesSeries(const std::string& path) {
  std::string slashed = path;
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }
  std::vector<std::string> components;
  SplitString(slashed, "/", components);
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
