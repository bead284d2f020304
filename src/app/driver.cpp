// The run: banner, options, and every generation step in order.
#include "app/driver.h"

#include <iostream>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/console.h"
#include "app/project_placement.h"
#include "chip/chip_catalogue.h"
#include "chip/linker_script.h"
#include "chip/settings_file.h"
#include "fs/project_path.h"
#include "ide/build_selection.h"
#include "ide/cproject_writer.h"
#include "ide/project_writer.h"
#include "mdk/mdk_reader.h"
#include "mdk/project_info.h"

namespace {

constexpr int kFailure = -1;
constexpr char kRule[] = "------------------------------------------------------------";
constexpr char kTitle[] = "QM26 IDE project Generate Programmer V1.0.04";
constexpr char kParameterError[] = "Parameter configuration error!";
constexpr char kMdkInProjectFolder[] =
    "The MDK project lies in the folder the project would be generated into: ";

void PrintBanner() {
  PrintLine(kRule);
  PrintLine(kTitle);
  PrintLine(kRule);
  PrintLine("");
}

// The steps after the options are read, on the model that g_project points to.
int Generate(const CommandLine& options) {
  if (!ReadMdkProject(options.mdkPath, g_project)) return kFailure;
  // The override only renames: it never chooses which target of the MDK file is read.
  if (!options.targetName.empty()) g_project->targetName = options.targetName;
  if (!IsChipSupported()) return kFailure;

  // Emptying the project folder must never delete the MDK project being converted.
  if (MdkFolderIsProjectFolder(MdkFolderOf(options.mdkPath))) {
    PrintLine(kMdkInProjectFolder + options.mdkPath);
    return kFailure;
  }
  const std::string mdkFolder = PrepareProjectFolder(options.mdkPath);
  if (!PlaceTemplate(options.templatesPath, mdkFolder)) return kFailure;
  if (!options.bspPath.empty() && !PlaceBspFiles(options.bspPath)) return kFailure;
  // The IDE compiles whatever lies in the project folder: leave out what the MDK target does not
  // build, and give it the include folders MDK adds by itself.
  SelectBuildInputs(mdkFolder, options.bspPath.empty() ? "" : GetStartupFileName());

  if (!GenerateProjectFile()) return kFailure;
  if (!GenerateCProjectFile()) return kFailure;
  // Neither result stops the run: a template without these files still gives a usable project.
  UpdateSettingsFile();
  UpdateLinkerScript(g_projectPath + "/ldscripts");
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
