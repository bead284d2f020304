// The run: banner, options, and every generation step in order.
#include "app/driver.h"

#include <iostream>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/console.h"
#include "app/project_placement.h"
#include "app/version.h"
#include "chip/chip_catalogue.h"
#include "chip/linker_script.h"
#include "chip/settings_file.h"
#include "fs/project_path.h"
#include "ide/cproject_writer.h"
#include "ide/project_writer.h"
#include "mdk/mdk_lists.h"
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

void PrintBanner() {
  PrintLine(kRule);
  PrintLine(std::string(kTitle) + kBannerVersion);
  PrintLine(kRule);
  PrintLine("");
}

// True when every text that goes into the project files is UTF-8, as those files declare; else
// names the option or the MDK element that is not and returns false.
bool TextsAreUtf8(const CommandLine& options) {
  if (!IsValidUtf8(options.targetName)) {
    PrintLine(std::string(kNotUtf8) + "-TARGETNAME");
    return false;
  }
  const std::string element = FirstNonUtf8Element(*g_project);
  if (element.empty()) return true;
  PrintLine(kNotUtf8 + element + " in " + options.mdkPath);
  return false;
}

// The steps after the options are read, on the model that g_project points to.
int Generate(const CommandLine& options) {
  if (!ReadMdkProject(options.mdkPath, g_project)) return kFailure;
  // The override only renames: it never chooses which target of the MDK file is read.
  if (!options.targetName.empty()) g_project->targetName = options.targetName;
  if (!IsChipSupported()) return kFailure;
  if (!TextsAreUtf8(options)) return kFailure;

  // Emptying the project folder must never delete the MDK project being converted.
  const std::string mdkFolder = MdkFolderOf(options.mdkPath);
  if (MdkFolderIsProjectFolder(mdkFolder)) {
    PrintLine(kMdkInProjectFolder + options.mdkPath);
    return kFailure;
  }
  if (!PrepareProjectFolder(options.mdkPath, options.templatesPath, options.bspPath)) {
    return kFailure;
  }
  if (!PlaceTemplate(options.templatesPath, mdkFolder)) return kFailure;
  if (!options.bspPath.empty() && !PlaceBspFiles(options.bspPath)) return kFailure;

  if (!GenerateProjectFile()) return kFailure;
  if (!GenerateCProjectFile()) return kFailure;
  if (!UpdateSettingsFile()) return kFailure;
  // A template without linker scripts still gives a usable project; a script left half-written
  // does not.
  if (UpdateLinkerScript(g_projectPath + "/ldscripts") == LinkerScriptOutcome::kWriteFailed) {
    return kFailure;
  }
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
  const int status = Generate(options);
  g_project = nullptr;
  if (status != 0) return status;

  PrintLine("");
  PrintLine("Successfully!!! ");
  PrintLine("The QM26 IDE project is generated!");
  PrintLine("Project path: " + g_projectPath);
  return 0;
}
