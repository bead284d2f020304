// The run: banner, options, and every generation step in order.
#include "app/driver.h"

#include <iostream>
#include <memory>
#include <string>

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
#include "ide/build_selection.h"
#include "ide/build_settings.h"
#include "ide/cproject_writer.h"
#include "ide/not_carried_over.h"
#include "ide/project_writer.h"
#include "mdk/mdk_reader.h"
#include "mdk/project_info.h"

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

void PrintBanner() {
  PrintLine(kRule);
  PrintLine(std::string(kTitle) + kBannerVersion);
  PrintLine(kRule);
  PrintLine("");
}

// True when every text that goes into the project files is UTF-8, as those files declare; else
// names the option or the MDK element that is not and returns false.
bool TextsAreUtf8(const CommandLine& options, const ProjectInfo& project) {
  if (!IsValidUtf8(options.targetName)) {
    PrintLine(std::string(kNotUtf8) + "-TARGETNAME");
    return false;
  }
  std::string element = FirstNonUtf8Element(project);
  if (element.empty()) element = FirstNonUtf8CarriedSetting(project);
  if (element.empty()) return true;
  PrintLine(kNotUtf8 + element + " in " + options.mdkPath);
  return false;
}

// Writes the chip's settings and reduces the linker scripts to the chip's own. False after the
// message of a file that could not be rewritten; a template without linker scripts still gives a
// usable project, a script left half-written does not.
bool WriteDeviceFiles(const RunPaths& paths, const ProjectInfo& project) {
  const Result settings = UpdateSettingsFile(paths.projectFolder, project);
  if (!settings) {
    PrintLine(kWriteFailed + settings.path());
    return false;
  }
  const LinkerScriptUpdate scripts = UpdateLinkerScript(paths.projectLinkerFolder, project);
  if (!scripts.folder) PrintLine(kNoLinkFile);
  for (const Result& notDeleted : scripts.notDeleted) {
    PrintLine(kScriptNotDeleted + notDeleted.path());
  }
  if (!scripts.script) {
    PrintLine(kWriteFailed + scripts.script.path());
    return false;
  }
  return true;
}

// The steps after the options are read, on the model the driver created.
int Generate(const CommandLine& options, ProjectInfo& project) {
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
  // The override only renames: it never chooses which target of the MDK file is read.
  if (!options.targetName.empty()) project.targetName = options.targetName;
  if (!IsChipSupported(project)) {
    PrintLine(kNoSupportedModel);
    return kFailure;
  }
  if (!TextsAreUtf8(options, project)) return kFailure;

  const RunPaths paths = DeriveRunPaths(options.mdkPath, options.templatesPath, options.bspPath,
                                        project.chipModel);
  // Emptying the project folder must never delete the MDK project being converted.
  if (MdkFolderIsProjectFolder(paths)) {
    PrintLine(kMdkInProjectFolder + options.mdkPath);
    return kFailure;
  }
  if (!PrepareProjectFolder(paths)) return kFailure;
  if (!PlaceTemplate(paths)) return kFailure;
  if (!options.bspPath.empty() && !PlaceBspFiles(paths)) return kFailure;
  // The IDE compiles whatever lies in the project folder: leave out what the MDK target does not
  // build, and give it the include folders MDK adds by itself.
  const BuildSelection selection =
      SelectBuildInputs(project, paths.mdkFolder, paths.projectFolder, paths.startupName);

  if (!GenerateProjectFile(project, paths.projectFolder)) return kFailure;
  if (!GenerateCProjectFile(project, paths.projectFolder, selection)) return kFailure;
  PrintNotCarriedOver(project);
  if (!WriteDeviceFiles(paths, project)) return kFailure;
  return 0;
}

}  // namespace

int RunGenerator(int argc, char** argv) {
  PrintBanner();

  CommandLine options;
  switch (ParseCommandLine(argc, argv, &options)) {
    case CommandLineResult::kHelp:
      std::cout << UsageText() << std::flush;
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
  const int status = Generate(options, *g_project);
  g_project = nullptr;
  if (status != 0) return status;

  PrintLine("");
  PrintLine("Successfully!!! ");
  PrintLine("The QM26 IDE project is generated!");
  PrintLine("Project path: " + g_projectPath);
  return 0;
}
