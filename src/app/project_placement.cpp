// Placing the generated project folder and filling it from the template, the MDK folder and the BSP.
#include "app/project_placement.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <tinyxml.h>

#include "app/console.h"
#include "chip/chip_catalogue.h"
#include "chip/linker_script.h"
#include "chip/settings_file.h"
#include "fs/directory_list.h"
#include "fs/file_copy.h"
#include "fs/tree_copy.h"
#include "fs/tree_delete.h"
#include "fs/xml_file.h"
#include "ide/cproject_writer.h"
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
constexpr char kDeleteFailed[] = "Failed to delete: ";
constexpr char kNotEmptied[] = "The project folder could not be emptied: ";
constexpr char kAnotherRun[] = "Another run is generating this project: ";
constexpr char kNotLocked[] = "Going on without the lock against a second run: ";
constexpr char kTemplatesNotFolder[] = "Templates path is not a folder: ";
constexpr char kMissingTemplateFile[] = "Missing template file: ";
constexpr char kTemplateFileNotFile[] = "Template file is not a regular file: ";
constexpr char kNotRegularFile[] = "Not a regular file: ";
constexpr char kBspLinkerMissing[] = "BSP linker folder does not exist: ";
constexpr char kBspLinkerNotFolder[] = "BSP linker path is not a folder: ";
constexpr char kStartupMissing[] = "Startup file does not exist: ";
constexpr char kStartupNotFile[] = "Startup file is not a regular file: ";
constexpr char kNoLinkerScript[] = "No linker script for ";
constexpr char kNoLinkFile[] = "No link file found!";
// The files of the template that the run rewrites.
constexpr const char* kProjectFiles[] = {".project", ".cproject", kSettingsFileName};

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

// What stands at a path, following links.
enum class Kind { kMissing, kFile, kFolder, kOther };

Kind KindAt(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return Kind::kMissing;
  if (S_ISREG(status.st_mode)) return Kind::kFile;
  if (S_ISDIR(status.st_mode)) return Kind::kFolder;
  return Kind::kOther;
}

// The lines that say why a run cannot fill the project folder: what is wrong, then, where a step
// of the run would have failed on it, that step's own line.
struct Refusal {
  std::vector<std::string> lines;
  explicit operator bool() const { return !lines.empty(); }
};

Refusal Refuse(std::string line, const char* stepLine = nullptr) {
  Refusal refusal;
  refusal.lines.push_back(std::move(line));
  if (stepLine != nullptr) refusal.lines.push_back(stepLine);
  return refusal;
}

// The file of `name` the writers will find in the project folder: the MDK folder's copy, which
// the run copies over the template's, or the template's.
std::string PlacedFile(const RunPaths& paths, const char* name) {
  const std::string fromMdk = paths.mdkFolder + "/" + name;
  return KindAt(fromMdk) != Kind::kMissing ? fromMdk : paths.templateFolder + "/" + name;
}

// Why the template, or a file of the same name in the MDK folder, cannot give the project one of
// the files the writers rewrite.
Refusal CheckProjectFileKinds(const RunPaths& paths) {
  for (const char* name : kProjectFiles) {
    const std::string fromTemplate = paths.templateFolder + "/" + name;
    const Kind kind = KindAt(fromTemplate);
    if (kind == Kind::kMissing) return Refuse(kMissingTemplateFile + fromTemplate, kTemplateCopyFailed);
    if (kind != Kind::kFile) return Refuse(kTemplateFileNotFile + fromTemplate, kTemplateCopyFailed);
    const std::string fromMdk = paths.mdkFolder + "/" + name;
    const Kind mdkKind = KindAt(fromMdk);
    if (mdkKind != Kind::kMissing && mdkKind != Kind::kFile) {
      return Refuse(kNotRegularFile + fromMdk, kMdkCopyFailed);
    }
  }
  return {};
}

// Why the files the writers rewrite lack what they set.
Refusal CheckProjectFileContents(const RunPaths& paths, const ProjectInfo& project) {
  const std::string projectFile = PlacedFile(paths, ".project");
  TiXmlDocument document;
  if (!LoadXmlFile(projectFile, document) || document.FirstChildElement() == nullptr) {
    return Refuse(kUnableToLoadFile + projectFile);
  }
  const std::string cproject = PlacedFile(paths, ".cproject");
  TiXmlElement* root = LoadXmlFile(cproject, document) ? document.FirstChildElement() : nullptr;
  if (root == nullptr) return Refuse(kUnableToLoadFile + cproject);
  const std::string missing = MissingCProjectSettings(root, project);
  if (!missing.empty()) return Refuse(kIncompleteProjectFile + cproject + ": " + missing);
  const Result settings = CheckSettingsFile(PlacedFile(paths, kSettingsFileName));
  if (!settings) return Refuse(kIncompleteProjectFile + settings.Describe());
  return {};
}

// Why the chip's linker script will not be in "ldscripts": from the BSP's linker folder, or
// without a BSP from the template's or the MDK folder's "ldscripts".
Refusal CheckLinkerScript(const RunPaths& paths, const ProjectInfo& project) {
  const std::string name = LinkerScriptName(project.chipModel, project.flashSizeCode);
  if (!paths.bspLinkerFolder.empty()) {
    const Kind folder = KindAt(paths.bspLinkerFolder);
    if (folder == Kind::kMissing) {
      return Refuse(kBspLinkerMissing + paths.bspLinkerFolder, kLinkerCopyFailed);
    }
    if (folder != Kind::kFolder) {
      return Refuse(kBspLinkerNotFolder + paths.bspLinkerFolder, kLinkerCopyFailed);
    }
    const std::string script = paths.bspLinkerFolder + "/" + name;
    if (KindAt(script) != Kind::kFile) {
      return Refuse(kNoLinkerScript + project.deviceName + ": " + script);
    }
    return {};
  }
  const std::string fromTemplate = paths.templateFolder + "/" + kLinkerScriptFolder;
  const std::string fromMdk = paths.mdkFolder + "/" + kLinkerScriptFolder;
  if (KindAt(fromTemplate) != Kind::kFolder && KindAt(fromMdk) != Kind::kFolder) {
    return Refuse(kNoLinkFile);
  }
  if (KindAt(fromTemplate + "/" + name) != Kind::kFile &&
      KindAt(fromMdk + "/" + name) != Kind::kFile) {
    return Refuse(kNoLinkerScript + project.deviceName + ": " + fromTemplate + "/" + name);
  }
  return {};
}

// Why the run could not fill the project folder, found before anything is touched, in the order
// the run would meet it.
Refusal CheckSources(const RunPaths& paths, const ProjectInfo& project) {
  const Kind templates = KindAt(paths.templateFolder);
  if (templates == Kind::kMissing) return Refuse(kTemplatesMissing);
  if (templates != Kind::kFolder) {
    return Refuse(kTemplatesNotFolder + paths.templateFolder, kTemplateCopyFailed);
  }
  if (Refusal refusal = CheckProjectFileKinds(paths)) return refusal;
  if (!paths.bspStartupFile.empty()) {
    if (Refusal refusal = CheckLinkerScript(paths, project)) return refusal;
    const Kind startup = KindAt(paths.bspStartupFile);
    if (startup == Kind::kMissing) {
      return Refuse(kStartupMissing + paths.bspStartupFile, kStartupCopyFailed);
    }
    if (startup != Kind::kFile) {
      return Refuse(kStartupNotFile + paths.bspStartupFile, kStartupCopyFailed);
    }
  }
  if (Refusal refusal = CheckProjectFileContents(paths, project)) return refusal;
  if (paths.bspStartupFile.empty()) return CheckLinkerScript(paths, project);
  return {};
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

ProjectLock::~ProjectLock() {
  if (fd_ >= 0) close(fd_);
}

Result ProjectLock::Take(const std::string& projectFolder) {
  // O_NOFOLLOW: a link put in the folder's place is never locked, nor later emptied.
  const int fd = open(projectFolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return Result::FromErrno(projectFolder, errno);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    return Result::FromErrno(projectFolder, error);
  }
  fd_ = fd;
  return Result::Success();
}

bool PrepareProjectFolder(const RunPaths& paths, const ProjectInfo& project, ProjectLock* lock) {
  g_projectPath = paths.projectFolder;
  PrintLine("qm26ide_project_path:" + g_projectPath);

  // The lock is taken on the project folder itself, which every run that can fill it can open;
  // a folder this run made for it is taken away again when the run refuses to fill it.
  struct stat status;
  bool exists = lstat(g_projectPath.c_str(), &status) == 0;
  int error = 0;
  if (!exists && mkdir(g_projectPath.c_str(), 0755) != 0) {
    error = errno;
    // Another run made it meanwhile: its lock decides below.
    if (error == EEXIST) exists = lstat(g_projectPath.c_str(), &status) == 0;
    if (exists) error = 0;
  }
  // Emptying a link would empty the folder it points to, which may hold anything.
  if (exists && S_ISLNK(status.st_mode)) {
    PrintLine(kProjectFolderIsLink + g_projectPath);
    return false;
  }
  if (exists && !S_ISDIR(status.st_mode)) error = EEXIST;  // a file has its name
  if (error != 0) {
    PrintLine(kCreateFailed + g_projectPath + ": " + std::strerror(error));
    return false;
  }
  // Two runs filling one folder would each end with a broken project. The folder stays for the
  // run that holds it, even when this one made it.
  const Result locked = lock->Take(g_projectPath);
  if (!locked && locked.systemError() == EWOULDBLOCK) {
    PrintLine(kAnotherRun + g_projectPath);
    return false;
  }
  // A file system that cannot lock must not make the tool unusable there.
  if (!locked) PrintLine(kNotLocked + locked.Describe());

  // A run that cannot fill the folder must not empty it first.
  if (const Refusal refusal = CheckSources(paths, project)) {
    AnnounceTemplateFolder(paths);
    for (const std::string& line : refusal.lines) PrintLine(line);
    if (!exists) rmdir(g_projectPath.c_str());
    return false;
  }
  if (!exists) return true;

  // A file left behind would be built with the new ones.
  BeginStep("emptying the project folder");
  const Result emptied = DeleteDirectoryContents(g_projectPath, [](const Result& why, bool) {
    PrintLine(kDeleteFailed + why.Describe());
  });
  if (!emptied) {
    PrintLine(kNotEmptied + g_projectPath);
    return false;
  }
  return true;
}

// The printing sink that also notes each file copied from the folder `from` into the project
// folder's `into` ("" for its top), relative to the project folder, and, when `also` is given,
// relative to `from` there.
CopySink NotingCopySink(const std::string& from, const std::string& into,
                        std::vector<std::string>* files, std::vector<std::string>* also) {
  CopySink sink = PrintingCopySink();
  const size_t skip = from.size() + (from.empty() || from.back() != '/' ? 1 : 0);
  sink.copied = [skip, into, files, also](const std::string& source) {
    PrintLine(kCopied + source);
    const std::string relative = source.substr(skip);
    files->push_back(into.empty() ? relative : into + "/" + relative);
    if (also != nullptr) also->push_back(relative);
  };
  return sink;
}

bool PlaceTemplate(const RunPaths& paths, PlacedFiles* placed) {
  AnnounceTemplateFolder(paths);
  if (!PathExists(paths.templateFolder)) {
    PrintLine(kTemplatesMissing);
    return false;
  }
  if (!CopyDirectoryTree(paths.templateFolder, paths.projectFolder,
                         NotingCopySink(paths.templateFolder, "", &placed->projectFiles, nullptr))) {
    PrintLine(kTemplateCopyFailed);
    return false;
  }
  // The MDK folder's files go in after the template, so they win over template files of the same
  // name. Every file that fails has been named; a project missing one of them is not complete.
  const CopySink sink =
      NotingCopySink(paths.mdkFolder, "", &placed->projectFiles, &placed->mdkCopies);
  if (!CopyIntoProjectIfExists(paths.mdkFolder, paths.projectFolder, sink)) {
    PrintLine(kMdkCopyFailed);
    return false;
  }
  return true;
}

bool PlaceBspFiles(const RunPaths& paths, PlacedFiles* placed) {
  const CopySink sink = NotingCopySink(paths.bspLinkerFolder, kLinkerScriptFolder,
                                       &placed->projectFiles, nullptr);
  if (!CopyDirectoryTree(paths.bspLinkerFolder, paths.projectLinkerFolder, sink)) {
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
  placed->projectFiles.push_back(paths.startupName);
  return true;
}

bool PathMatchesSeries(const std::string& path, const std::string& chipModel) {
  std::vector<std::string> components;
  SplitString(ToForwardSlashes(path), "/", components);
  // A path of separators only has no last component: it names no series folder.
  const std::string last = components.empty() ? "" : components.back();
  return last.find(GetSeriesName(chipModel)) != std::string::npos;
}
