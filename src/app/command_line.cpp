// The command line: five option-value pairs, plus -h/--help and --version on their own.
#include "app/command_line.h"

#include <cstring>

#include "app/version.h"

namespace {

constexpr char kMdkPathOption[] = "-MDKPATH";
constexpr char kTargetNameOption[] = "-TARGETNAME";
constexpr char kTemplatesPathOption[] = "-TEMPLATESPATH";
constexpr char kBspPathOption[] = "-BSPPATH";
constexpr char kMdkTargetOption[] = "-MDKTARGET";

// The field an option name sets, or null for a name that is not one of the five.
std::string* OptionField(const char* name, CommandLine* options) {
  if (strcmp(name, kMdkPathOption) == 0) return &options->mdkPath;
  if (strcmp(name, kTargetNameOption) == 0) return &options->targetName;
  if (strcmp(name, kTemplatesPathOption) == 0) return &options->templatesPath;
  if (strcmp(name, kBspPathOption) == 0) return &options->bspPath;
  if (strcmp(name, kMdkTargetOption) == 0) return &options->mdkTarget;
  return nullptr;
}

}  // namespace

CommandLineResult ParseCommandLine(int argc, const char* const* argv, CommandLine* options) {
  if (argc == 2) {
    if (strcmp(argv[1], "-h") == 0 || strcmp(argv[1], "--help") == 0) {
      return CommandLineResult::kHelp;
    }
    if (strcmp(argv[1], "--version") == 0) return CommandLineResult::kVersion;
  }
  if (argc < 3) return CommandLineResult::kError;

  // Pairs from the first argument on; a single argument left at the end is ignored.
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string* field = OptionField(argv[i], options);
    if (field == nullptr) return CommandLineResult::kError;
    *field = argv[i + 1];
  }
  return CommandLineResult::kRun;
}

std::string UsageText() {
  const std::string data = kInstalledDataDir;
  return "Usage: qm26-ide-gen -MDKPATH <file.uvprojx> [-MDKTARGET <target>]\n"
         "                    [-TARGETNAME <name>] [-TEMPLATESPATH <folder>] [-BSPPATH <folder>]\n"
         "       qm26-ide-gen -h | --help | --version\n"
         "\n"
         "Turns one target of a Keil MDK project for a QM26 chip into a QM26 IDE project\n"
         "in the folder qm26_ide_proj beside the MDK project's folder. An existing qm26_ide_proj\n"
         "is emptied first: keep nothing of your own in it. Nothing is touched until the run\n"
         "has checked that it can fill the folder again, and a run that cannot empty it whole\n"
         "stops. One run at a time: a run started while another one generates the same\n"
         "qm26_ide_proj does not wait; it is refused and ends with 255.\n"
         "\n"
         "The Debug configuration compiles as the MDK target did (optimization, char\n"
         "signedness, C dialect, C library, float ABI, HEX file, image name); the Release\n"
         "configuration keeps the template's optimization. Lines \"Not carried over: ...\"\n"
         "name the MDK settings the project does not take over.\n"
         "\n"
         "Paths of the target that differ from the disk only in letter case are taken\n"
         "as the disk spells them (\"Case corrected: ...\"). What has an exact GCC\n"
         "equivalent (ARM Compiler keywords and intrinsics, printf through the target's\n"
         "fputc, includes in another letter case) is ported in the project's gcc_port\n"
         "folder (\"Ported for GCC: ...\"); the sources stay as they are. Lines \"Check\n"
         "before building: ...\" name what else GCC will reject, or build otherwise than\n"
         "the ARM Compiler did.\n"
         "\n"
         "Options (each followed by its value; names are case-sensitive):\n"
         "  -MDKPATH <file>         the MDK project file (.uvprojx). Required.\n"
         "  -MDKTARGET <target>     the MDK target to convert, by its name.\n"
         "                          Default: the MDK file's first target.\n"
         "  -TARGETNAME <name>      name of the generated project.\n"
         "                          Default: the name of the converted MDK target.\n"
         "  -TEMPLATESPATH <folder> folder holding <chip model>/QM26_IDE templates.\n"
         "                          Default: QM26IDE_Templates in the current directory.\n"
         "  -BSPPATH <folder>       BSP root, or the chip's series folder inside it; its GCC\n"
         "                          linker scripts and startup file are copied into the project.\n"
         "                          Default: none are copied.\n"
         "\n"
         "Exit status: 0 when the project was generated (and for --help and --version),\n"
         "255 on any error.\n"
         "\n"
         "Example, from any folder, with the templates and the BSP installed in\n" +
         data + ":\n" +
         "  qm26-ide-gen -MDKPATH ~/blinky/mdk/blinky.uvprojx \\\n"
         "      -TEMPLATESPATH " + data + "/QM26IDE_Templates \\\n"
         "      -BSPPATH " + data + "/bsp\n"
         "\n"
         "The template and BSP layouts are described in qm26-ide-gen(1).\n";
}
