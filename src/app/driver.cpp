// The run: banner, options, and every generation step in order.
#include "app/driver.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/console.h"
#include "app/project_placement.h"
#include "app/target_lines.h"
#include "app/version.h"
#include "chip/chip_catalogue.h"
#include "chip/linker_script.h"
#include "chip/settings_file.h"
#include "fs/xml_file.h"
#include "fs/xml_text.h"
#include "ide/build_check_plan.h"
#include "ide/build_selection.h"
#include "ide/build_settings.h"
#include "ide/case_correction.h"
#include "ide/cproject_writer.h"
#include "ide/not_carried_over.h"
#include "ide/port_writer.h"
#include "ide/project_writer.h"
#include "mdk/mdk_reader.h"
#include "mdk/mdk_text.h"
#include "mdk/project_info.h"
#include "mdk/startup_file.h"

namespace {

constexpr int kFailure = -1;
constexpr char kRule[] = "------------------------------------------------------------";
constexpr char kTitle[] = "QM26 IDE project Generate Programmer ";
constexpr char kProgramName[] = "qm26-ide-gen ";
constexpr char kCopyright[] =
    "Copyright (c) 2026 the qm26-ide-gen authors. Released under the MIT License.";
constexpr char kParameterError[] = "Parameter configuration error!";
constexpr char kMdkInProjectFolder[] =
    "The MDK project lies in the folder the project would be generated into: ";
constexpr char kNotUtf8[] = "Not valid UTF-8: ";
constexpr char kReadSucceeded[] = "Success to read MDK project file: ";
constexpr char kNoSupportedModel[] = "No supported MCU model found!";
constexpr char kWriteFailed[] = "Failed to write file: ";
constexpr char kNoLinkFile[] = "No link file found!";
constexpr char kScriptNotDeleted[] = "delete file error: ";
constexpr char kNoLinkerScript[] = "No linker script for ";
constexpr char kNotXml[] = "Not valid in XML: ";
constexpr char kTooLarge[] = "Too large to convert: ";
constexpr char kDeviceNamed[] = "The MDK target's device: ";
constexpr char kNoDevice[] = "The MDK target names no device.";
constexpr char kBadProjectName[] = "Not a name Eclipse can give a project: ";
constexpr char kMdkInRoot[] = "An MDK project in the root folder cannot be converted: ";
constexpr char kOutOfMemory[] = "Not enough memory to convert ";

// Prints a text of the tool's own, line by line.
void PrintText(const std::string& text) {
  for (size_t from = 0; from < text.size();) {
    size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    PrintLine(text.substr(from, end - from));
    from = end + 1;
  }
}

void PrintBanner() {
  PrintLine(kRule);
  PrintLine(std::string(kTitle) + kBannerVersion);
  PrintLine(kRule);
  PrintLine("");
}

// True when every text that goes into the project files is UTF-8 and a text XML can carry, as
// those files declare; else names the option or the MDK element that is not and returns false.
bool TextsFitTheProjectFiles(const CommandLine& options, const ProjectInfo& project) {
  if (!IsValidUtf8(options.targetName)) {
    PrintLine(std::string(kNotUtf8) + "-TARGETNAME");
    return false;
  }
  std::string element = FirstNonUtf8Element(project);
  if (element.empty()) element = FirstCarriedSettingRefusedBy(project, IsValidUtf8);
  if (!element.empty()) {
    PrintLine(kNotUtf8 + element + " in " + options.mdkPath);
    return false;
  }
  if (!IsXmlText(options.targetName)) {
    PrintLine(std::string(kNotXml) + "-TARGETNAME");
    return false;
  }
  element = FirstNonXmlElement(project);
  if (element.empty()) element = FirstCarriedSettingRefusedBy(project, IsXmlText);
  if (!element.empty()) {
    PrintLine(kNotXml + element + " in " + options.mdkPath);
    return false;
  }
  return true;
}

// The line that names an unsupported device, and for a supported model what is wrong with its
// flash-size code.
std::string DeviceLine(const ProjectInfo& project) {
  if (project.deviceName.empty()) return kNoDevice;
  std::string line = kDeviceNamed + project.deviceName;
  if (project.chipModel.empty()) return line;
  if (project.flashSizeCode == '\0') {
    return line + " (model " + project.chipModel + ", but no flash-size code follows it)";
  }
  return line + " (model " + project.chipModel + ", but the flash-size code " +
         project.flashSizeCode + " is not a supported one)";
}

// True when Eclipse can name a project `name`: not empty or blanks only, not "." or "..", no "/".
bool IsProjectName(const std::string& name) {
  return name.find_first_not_of(" \t") != std::string::npos && name != "." && name != ".." &&
         name.find('/') == std::string::npos;
}

// True when `folder` is the root of the file system, whose whole content a run would copy.
bool IsRootFolder(const std::string& folder) {
  if (folder.empty()) return true;  // the folder of "/demo.uvprojx"
  char* real = realpath(folder.c_str(), nullptr);
  const bool root = real != nullptr && std::string(real) == "/";
  std::free(real);
  return root;
}

// True when the model is of a size the run can carry; else names the list that is too long.
bool ModelFitsTheRun(const CommandLine& options, const ProjectInfo& project) {
  const std::string element = FirstOversizedList(project);
  if (element.empty()) return true;
  PrintLine(kTooLarge + element + " in " + options.mdkPath + " holds more than " +
            std::to_string(kMaxListEntries) + " entries");
  return false;
}

// One line for a size of the startup file: "Modify the stack size configuration: 0x800
// (Stack_Size of <file>)" when the linker script now holds it, else a line that says why the
// script keeps its own.
void PrintStartupSize(const std::string& what, const char* symbol, const char* scriptSymbol,
                      const StartupSize& size, bool written, const std::string& file,
                      const std::string& script) {
  if (!size.read) {
    const Result& why = size.read;
    PrintLine(NotCarriedOverLine(what, why.path().empty() ? why.reason() : why.Describe()));
    return;
  }
  std::ostringstream value;
  value << "0x" << std::uppercase << std::hex << size.bytes << " (" << symbol << " of " << file
        << ")";
  if (written) {
    PrintLine("Modify the " + what + " configuration: " + value.str());
  } else {
    PrintLine(NotCarriedOverLine(what, value.str() + ": no " + scriptSymbol + " in " + script));
  }
}

// Writes the chip's settings and reduces the linker scripts to the chip's own, with the memory
// the target linked with. False after the message of a file that could not be rewritten; a
// template without linker scripts still gives a usable project, a script left half-written does
// not.
bool WriteDeviceFiles(const RunPaths& paths, const ProjectInfo& project,
                      const StartupSizes& sizes) {
  const Result settings = UpdateSettingsFile(paths.projectFolder, project);
  if (!settings) {
    PrintErrorLine(settings.Describe());
    PrintLine(kWriteFailed + settings.path());
    return false;
  }
  const LinkerScriptUpdate scripts = UpdateLinkerScript(paths.projectLinkerFolder, project, sizes);
  if (!scripts.folder) {
    PrintLine(kNoLinkFile);
    return false;
  }
  for (const Result& notDeleted : scripts.notDeleted) {
    PrintLine(kScriptNotDeleted + notDeleted.path());
  }
  if (!scripts.script) {
    PrintLine(kNoLinkerScript + project.deviceName + ": " + scripts.script.path());
    return false;
  }
  if (!scripts.written) {
    PrintErrorLine(scripts.written.Describe());
    PrintLine(kWriteFailed + scripts.written.path());
    return false;
  }
  const std::string script = std::string(kLinkerScriptFolder) + "/" + scripts.scriptName;
  PrintStartupSize("stack size", kStackSizeSymbol, kMinStackSymbol, sizes.stack,
                   scripts.stackWritten, sizes.file, script);
  PrintStartupSize("heap size", kHeapSizeSymbol, kMinHeapSymbol, sizes.heap, scripts.heapWritten,
                   sizes.file, script);
  return true;
}

// The steps after the options are read, on the model the driver created.
int Generate(const CommandLine& options, ProjectInfo& project) {
  BeginStep("reading the MDK project file");
  const Result read = ReadMdkProject(options.mdkPath, &project, options.mdkTarget);
  if (!read) {
    PrintLine(read.reason() == kNoSuchTarget
                  ? NoSuchTargetLine(options.mdkTarget, options.mdkPath, project.mdkTargetNames)
                  : kUnableToLoadFile + options.mdkPath);
    return kFailure;
  }
  PrintLine(kReadSucceeded + options.mdkPath);
  if (options.mdkTarget.empty() && project.mdkTargetNames.size() > 1) {
    PrintLine(OtherTargetsLine(project.mdkTargetNames));
  }
  const std::string duplicates = DuplicateTargetsLine(project.mdkTargetNames);
  if (!duplicates.empty()) PrintLine(duplicates);
  // The override only renames: it never chooses which target of the MDK file is read.
  if (!options.targetName.empty()) project.targetName = options.targetName;
  if (!IsChipSupported(project)) {
    PrintLine(kNoSupportedModel);
    PrintLine(DeviceLine(project));
    return kFailure;
  }
  if (!TextsFitTheProjectFiles(options, project)) return kFailure;
  if (!ModelFitsTheRun(options, project)) return kFailure;
  if (!IsProjectName(project.targetName)) {
    PrintLine(kBadProjectName + project.targetName);
    return kFailure;
  }

  const RunPaths paths = DeriveRunPaths(options.mdkPath, options.templatesPath, options.bspPath,
                                        project.chipModel);
  // Copying the MDK folder's contents would copy the whole file system.
  if (IsRootFolder(paths.mdkFolder)) {
    PrintLine(kMdkInRoot + options.mdkPath);
    return kFailure;
  }
  // Emptying the project folder must never delete the MDK project being converted.
  if (MdkFolderIsProjectFolder(paths)) {
    PrintLine(kMdkInProjectFolder + options.mdkPath);
    return kFailure;
  }
  // MDK on Windows found the target's paths in any letter case; GCC finds them only as on disk.
  const std::vector<CaseCorrection> corrections = CorrectLetterCase(project, paths.mdkFolder);
  // The stack and heap MDK linked with, read before anything in the project folder changes.
  const StartupSizes sizes = ReadStartupSizes(project, paths.mdkFolder);
  // A GNU-syntax assembler file is built like a C file, wherever it lies.
  TakeGnuAssemblerFiles(project, paths.mdkFolder, !paths.startupName.empty());
  ProjectLock lock;
  SetInterruptedFolder(paths.projectFolder);
  BeginStep("checking the template, the MDK folder and the BSP");
  if (!PrepareProjectFolder(paths, project, &lock)) return kFailure;
  BeginStep("copying the template and the MDK folder");
  PlacedFiles placed;
  if (!PlaceTemplate(paths, &placed)) return kFailure;
  BeginStep("copying the BSP's linker scripts and startup file");
  if (!options.bspPath.empty() && !PlaceBspFiles(paths, &placed)) return kFailure;
  BeginStep("checking the sources before the first build");
  // The IDE compiles whatever lies in the project folder: link the target's files under names no
  // entry of the folder has, leave out what the MDK target does not build, and give it the include
  // folders MDK adds by itself.
  // The project folder holds all it will hold until the linker scripts are reduced at the end,
  // what the copies put there: the same list for the links, the choice of what is built and the
  // check.
  std::vector<std::string> projectFiles = placed.projectFiles;
  std::sort(projectFiles.begin(), projectFiles.end());
  projectFiles.erase(std::unique(projectFiles.begin(), projectFiles.end()), projectFiles.end());
  const std::vector<PlannedLink> links = PlanLinks(project, projectFiles);
  const BuildSelection selection =
      SelectBuildInputs(project, links, paths.mdkFolder, paths.projectFolder, placed.mdkCopies,
                        paths.startupName);

  // What GCC would reject that has an exact equivalent is ported in a folder of the project's
  // own; the check's lines come after the settings, as the user's to-do list.
  const std::string portFolder = ChoosePortFolder(paths.projectFolder, links);
  const BuildCheckRun check = RunBuildCheck(project, links, selection, paths.projectFolder,
                                            projectFiles, paths.mdkFolder, paths.startupName,
                                            portFolder);
  const PortPlan& port = check.report.port;
  if (!WritePortFiles(port, paths.projectFolder, check.checkedProjectFolder, portFolder)) {
    return kFailure;
  }
  BeginStep("writing the project files");

  if (!GenerateProjectFile(project, paths.projectFolder, links)) return kFailure;
  const BuildSelection built = PortedSelection(selection, port, portFolder);
  if (!GenerateCProjectFile(project, paths.projectFolder, built)) return kFailure;
  PrintNotCarriedOver(project);
  PrintBuildCheck(corrections, check);
  BeginStep("writing the chip's settings and linker script");
  if (!WriteDeviceFiles(paths, project, sizes)) return kFailure;
  BeginStep("finishing");
  return 0;
}

}  // namespace

int RunGenerator(int argc, char** argv) {
  CatchInterruptions();
  PrintBanner();

  CommandLine options;
  switch (ParseCommandLine(argc, argv, &options)) {
    case CommandLineResult::kHelp:
      PrintText(UsageText());
      return 0;
    case CommandLineResult::kVersion:
      PrintLine(std::string(kProgramName) + kProgramVersion);
      PrintLine(kCopyright);
      return 0;
    case CommandLineResult::kError:
      PrintLine(kParameterError);
      return kFailure;
    case CommandLineResult::kRun:
      break;
  }

  std::unique_ptr<ProjectInfo> model = std::make_unique<ProjectInfo>();
  g_project = model.get();
  int status = kFailure;
  try {
    status = Generate(options, *g_project);
  } catch (const std::bad_alloc&) {
    // The inputs are bounded before the project folder is touched; this is the last guard.
    PrintLine(kOutOfMemory + options.mdkPath);
  }
  g_project = nullptr;
  if (status != 0) return status;

  PrintLine("");
  PrintLine("Successfully!!! ");
  PrintLine("The QM26 IDE project is generated!");
  PrintLine("Project path: " + g_projectPath);
  return 0;
}
