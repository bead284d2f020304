// Placing the generated project folder and filling it from the template, the MDK folder and the BSP.
#include "app/project_placement.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/console.h"
#include "chip/chip_catalogue.h"
#include "chip/linker_script.h"
#include "fs/directory_list.h"
#include "fs/file_copy.h"
#include "fs/tree_copy.h"
#include "fs/tree_delete.h"
#include "mdk/mdk_path.h"
#include "mdk/mdk_text.h"

std::string g_projectPath;

namespace {

constexpr char kProjectFolderName[] = "qm26_ide_proj";
constexpr char kTemplatesFolderName[] = "QM26IDE_Templates";
constexpr char kTemplateName[] = "QM26_IDE";
constexpr char kTemplatesMissing[] = "Templates path does not exist.";
constexpr char kTemplateCopyFailed[] = "Failed to copy the tamplate file.";
constexpr char kMdkCopyFailed[] = "Failed to copy the MDK project folder.";
constexpr char kLinkerCopyFailed[] = "Failed to copy the ld file.";
constexpr char kStartupCopyFailed[] = "Failed to copy the .s file.";
constexpr char kProjectFolderIsLink[] = "The project folder is a symbolic link: ";
constexpr char kCreateFailed[] = "Failed to create folder: ";
constexpr char kCopied[] = "Successfully to copy file: ";
constexpr char kNotCopied[] = "Failed to copy file: ";
constexpr char kDeleteFileError[] = "delete file error";
constexpr char kDeleteDirError[] = "delete empty dir error";

// The current working directory, of any length; "" when it cannot be read.
std::string CurrentDirectory() {
  std::string buffer(256, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return "";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.c_str();
}

// The lines a run prints before it copies the template.
void AnnounceTemplateFolder(const RunPaths& paths) {
  if (paths.templatesFromWorkingDirectory) {
    PrintLine("Program current run directory: " + paths.workingDirectory);
  }
  PrintLine("Templates path: " + paths.templateFolder);
}

// One line per copied file; per entry that failed, the system's reason on standard error, then
// the entry's line.
const CopySink& PrintingCopySink() {
  static const CopySink kSink = {
      [](const std::string& source) { PrintLine(kCopied + source); },
      [](const std::string& source, const Result& why) {
        PrintErrorLine(why.Describe());
        PrintLine(kNotCopied + source);
      }};
  return kSink;
}

// True when the template and, with a BSP path, the linker folder and the startup file are there
// to be copied. Otherwise prints the template lines and the message of the step that would fail,
// as the run would have printed them, and returns false.
bool SourcesExist(const RunPaths& paths) {
  const char* failure = nullptr;
  if (!PathExists(paths.templateFolder)) {
    failure = kTemplatesMissing;
  } else if (!paths.bspLinkerFolder.empty() && !PathExists(paths.bspLinkerFolder)) {
    failure = kLinkerCopyFailed;
  } else if (!paths.bspStartupFile.empty() && !PathExists(paths.bspStartupFile)) {
    failure = kStartupCopyFailed;
  }
  if (failure == nullptr) return true;
  AnnounceTemplateFolder(paths);
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

RunPaths DeriveRunPaths(const std::string& mdkPath, const std::string& templatesPath,
                        const std::string& bspPath, const std::string& chipModel) {
  RunPaths paths;
  paths.mdkFile = mdkPath;
  paths.mdkFolder = MdkFolderOf(mdkPath);
  paths.projectFolder = paths.mdkFolder + "/../" + kProjectFolderName;
  paths.projectLinkerFolder = paths.projectFolder + "/" + kLinkerScriptFolder;

  std::string templates = templatesPath;
  if (templatesPath.empty()) {
    paths.templatesFromWorkingDirectory = true;
    paths.workingDirectory = CurrentDirectory();
    templates = paths.workingDirectory + "/" + kTemplatesFolderName;
  }
  paths.templateFolder = templates + "/" + chipModel + "/" + kTemplateName;

  if (!bspPath.empty()) {
    std::string seriesPath = bspPath;
    if (!PathMatchesSeries(seriesPath, chipModel)) seriesPath += "/" + GetSeriesName(chipModel);
    const ChipModelEntry* chip = FindChipModel(chipModel);
    const std::string core = CoreFolderName(chip != nullptr ? chip->core : Core::kCortexM4);
    const std::string startupFolder =
        seriesPath + "/libraries/cmsis/" + core + "/device_support/startup/gcc";
    paths.startupName = GetStartupFileName(chipModel);
    paths.bspLinkerFolder = startupFolder + "/linker";
    paths.bspStartupFile = startupFolder + "/" + paths.startupName;
  }
  return paths;
}

bool MdkFolderIsProjectFolder(const RunPaths& paths) {
  struct stat mdk;
  struct stat project;
  return stat(paths.mdkFolder.c_str(), &mdk) == 0 &&
         stat(paths.projectFolder.c_str(), &project) == 0 && mdk.st_dev == project.st_dev &&
         mdk.st_ino == project.st_ino;
}

bool PrepareProjectFolder(const RunPaths& paths) {
  g_projectPath = paths.projectFolder;
  PrintLine("qm26ide_project_path:" + g_projectPath);

  // Emptying a link would empty the folder it points to, which may hold anything.
  struct stat status;
  const bool exists = lstat(g_projectPath.c_str(), &status) == 0;
  if (exists && S_ISLNK(status.st_mode)) {
    PrintLine(kProjectFolderIsLink + g_projectPath);
    return false;
  }
  // A run that cannot fill the folder must not empty it first.
  if (!SourcesExist(paths)) return false;

  if (exists && S_ISDIR(status.st_mode)) {
    // What cannot be removed is named line by line; the copies that follow overwrite what they
    // bring, and the run goes on.
    DeleteDirectoryContents(g_projectPath, [](const Result&, bool isFolder) {
      PrintLine(isFolder ? kDeleteDirError : kDeleteFileError);
    }).Ignore();
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

bool PlaceTemplate(const RunPaths& paths) {
  AnnounceTemplateFolder(paths);
  if (!PathExists(paths.templateFolder)) {
    PrintLine(kTemplatesMissing);
    return false;
  }
  if (!CopyDirectoryTree(paths.templateFolder, paths.projectFolder, PrintingCopySink())) {
    PrintLine(kTemplateCopyFailed);
    return false;
  }
  // The MDK folder's files go in after the template, so they win over template files of the same
  // name. Every file that fails has been named; a project missing one of them is not complete.
  if (!CopyIntoProjectIfExists(paths.mdkFolder, paths.projectFolder, PrintingCopySink())) {
    PrintLine(kMdkCopyFailed);
    return false;
  }
  return true;
}

bool PlaceBspFiles(const RunPaths& paths) {
  if (!CopyDirectoryTree(paths.bspLinkerFolder, paths.projectLinkerFolder, PrintingCopySink())) {
    PrintLine(kLinkerCopyFailed);
    return false;
  }
  PrintLine("The linker file was updated successfully.");

  const std::string destination = paths.projectFolder + "/" + paths.startupName;
  const Result copied = CopyFile(paths.bspStartupFile, destination);
  if (!copied) {
    PrintErrorLine(copied.Describe());
    PrintLine(kStartupCopyFailed);
    return false;
  }
  PrintLine("The startup file was updated successfully.");
  return true;
}

bool PathMatchesSeries(const std::string& path, const std::string& chipModel) {
  std::vector<std::string> components;
  SplitString(ToForwardSlashes(path), "/", components);
  // A path of separators only has no last component: it names no series folder.
  const std::string last = components.empty() ? "" : components.back();
  return last.find(GetSeriesName(chipModel)) != std::string::npos;
}
