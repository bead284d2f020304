// Converted projects built with the ARM GNU toolchain as the IDE would build them: the bundled
// demo for every catalogue model, and MDK layouts whose folders hold files the target never builds.
#include <algorithm>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "e2e/cdt_build.h"
#include "support/test_support.h"

namespace {

constexpr char kDebug[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.debug";
constexpr char kRelease[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.release";
constexpr char kCortexM4[] = "-mcpu=cortex-m4 -mthumb -mfloat-abi=hard -mfpu=fpv4-sp-d16";
constexpr char kCortexM0Plus[] = "-mcpu=cortex-m0plus -mthumb -mfloat-abi=soft";
constexpr char kExcludeLine[] = "Exclude from the build: ";

using Strings = std::vector<std::string>;

std::string Templates() { return SourceDir() + "/examples/QM26IDE_Templates"; }
std::string Bsp() { return SourceDir() + "/examples/bsp"; }

RunResult Convert(const std::string& mdk, const std::string& bsp, const std::string& workDir) {
  return RunGeneratorBinary({"-MDKPATH", mdk, "-TEMPLATESPATH", Templates(), "-BSPPATH", bsp},
                            workDir);
}

// Replaces every `original` in the file at `path` with `replacement`; returns how many it replaced.
int ReplaceInFile(const std::string& path, const std::string& original,
                  const std::string& replacement) {
  std::string text = ReadFile(path);
  int count = 0;
  for (size_t at = text.find(original); at != std::string::npos;
       at = text.find(original, at + replacement.size())) {
    text.replace(at, original.size(), replacement);
    ++count;
  }
  WriteFile(path, text);
  return count;
}

// A copy of the bundled demo in `root` whose targets use `device`.
void CopyDemoFor(const std::string& root, const std::string& device) {
  CopyTree(SourceDir() + "/examples/demo", root);
  ReplaceInFile(root + "/mdk/demo.uvprojx", "<Device>QM26R620AVGT7</Device>",
                "<Device>" + device + "</Device>");
}

// The excluding list of the root source entry of one configuration; "<none>" without one.
std::string Excluding(const std::string& cproject, const char* configPattern) {
  TiXmlDocument document;
  if (!document.LoadFile(cproject.c_str())) return "<unreadable>";
  for (TiXmlElement* cconfiguration = document.RootElement()->FirstChildElement()
                                          ->FirstChildElement("cconfiguration");
       cconfiguration != nullptr; cconfiguration = cconfiguration->NextSiblingElement()) {
    if (std::string(cconfiguration->Attribute("id")).find(configPattern) != 0) continue;
    for (TiXmlElement* module = cconfiguration->FirstChildElement("storageModule");
         module != nullptr; module = module->NextSiblingElement("storageModule")) {
      TiXmlElement* configuration = module->FirstChildElement("configuration");
      TiXmlElement* entries =
          configuration != nullptr ? configuration->FirstChildElement("sourceEntries") : nullptr;
      for (TiXmlElement* entry = entries != nullptr ? entries->FirstChildElement("entry") : nullptr;
           entry != nullptr; entry = entry->NextSiblingElement("entry")) {
        const char* name = entry->Attribute("name");
        const char* excluding = entry->Attribute("excluding");
        if (name != nullptr && *name == '\0') return excluding != nullptr ? excluding : "";
      }
    }
  }
  return "<none>";
}

std::string Join(const Strings& items, const std::string& separator) {
  std::string joined;
  for (const std::string& item : items) joined += (joined.empty() ? "" : separator) + item;
  return joined;
}

struct ModelCase {
  const char* model;
  const char* device;
  const char* targetFlags;
  const char* startup;
};

// Every model whose catalogue row names a series and a startup file with ".s".
const ModelCase kModels[] = {
    {"QM26R620A", "QM26R620AVGT7", kCortexM4, "startup_qm26r620a_625.s"},
    {"QM26R610", "QM26R610VGT7", kCortexM4, "startup_qm26r610_615.s"},
    {"QM26R620", "QM26R620ZGT6", kCortexM4, "startup_qm26r610_615.s"},
    {"QM26R615", "QM26R615VGT7", kCortexM4, "startup_qm26r610_615.s"},
    {"QM26R625", "QM26R625VGT7", kCortexM4, "startup_qm26r620a_625.s"},
    {"QM26R630", "QM26R630VGT7", kCortexM4, "startup_qm26r630.s"},
    {"QM26R635", "QM26R635VGT7", kCortexM4, "startup_qm26r635.s"},
    {"QM26R640", "QM26R640VGT7", kCortexM4, "startup_qm26r640.s"},
    {"QM26R645", "QM26R645VGT7", kCortexM4, "startup_qm26r645.s"},
    {"QM26R660", "QM26R660VGT7", kCortexM4, "startup_qm26r660_665.s"},
    {"QM26R665", "QM26R665VGT7", kCortexM4, "startup_qm26r660_665.s"},
    {"QM26S110", "QM26S110VBT7", kCortexM0Plus, "startup_qm26s110.s"},
    {"QM26T620A", "QM26T620AVGT7", kCortexM4, "startup_qm26t620a.s"},
    {"QM26T645", "QM26T645VGT7", kCortexM4, "startup_qm26t645.s"},
    {"QM26R690", "QM26R690VGT7", kCortexM4, "startup_qm26r690.s"},
    {"QM26N612", "QM26N612VGT7", kCortexM4, "startup_qm26n612_616.s"},
    {"QM26N616", "QM26N616VGT7", kCortexM4, "startup_qm26n612_616.s"},
    {"QM26R671", "QM26R671VGT7", kCortexM4, "startup_qm26r67x.s"},
    {"QM26R672", "QM26R672VGT7", kCortexM4, "startup_qm26r67x.s"},
    {"QM26R673", "QM26R673VGT7", kCortexM4, "startup_qm26r67x.s"},
};

void PrintTo(const ModelCase& c, std::ostream* out) { *out << c.model; }

class DemoBuildTest : public ::testing::TestWithParam<ModelCase> {};

TEST_P(DemoBuildTest, ConvertsAndBuildsWithTheModelsCore) {
  const ModelCase& c = GetParam();
  ScopedTempDir dir;
  CopyDemoFor(dir.path(), c.device);
  const RunResult run = Convert(dir / "mdk/demo.uvprojx", Bsp(), dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out;

  const CdtBuild build = BuildLikeCdt(dir / "qm26_ide_proj", kDebug);
  ASSERT_TRUE(build.linked) << build.log;
  EXPECT_EQ(build.targetFlags, c.targetFlags);
  EXPECT_EQ(VectorTableProblem(build), "");
  // The demo's target names its image "demo" and asks for a HEX file.
  EXPECT_EQ(build.flashImage.substr(build.flashImage.rfind('/') + 1), "demo.hex");
  EXPECT_EQ(build.resources,
            (Strings{"Application/board.c", "Application/main.c", "Application/system_qm26r620a.c",
                     "Drivers/qm26_gpio.c", "Drivers/qm26_rcc.c", "Drivers/qm26_uart.c",
                     "retarget.c", c.startup}));
}

INSTANTIATE_TEST_SUITE_P(EveryModel, DemoBuildTest, ::testing::ValuesIn(kModels),
                         [](const ::testing::TestParamInfo<ModelCase>& param) {
                           return std::string(param.param.model);
                         });

TEST(DemoBuildTest, ModelsWhoseCatalogueRowGivesNoBuildableStartupFile) {
  // QM26R650 has no series: the BSP root names no folder for it. Its rows share the QM26R630
  // folder, which converts and builds when it is named directly.
  {
    ScopedTempDir dir;
    CopyDemoFor(dir.path(), "QM26R650VGT7");
    const RunResult run = Convert(dir / "mdk/demo.uvprojx", Bsp(), dir.path());
    EXPECT_EQ(run.exitStatus, 255);
    EXPECT_EQ(SplitLines(run.out).back(), "Failed to copy the ld file.");

    ASSERT_EQ(Convert(dir / "mdk/demo.uvprojx", Bsp() + "/QM26R630", dir.path()).exitStatus, 0);
    const CdtBuild build = BuildLikeCdt(dir / "qm26_ide_proj", kDebug);
    ASSERT_TRUE(build.linked) << build.log;
    EXPECT_EQ(VectorTableProblem(build), "");
  }
  // QM26VC635's startup file has no extension: it is placed, but no tool builds it, so the image
  // links without a vector table.
  {
    ScopedTempDir dir;
    CopyDemoFor(dir.path(), "QM26VC635VGT7");
    ASSERT_EQ(Convert(dir / "mdk/demo.uvprojx", Bsp(), dir.path()).exitStatus, 0);
    EXPECT_TRUE(Exists(dir / "qm26_ide_proj/startup_qm26vc635"));
    const CdtBuild build = BuildLikeCdt(dir / "qm26_ide_proj", kDebug);
    ASSERT_TRUE(build.linked) << build.log;
    EXPECT_EQ(std::count(build.resources.begin(), build.resources.end(), "startup_qm26vc635"), 0);
    EXPECT_EQ(VectorTableProblem(build), "the image has no vector table");
  }
}

struct FixtureCase {
  const char* name;
  const char* mdkFile;        // below the fixture folder
  const char* projectFolder;  // below the temporary folder
  Strings excluded;
  Strings built;
  Strings includePaths;
  // The MDK target's settings: the lines each configuration prints for them, the lines of what is
  // not carried over, and what the build must then be and make.
  Strings debugSettings;
  Strings releaseSettings;
  Strings notCarried;
  // The stack and heap lines, and what the image then reserves and where its stack starts.
  Strings memoryLines;
  const char* memorySymbols;
  const char* targetFlags;
  const char* image;       // the linked image and the flash image, in the build folder
  const char* flashImage;
  bool newlibNano;
  bool assemblerSettings;  // the assembler must see the target's assembler defines and includes
};

constexpr char kOptimization[] = "Modify the optimization configuration: ";
constexpr char kSignedness[] = "Modify the char signedness configuration: ";
constexpr char kStandard[] = "Modify the C language standard configuration: ";
constexpr char kFloatAbi[] = "Modify the float ABI configuration: ";
constexpr char kLibrary[] = "Modify the C library configuration: ";
constexpr char kFlashImage[] = "Modify the flash image configuration: objcopy -O ihex";
constexpr char kArtifact[] = "Modify the artifact name configuration: ";
constexpr char kAsmDefine[] = "Modify the assembler define configuration: ";
constexpr char kAsmInclude[] = "Modify the assembler include path configuration: ";
constexpr char kFullNewlib[] = "full newlib (no --specs=nano.specs)";
constexpr char kSoftFloat[] = "-mcpu=cortex-m4 -mthumb -mfloat-abi=soft";
constexpr char kStackSize[] = "Modify the stack size configuration: ";
constexpr char kHeapSize[] = "Modify the heap size configuration: ";

// Each layout has MDK settings of its own; its main.c asserts what they mean for the compiler, so
// a build with other flags stops.
const FixtureCase kFixtures[] = {
    // MDK 5 with run-time environment: the ARM-syntax startup and another target's RTE file stay
    // out; the target's RTE C file and the folders MDK adds to the include path go in. ARM
    // Compiler 6 at its default level, strict C99, unsigned char, MicroLIB, an image named after
    // OutputName, no HEX file (the template's binary image stays).
    {"rte",
     "rte/Blinky.uvprojx",
     "qm26_ide_proj",
     {"RTE/CMSIS/RTX_Config.c", "RTE/Device/QM26R620AVGT7/startup_qm26r620a.s"},
     {"RTE/Device/QM26R620AVGT7/system_qm26r620a.c", "led.cpp", "main.c",
      "startup_qm26r620a_625.s"},
     {"\"../RTE/_Target_1\"", "\"../RTE/Device/QM26R620AVGT7\""},
     {std::string(kOptimization) + "-O0", std::string(kSignedness) + "unsigned (GCC's default for ARM)",
      std::string(kStandard) + "-std=c99", std::string(kLibrary) + "--specs=nano.specs",
      std::string(kArtifact) + "Blinky"},
     {std::string(kSignedness) + "unsigned (GCC's default for ARM)", std::string(kStandard) + "-std=c99",
      std::string(kLibrary) + "--specs=nano.specs", std::string(kArtifact) + "Blinky"},
     {},
     {std::string(kStackSize) +
          "0x1000 (Stack_Size of RTE/Device/QM26R620AVGT7/startup_qm26r620a.s)",
      std::string(kHeapSize) + "0x100 (Heap_Size of RTE/Device/QM26R620AVGT7/startup_qm26r620a.s)"},
     "_Min_Stack_Size=0x1000 _Min_Heap_Size=0x100 _estack=0x2001C000",
     kCortexM4,
     "Blinky.elf",
     "Blinky.bin",
     true,
     false},
    // CubeMX: the .uvprojx and its ARM-syntax startup in MDK-ARM, sources in ../Core; a file and a
    // group switched off, a switched-off file listed with ".\", and a file listed by a path that
    // climbs out of MDK-ARM and back in (built once, through its link). ARM Compiler 5 at its
    // default level, GCC's own dialect, MicroLIB, a HEX file, an image named after OutputName,
    // assembler defines and includes, C misc controls and a command after the build.
    {"cubemx",
     "cubemx/MDK-ARM/Blink.uvprojx",
     "cubemx/qm26_ide_proj",
     {"Application/User/Core/legacy.c", "Middlewares/Unused/unused.c", "retarget_armcc.c",
      "startup_qm26r620axx.s", "syscalls.c"},
     {"Application/MDK-ARM/syscalls.c", "Application/User/Core/main.c",
      "Application/User/Core/qm26_it.c", "Drivers/CMSIS/system_qm26r620a.c",
      "startup_qm26r620a_625.s"},
     {"\"../../Core/Inc\""},
     {std::string(kOptimization) + "-O2", std::string(kSignedness) + "unsigned (GCC's default for ARM)",
      std::string(kStandard) + "GCC's default (no -std)", std::string(kLibrary) + "--specs=nano.specs",
      kFlashImage, std::string(kArtifact) + "blink_app", std::string(kAsmDefine) + "ASM_FROM_MDK=1",
      std::string(kAsmDefine) + "TRACE", std::string(kAsmDefine) + "OS_USE_TRACE_SEMIHOSTING_DEBUG",
      std::string(kAsmInclude) + "\"../../Core/Inc\""},
     {std::string(kSignedness) + "unsigned (GCC's default for ARM)", std::string(kStandard) + "GCC's default (no -std)",
      std::string(kLibrary) + "--specs=nano.specs", kFlashImage,
      std::string(kArtifact) + "blink_app", std::string(kAsmDefine) + "ASM_FROM_MDK=1",
      std::string(kAsmDefine) + "NDEBUG", std::string(kAsmInclude) + "\"../../Core/Inc\""},
     {"Not carried over: C misc controls: --diag_suppress=177",
      "Not carried over: user command after the build: fromelf --bin --output blink_app.bin !L"},
     {std::string(kStackSize) + "0xC00 (Stack_Size of startup_qm26r620axx.s)",
      std::string(kHeapSize) + "0x300 (Heap_Size of startup_qm26r620axx.s)"},
     "_Min_Stack_Size=0xC00 _Min_Heap_Size=0x300 _estack=0x20020000",
     kCortexM4,
     "blink_app.elf",
     "blink_app.hex",
     true,
     true},
    // The .uvprojx at the top of its sources, files listed without ".\", an unused old main, eight
    // startup variants, an old copy of the BSP's startup file (which the BSP's copy replaces) and
    // a define whose quoted value holds a comma. ARM Compiler 5 at -O3, C99 mode, signed char,
    // software floating point on a chip with an FPU, the full C library
    // and a HEX file.
    {"flat",
     "flat/flat.uvprojx",
     "qm26_ide_proj",
     {"app/board.c", "app/main.c", "app/old_main.c", "lib/filter.cpp",
      "startup/startup_qm26r620a_625_cl.s", "startup/startup_qm26r620a_625_hd.s",
      "startup/startup_qm26r620a_625_hd_vl.s", "startup/startup_qm26r620a_625_ld.s",
      "startup/startup_qm26r620a_625_ld_vl.s", "startup/startup_qm26r620a_625_md.s",
      "startup/startup_qm26r620a_625_md_vl.s", "startup/startup_qm26r620a_625_xl.s"},
     {"App/board.c", "App/main.c", "Lib/filter.cpp", "startup_qm26r620a_625.s",
      "system/system_qm26r620a.c"},
     {"\"../inc\"", "\"../lib\""},
     {std::string(kOptimization) + "-O3", std::string(kSignedness) + "-fsigned-char",
      std::string(kStandard) + "-std=gnu99", std::string(kFloatAbi) + "-mfloat-abi=soft",
      std::string(kLibrary) + kFullNewlib, kFlashImage},
     {std::string(kSignedness) + "-fsigned-char", std::string(kStandard) + "-std=gnu99",
      std::string(kFloatAbi) + "-mfloat-abi=soft", std::string(kLibrary) + kFullNewlib,
      kFlashImage},
     {},
     {"Not carried over: stack size: startup/startup_qm26r620a_625_hd.s: Stack_Size EQU 0x200*4 "
      "is not a number",
      "Not carried over: heap size: startup/startup_qm26r620a_625_hd.s: no Heap_Size EQU"},
     "_Min_Stack_Size=0x400 _Min_Heap_Size=0x200 _estack=0x20020000",
     kSoftFloat,
     "flat.elf",
     "flat.hex",
     false,
     false},
};

void PrintTo(const FixtureCase& c, std::ostream* out) { *out << c.name; }

// Put before the BSP's startup file: it assembles only with the target's assembler define and
// include path.
constexpr char kAssemblerCheck[] =
    "#if ASM_FROM_MDK != 1\n#error \"no assembler define of the MDK target\"\n#endif\n"
    "#include \"asm_settings.h\"\n"
    "#ifndef ASM_SETTINGS_FOUND\n#error \"no assembler include path of the MDK target\"\n#endif\n";

// The lines after the first line that starts with `start`, up to the next empty line.
Strings BlockAfter(const Strings& lines, const std::string& start) {
  auto line = std::find_if(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.rfind(start, 0) == 0; });
  if (line == lines.end()) return {"<no line " + start + ">"};
  const auto end = std::find(++line, lines.end(), "");
  return Strings(line, end);
}

// True when the image holds a function of newlib-nano's printf that the full library lacks.
bool LinksNewlibNano(const std::string& image) {
  const RunResult symbols = RunCommand({"/usr/bin/arm-none-eabi-nm", image}, "");
  const Strings lines = SplitLines(symbols.out);
  return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.size() > 10 && line.compare(line.size() - 10, 10, " _printf_i") == 0;
  });
}

// The symbols of the linker script that say what the image reserves in RAM.
const Strings kMemorySymbols = {"_Min_Stack_Size", "_Min_Heap_Size", "_estack"};

// "<name>=0x<value>" for each of `names`, as nm gives them for `image`, separated by blanks;
// "<name>=?" for one the image lacks.
std::string SymbolValues(const std::string& image, const Strings& names) {
  const RunResult symbols = RunCommand({"/usr/bin/arm-none-eabi-nm", image}, "");
  std::string values;
  for (const std::string& name : names) {
    std::string value = "?";
    for (const std::string& line : SplitLines(symbols.out)) {
      std::istringstream fields(line);
      std::string number, kind, symbol;
      if (fields >> number >> kind >> symbol && symbol == name) {
        std::ostringstream hex;
        hex << "0x" << std::uppercase << std::hex << std::stoull(number, nullptr, 16);
        value = hex.str();
      }
    }
    values += (values.empty() ? "" : " ") + name + "=" + value;
  }
  return values;
}

class FixtureBuildTest : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(FixtureBuildTest, BuildsWhatTheMdkTargetBuildsAsItBuildsIt) {
  const FixtureCase& c = GetParam();
  ScopedTempDir dir;
  CopyTree(SourceDir() + "/tests/data/build/" + c.name, dir / c.name);
  std::string bsp = Bsp();
  if (c.assemblerSettings) {
    bsp = dir / "bsp/QM26R620A_625";
    MakeDirs(dir / "bsp");
    CopyTree(Bsp() + "/QM26R620A_625", bsp);
    const std::string startup =
        bsp + "/libraries/cmsis/cm4/device_support/startup/gcc/startup_qm26r620a_625.s";
    WriteFile(startup, kAssemblerCheck + ReadFile(startup));
  }
  const RunResult run = Convert(dir / c.mdkFile, bsp, dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_EQ(run.err, "");

  // Each configuration's settings after its other lines; then one line per excluded path and
  // what is not carried over.
  const Strings lines = SplitLines(run.out);
  EXPECT_EQ(BlockAfter(lines, "Modify link file configuration: "), c.debugSettings);
  const auto lastScriptLine =
      std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) {
        return line.rfind("Modify link file configuration: ", 0) == 0;
      }).base();
  Strings expectedTail = c.releaseSettings;
  for (const std::string& path : c.excluded) expectedTail.push_back(kExcludeLine + path);
  expectedTail.insert(expectedTail.end(), c.notCarried.begin(), c.notCarried.end());
  expectedTail.insert(expectedTail.end(), c.memoryLines.begin(), c.memoryLines.end());
  expectedTail.insert(expectedTail.end(),
                      {"", "Successfully!!! ", "The QM26 IDE project is generated!"});
  const long tailSize = std::min<long>(lines.end() - lastScriptLine, expectedTail.size());
  EXPECT_EQ(Strings(lastScriptLine, lastScriptLine + tailSize), expectedTail);
  for (const std::string& include : c.includePaths) {
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "Modify the include path configuration: " + include),
              2)
        << include;
  }

  const std::string project = dir / c.projectFolder;
  EXPECT_EQ(Excluding(project + "/.cproject", kDebug), Join(c.excluded, "|"));
  EXPECT_EQ(Excluding(project + "/.cproject", kRelease), Join(c.excluded, "|"));

  // Debug builds as the MDK target did, Release as its small build: the sources assert which.
  for (const char* configuration : {kDebug, kRelease}) {
    SCOPED_TRACE(configuration);
    const CdtBuild build = BuildLikeCdt(project, configuration);
    ASSERT_TRUE(build.linked) << build.log;
    EXPECT_EQ(build.resources, c.built);
    EXPECT_EQ(build.targetFlags, c.targetFlags);
    EXPECT_EQ(VectorTableProblem(build), "");
    EXPECT_EQ(build.image.substr(build.image.rfind('/') + 1), c.image);
    EXPECT_EQ(build.flashImage.substr(build.flashImage.rfind('/') + 1), c.flashImage);
    const std::string flash = ReadFile(build.flashImage);
    ASSERT_FALSE(flash.empty());
    // An Intel HEX file is text whose records start with ':'; a binary image starts with the
    // vector table.
    EXPECT_EQ(flash[0] == ':', std::string(c.flashImage).find(".hex") != std::string::npos);
    EXPECT_EQ(LinksNewlibNano(build.image), c.newlibNano);
    EXPECT_EQ(SymbolValues(build.image, kMemorySymbols), c.memorySymbols);
  }
}

INSTANTIATE_TEST_SUITE_P(MdkLayouts, FixtureBuildTest, ::testing::ValuesIn(kFixtures),
                         [](const ::testing::TestParamInfo<FixtureCase>& param) {
                           return std::string(param.param.name);
                         });

// "<origin> <length>" of the memory region `name` in the "Memory Configuration" of a link map.
std::string MapRegion(const std::string& mapFile, const std::string& name) {
  for (const std::string& line : SplitLines(ReadFile(mapFile))) {
    std::istringstream fields(line);
    std::string region, origin, length;
    if (fields >> region >> origin >> length && region == name) return origin + " " + length;
  }
  return "<no region " + name + ">";
}

// The demo's target with `iramSize` bytes of SRAM in its Cpu text, whose startup file reserves
// 0x1800 bytes of stack and 0x600 of heap: the image reserves them in that RAM, or does not link.
TEST(MemoryBuildTest, TheImageReservesTheTargetsStackAndHeapInItsRam) {
  const std::string startup = "../libraries/cmsis/startup/startup_qm26r620a_625_arm.s";
  const auto convert = [&](const ScopedTempDir& dir, const std::string& iramSize) {
    CopyDemoFor(dir.path(), "QM26R620AVGT7");
    EXPECT_EQ(ReplaceInFile(dir / "mdk/demo.uvprojx", "IRAM(0x20000000,0x20000)",
                            "IRAM(0x20000000," + iramSize + ")"),
              2);
    const std::string file = dir / ("mdk/" + startup);
    EXPECT_EQ(ReplaceInFile(file, "EQU     0x00000800", "EQU     0x00001800"), 1);
    EXPECT_EQ(ReplaceInFile(file, "EQU     0x00000400", "EQU     0x00000600"), 1);
    return Convert(dir / "mdk/demo.uvprojx", Bsp(), dir.path());
  };
  const Strings memoryLines = {
      std::string(kStackSize) + "0x1800 (Stack_Size of " + startup + ")",
      std::string(kHeapSize) + "0x600 (Heap_Size of " + startup + ")", ""};
  {
    ScopedTempDir dir;
    const RunResult run = convert(dir, "0x18000");
    ASSERT_EQ(run.exitStatus, 0) << run.out;
    const Strings lines = SplitLines(run.out);
    const auto first = std::find(lines.begin(), lines.end(), memoryLines[0]);
    EXPECT_EQ(Strings(first, first + std::min<long>(lines.end() - first, 3)), memoryLines);
    const CdtBuild build = BuildLikeCdt(dir / "qm26_ide_proj", kDebug);
    ASSERT_TRUE(build.linked) << build.log;
    EXPECT_EQ(SymbolValues(build.image, kMemorySymbols),
              "_Min_Stack_Size=0x1800 _Min_Heap_Size=0x600 _estack=0x20018000");
    EXPECT_EQ(MapRegion(build.mapFile, "RAM"), "0x20000000 0x00018000");
    EXPECT_EQ(VectorTableProblem(build), "");
  }
  // 4 KiB cannot hold them: the run succeeds, the link fails, as MDK's would have.
  {
    ScopedTempDir dir;
    const RunResult run = convert(dir, "0x1000");
    ASSERT_EQ(run.exitStatus, 0) << run.out;
    const Strings lines = SplitLines(run.out);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), memoryLines[0]), 1);
    const CdtBuild build = BuildLikeCdt(dir / "qm26_ide_proj", kDebug);
    EXPECT_FALSE(build.linked);
    EXPECT_NE(build.log.find("region `RAM' overflowed"), std::string::npos) << build.log;
  }
  // A script without a heap symbol is not given one; the line says so.
  {
    ScopedTempDir dir;
    MakeDirs(dir / "bsp");
    CopyTree(Bsp() + "/QM26R620A_625", dir / "bsp/QM26R620A_625");
    const std::string script = dir / "bsp/QM26R620A_625/libraries/cmsis/cm4/device_support/startup/"
                                     "gcc/linker/QM26R620AxG_FLASH.ld";
    ASSERT_EQ(ReplaceInFile(script, "_Min_Heap_Size = 0x200;\n", ""), 1);
    CopyDemoFor(dir.path(), "QM26R620AVGT7");
    const RunResult run = Convert(dir / "mdk/demo.uvprojx", dir / "bsp", dir.path());
    ASSERT_EQ(run.exitStatus, 0) << run.out;
    const Strings lines = SplitLines(run.out);
    const Strings expected = {
        std::string(kStackSize) + "0x800 (Stack_Size of " + startup + ")",
        "Not carried over: heap size: 0x400 (Heap_Size of " + startup +
            "): no _Min_Heap_Size in ldscripts/QM26R620AxG_FLASH.ld",
        ""};
    const auto first = std::find(lines.begin(), lines.end(), expected[0]);
    EXPECT_EQ(Strings(first, first + std::min<long>(lines.end() - first, 3)), expected);
    const std::string written = ReadFile(dir / "qm26_ide_proj/ldscripts/QM26R620AxG_FLASH.ld");
    EXPECT_EQ(written.find("_Min_Heap_Size ="), std::string::npos);
  }
}

// The target writes a linked file, a file of the MDK folder and the include folder in other letter
// case than the disk: as written, GCC finds none of them and the copy of the MDK folder's file
// stays out of the build. Corrected, the project builds all three under their names on disk.
TEST(CaseCorrectionBuildTest, PathsWrittenInOtherCaseBuild) {
  ScopedTempDir dir;
  CopyTree(SourceDir() + "/tests/data/check/case", dir / "case");
  const RunResult run = Convert(dir / "case/MDK-ARM/case.uvprojx", Bsp(), dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_EQ(run.err, "");
  const Strings lines = SplitLines(run.out);
  const Strings corrected = {
      "Case corrected: ../HARDWARE/LAN8720.c -> ../hardware/lan8720.c",
      "Case corrected: ./System/System_QM26.c -> ./system/system_qm26.c",
      "Case corrected: ../User/BSP -> ../user/bsp",
      "Not carried over: stack size: the MDK target has no startup file",
      "Not carried over: heap size: the MDK target has no startup file",
      "",
      "Successfully!!! ",
  };
  const auto first = std::find(lines.begin(), lines.end(), corrected[0]);
  ASSERT_NE(first, lines.end()) << run.out;
  EXPECT_EQ(Strings(first, first + std::min<long>(lines.end() - first, corrected.size())),
            corrected);
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "Modify the include path configuration: \"../../user/bsp\""),
            2);
  EXPECT_EQ(Excluding(dir / "case/qm26_ide_proj/.cproject", kDebug), "");

  const CdtBuild build = BuildLikeCdt(dir / "case/qm26_ide_proj", kDebug);
  ASSERT_TRUE(build.linked) << build.log;
  EXPECT_EQ(build.resources, (Strings{"Hardware/lan8720.c", "User/main.c",
                                      "startup_qm26r620a_625.s", "system/system_qm26.c"}));
  EXPECT_EQ(VectorTableProblem(build), "");
  // The sources keep their names and their text.
  EXPECT_EQ(ListTree(dir / "case/hardware"), (std::set<std::string>{"lan8720.c"}));
}

}  // namespace
