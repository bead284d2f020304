// The bundled example converted end to end: the whole output and every generated file.
#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/fixture_tree.h"
#include "e2e/xml_probe.h"
#include "support/test_support.h"

namespace {

constexpr char kDebug[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.debug";
constexpr char kRelease[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.release";
constexpr char kIncludes[] = "ilg.gnuarmeclipse.managedbuild.cross.option.c.compiler.include.paths";
constexpr char kDefines[] = "ilg.gnuarmeclipse.managedbuild.cross.option.c.compiler.defs";
constexpr char kCScript[] = "ilg.gnuarmeclipse.managedbuild.cross.option.c.linker.scriptfile";
constexpr char kCppScript[] = "ilg.gnuarmeclipse.managedbuild.cross.option.cpp.linker.scriptfile";

// Copies the bundled example into `root` (sources only, as a user would have them).
void CopyDemo(const std::string& root) { CopyTree(SourceDir() + "/examples/demo", root); }

std::vector<std::string> ConfigurationLines(const std::string& heading,
                                            const std::vector<std::string>& extraDefines,
                                            const std::vector<std::string>& settings) {
  std::vector<std::string> lines = {
      "",
      heading,
      "Modify the include path configuration: \"../../inc\"",
      "Modify the include path configuration: \"../../libraries/cmsis/include\"",
      "Modify the include path configuration: \"../../libraries/drivers/inc\"",
      "Modify the define configuration: USE_STDPERIPH_DRIVER",
      "Modify the define configuration: QM26R620A",
      "Modify the define configuration: HSE_VALUE=12000000",
  };
  for (const std::string& define : extraDefines) {
    lines.push_back("Modify the define configuration: " + define);
  }
  lines.push_back(
      "Modify link file configuration: \"${workspace_loc:/${ProjName}}/ldscripts/QM26R620AxG_FLASH.ld\"");
  lines.insert(lines.end(), settings.begin(), settings.end());
  return lines;
}

// The settings of the demo's first target (ARM Compiler 5): -O0, plain char unsigned, C99 mode,
// MicroLIB, a HEX file, and the image named "demo"; its FPU is used (the template's).
const std::vector<std::string> kReleaseSettings = {
    "Modify the char signedness configuration: unsigned (GCC's default for ARM)",
    "Modify the C language standard configuration: -std=gnu99",
    "Modify the C library configuration: --specs=nano.specs",
    "Modify the flash image configuration: objcopy -O ihex",
    "Modify the artifact name configuration: demo",
};

std::vector<std::string> DebugSettings() {
  std::vector<std::string> lines = {"Modify the optimization configuration: -O0"};
  lines.insert(lines.end(), kReleaseSettings.begin(), kReleaseSettings.end());
  return lines;
}

TEST(DemoRunTest, ConvertsTheBundledExample) {
  ScopedTempDir dir;
  CopyDemo(dir.path());
  const std::set<std::string> inputsBefore = ListTree(dir.path());
  const std::string mdk = dir / "mdk/demo.uvprojx";
  const std::string templates = SourceDir() + "/examples/QM26IDE_Templates";
  const std::string bsp = SourceDir() + "/examples/bsp";
  const std::string project = dir / "mdk/../qm26_ide_proj";

  const RunResult run =
      RunGeneratorBinary({"-MDKPATH", mdk, "-TEMPLATESPATH", templates, "-BSPPATH", bsp}, dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(run.err, "");

  // Standard output: everything but the copy lines in order, the copy lines as a set.
  const std::string tpl = templates + "/QM26R620A/QM26_IDE";
  const std::string linker =
      bsp + "/QM26R620A_625/libraries/cmsis/cm4/device_support/startup/gcc/linker";
  std::vector<std::string> expected = BannerLines();
  const std::vector<std::string> rest = {
      "Success to read MDK project file: " + mdk,
      "The MDK project has 2 targets; converting demo_debug. Choose another with -MDKTARGET: "
      "demo_release",
      "qm26ide_project_path:" + project,
      "Templates path: " + tpl,
      "The linker file was updated successfully.",
      "The startup file was updated successfully.",
      "Add project file configuration: src/main.c",
      "Add project file configuration: src/system_qm26r620a.c",
      "Add project file configuration: src/board.c",
      "Add project file configuration: libraries/drivers/src/qm26_gpio.c",
      "Add project file configuration: libraries/drivers/src/qm26_uart.c",
      "Add project file configuration: libraries/drivers/src/qm26_rcc.c",
  };
  expected.insert(expected.end(), rest.begin(), rest.end());
  for (const std::string& line :
       ConfigurationLines("Modify the Debug configuration", {"TRACE", "OS_USE_TRACE_SEMIHOSTING_DEBUG"},
                          DebugSettings())) {
    expected.push_back(line);
  }
  for (const std::string& line :
       ConfigurationLines("Modify the Release configuration", {"NDEBUG"}, kReleaseSettings)) {
    expected.push_back(line);
  }
  const std::string startup = "../libraries/cmsis/startup/startup_qm26r620a_625_arm.s";
  expected.insert(expected.end(),
                  {"Modify the stack size configuration: 0x800 (Stack_Size of " + startup + ")",
                   "Modify the heap size configuration: 0x400 (Heap_Size of " + startup + ")", "",
                   "Successfully!!! ", "The QM26 IDE project is generated!",
                   "Project path: " + project});
  const SplitOutput out = SeparateCopyLines(run.out);
  EXPECT_EQ(out.otherLines, expected);
  std::multiset<std::string> copies;
  for (const char* file : {".project", ".cproject", "preferences.ini"}) copies.insert(tpl + "/" + file);
  copies.insert(dir / "mdk/demo.uvprojx");
  copies.insert(dir / "mdk/retarget.c");
  for (const char* script : {"QM26R620AxC", "QM26R620AxE", "QM26R620AxG", "QM26R625xC", "QM26R625xE",
                             "QM26R625xG"}) {
    copies.insert(linker + "/" + script + "_FLASH.ld");
  }
  std::multiset<std::string> copyLines;
  for (const std::string& path : copies) copyLines.insert("Successfully to copy file: " + path);
  EXPECT_EQ(out.copyLines, copyLines);

  // The project folder holds exactly the placed files.
  EXPECT_EQ(ListTree(dir / "qm26_ide_proj"),
            (std::set<std::string>{".project", ".cproject", "preferences.ini", "demo.uvprojx",
                                   "retarget.c", "ldscripts/", "ldscripts/QM26R620AxG_FLASH.ld",
                                   "startup_qm26r620a_625.s"}));
  std::set<std::string> inputsAfter = ListTree(dir.path());
  for (auto it = inputsAfter.begin(); it != inputsAfter.end();) {
    it = it->rfind("qm26_ide_proj/", 0) == 0 ? inputsAfter.erase(it) : std::next(it);
  }
  EXPECT_EQ(inputsAfter, inputsBefore);
  EXPECT_EQ(ReadFile(dir / "qm26_ide_proj/retarget.c"), ReadFile(dir / "mdk/retarget.c"));
  EXPECT_EQ(ReadFile(dir / "qm26_ide_proj/startup_qm26r620a_625.s"),
            ReadFile(linker + "/../startup_qm26r620a_625.s"));

  // .project: the first target's name and one link per C file outside the MDK folder.
  const ProjectDescription description = ReadProjectDescription(dir / "qm26_ide_proj/.project");
  ASSERT_TRUE(description.loaded);
  EXPECT_EQ(description.name, "demo_debug");
  EXPECT_EQ(description.rootChildren.back(), "linkedResources");
  EXPECT_EQ(std::count(description.rootChildren.begin(), description.rootChildren.end(), "linkedResources"), 1);
  const std::vector<ProjectLink> links = {
      {"Application/main.c", "1", "PARENT-1-PROJECT_LOC/src/main.c"},
      {"Application/system_qm26r620a.c", "1", "PARENT-1-PROJECT_LOC/src/system_qm26r620a.c"},
      {"Application/board.c", "1", "PARENT-1-PROJECT_LOC/src/board.c"},
      {"Drivers/qm26_gpio.c", "1", "PARENT-1-PROJECT_LOC/libraries/drivers/src/qm26_gpio.c"},
      {"Drivers/qm26_uart.c", "1", "PARENT-1-PROJECT_LOC/libraries/drivers/src/qm26_uart.c"},
      {"Drivers/qm26_rcc.c", "1", "PARENT-1-PROJECT_LOC/libraries/drivers/src/qm26_rcc.c"},
  };
  EXPECT_EQ(description.links, links);
  // Every link resolves to a file of the example, seen from the project folder.
  for (const ProjectLink& link : description.links) {
    const std::string rel = link.locationUri.substr(std::string("PARENT-1-PROJECT_LOC/").size());
    EXPECT_TRUE(Exists(dir / rel)) << rel;
  }

  // .cproject: both configurations, parsed.
  const std::string cproject = dir / "qm26_ide_proj/.cproject";
  const std::vector<std::string> includes = {"\"../../inc\"", "\"../../libraries/cmsis/include\"",
                                             "\"../../libraries/drivers/inc\""};
  const std::vector<std::string> defines = {"USE_STDPERIPH_DRIVER", "QM26R620A", "HSE_VALUE=12000000"};
  std::vector<std::string> debugDefines = defines;
  debugDefines.insert(debugDefines.end(), {"TRACE", "OS_USE_TRACE_SEMIHOSTING_DEBUG"});
  std::vector<std::string> releaseDefines = defines;
  releaseDefines.push_back("NDEBUG");
  const std::vector<std::string> script = {
      "\"${workspace_loc:/${ProjName}}/ldscripts/QM26R620AxG_FLASH.ld\""};
  for (const char* config : {kDebug, kRelease}) {
    SCOPED_TRACE(config);
    EXPECT_EQ(OptionValues(cproject, config, kIncludes), includes);
    EXPECT_EQ(OptionValues(cproject, config, kDefines), std::string(config) == kDebug ? debugDefines : releaseDefines);
    EXPECT_EQ(OptionValues(cproject, config, kCScript), script);
    // The C++ linker, which CDT uses in a project with the C++ nature, gets the same script.
    EXPECT_EQ(OptionValues(cproject, config, kCppScript), script);
    // The first target's settings; Release keeps the template's optimization.
    const std::string p = "ilg.gnuarmeclipse.managedbuild.cross.option.";
    EXPECT_EQ(OptionValue(cproject, config, p + "optimization.level."),
              p + (std::string(config) == kDebug ? "optimization.level.none" : "optimization.level.size"));
    EXPECT_EQ(OptionValue(cproject, config, p + "optimization.signedchar."), "false");
    EXPECT_EQ(OptionValue(cproject, config, p + "c.compiler.std."), p + "c.compiler.std.gnu99");
    EXPECT_EQ(OptionValue(cproject, config, p + "c.linker.usenewlibnano."), "true");
    EXPECT_EQ(OptionValue(cproject, config, p + "cpp.linker.usenewlibnano."), "true");
    EXPECT_EQ(OptionValue(cproject, config, p + "addtools.createflash."), "true");
    EXPECT_EQ(OptionValue(cproject, config, p + "createflash.choice."), p + "createflash.choice.ihex");
    EXPECT_EQ(OptionValue(cproject, config, p + "arm.target.fpu.abi."), p + "arm.target.fpu.abi.hard");
    EXPECT_EQ(ConfigurationAttribute(cproject, config, "artifactName"), "demo");
  }

  // preferences.ini: lines 2 and 3 set, the others as the template has them.
  const std::vector<std::string> templatePrefs = SplitLines(ReadFile(tpl + "/preferences.ini"));
  std::vector<std::string> prefs = templatePrefs;
  prefs[2] = "chipTarget=QM26R620AVGT7";
  prefs[3] = "chipSizeType=G";
  EXPECT_EQ(SplitLines(ReadFile(dir / "qm26_ide_proj/preferences.ini")), prefs);

  // The linker script: its FLASH and RAM lines and its smallest stack and heap are the target's
  // (the demo reserves twice the BSP's), every other line the BSP's.
  std::vector<std::string> ld = SplitLines(ReadFile(linker + "/QM26R620AxG_FLASH.ld"));
  const std::pair<const char*, const char*> changed[] = {
      {"_Min_Heap_Size =", "_Min_Heap_Size = 0x400;"},
      {"_Min_Stack_Size =", "_Min_Stack_Size = 0x800;"},
      {"FLASH (rx)", "FLASH (rx)      : ORIGIN = 0x08000000, LENGTH = 1024K"},
      {"RAM (xrw)", "RAM (xrw)       : ORIGIN = 0x20000000, LENGTH = 128K"},
  };
  for (const auto& [pattern, line] : changed) {
    const auto found = std::find_if(ld.begin(), ld.end(), [&](const std::string& text) {
      return text.find(pattern) != std::string::npos;
    });
    ASSERT_NE(found, ld.end()) << pattern;
    *found = line;
  }
  EXPECT_EQ(SplitLines(ReadFile(dir / "qm26_ide_proj/ldscripts/QM26R620AxG_FLASH.ld")), ld);
}

TEST(DemoRunTest, TargetNameOverrideAndNoBsp) {
  ScopedTempDir dir;
  CopyDemo(dir.path());
  const std::string templates = SourceDir() + "/examples/QM26IDE_Templates";
  const RunResult run = RunGeneratorBinary(
      {"-MDKPATH", "mdk/demo.uvprojx", "-TARGETNAME", "renamed", "-TEMPLATESPATH", templates,
       "-BSPPATH", SourceDir() + "/examples/bsp"},
      dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_EQ(SplitLines(run.out).back(), "Project path: mdk/../qm26_ide_proj");
  EXPECT_EQ(ReadProjectDescription(dir / "qm26_ide_proj/.project").name, "renamed");

  // The bundled templates carry no linker scripts: without a BSP the project would name a script
  // it lacks, so the run stops before it touches the project.
  const auto before = Snapshot(dir.path());
  const RunResult noBsp = RunGeneratorBinary(
      {"-MDKPATH", "mdk/demo.uvprojx", "-TEMPLATESPATH", templates}, dir.path());
  EXPECT_EQ(noBsp.exitStatus, 255);
  const std::vector<std::string> lines = SplitLines(noBsp.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "Templates path: " + templates + "/QM26R620A/QM26_IDE");
  EXPECT_EQ(lines.back(), "No link file found!");
  EXPECT_EQ(Snapshot(dir.path()), before);
}

TEST(DemoRunTest, RefusesToConvertTheCopyInsideAGeneratedProject) {
  ScopedTempDir dir;
  CopyDemo(dir.path());
  const std::string templates = SourceDir() + "/examples/QM26IDE_Templates";
  ASSERT_EQ(RunGeneratorBinary({"-MDKPATH", dir / "mdk/demo.uvprojx", "-TEMPLATESPATH", templates,
                                "-BSPPATH", SourceDir() + "/examples/bsp"},
                               dir.path())
                .exitStatus,
            0);
  // The generated project holds a copy of the MDK file; converting that copy would empty the
  // folder it lies in.
  const std::string copy = dir / "qm26_ide_proj/demo.uvprojx";
  const std::set<std::string> before = ListTree(dir / "qm26_ide_proj");
  const std::string content = ReadFile(copy);
  const RunResult run = RunGeneratorBinary({"-MDKPATH", copy, "-TEMPLATESPATH", templates}, dir.path());
  EXPECT_EQ(run.exitStatus, 255);
  const std::vector<std::string> lines = SplitLines(run.out);
  ASSERT_EQ(lines.size(), 7u) << run.out;
  EXPECT_EQ(lines[4], "Success to read MDK project file: " + copy);
  EXPECT_EQ(lines[6], "The MDK project lies in the folder the project would be generated into: " + copy);
  EXPECT_EQ(ListTree(dir / "qm26_ide_proj"), before);
  EXPECT_EQ(ReadFile(copy), content);
}

TEST(DemoRunTest, ConvertsUnderMemcheckWithoutErrorsOrLeaks) {
#ifdef QM26_SANITIZED
  GTEST_SKIP() << "memcheck cannot run a binary built with AddressSanitizer; the plain build runs it";
#endif
  ScopedTempDir dir;
  CopyDemo(dir.path());
  const RunResult run = RunCommand(
      {"valgrind", "--quiet", "--error-exitcode=99", "--leak-check=full", "--show-leak-kinds=all",
       "--errors-for-leak-kinds=all", QM26_BINARY, "-MDKPATH", dir / "mdk/demo.uvprojx",
       "-TEMPLATESPATH", SourceDir() + "/examples/QM26IDE_Templates", "-BSPPATH",
       SourceDir() + "/examples/bsp"},
      dir.path());
  ASSERT_NE(run.exitStatus, 127) << "valgrind is missing: scripts/install-deps.sh installs it";
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(SplitLines(run.out).back(), "Project path: " + dir / "mdk/../qm26_ide_proj");
}

}  // namespace
