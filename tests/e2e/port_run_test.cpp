// The port for GCC, end to end: a target written for ARM Compiler 5 only is converted, built as
// the IDE builds it, and run under QEMU, and what it prints is what MDK's build would print.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "e2e/cdt_build.h"
#include "e2e/fixture_tree.h"
#include "e2e/xml_probe.h"
#include "support/test_support.h"

namespace {

using Strings = std::vector<std::string>;

constexpr char kDebug[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.debug";
constexpr char kRelease[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.release";

// The lines after the last configuration's settings, up to the closing lines.
Strings LinesAfterTheConfigurations(const std::string& out) {
  const Strings lines = SeparateCopyLines(out).otherLines;
  const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) {
                      return line.rfind("Modify link file configuration: ", 0) == 0;
                    }).base();
  return Strings(last, std::find(last, lines.end(), ""));
}

// Runs `image` on QEMU's netduinoplus2 (a Cortex-M4F with flash at 0x08000000 and SRAM at
// 0x20000000, as the QM26R620A has), with USART1 on standard output. The fixture's _sys_exit asks
// for a system reset, which -no-reboot turns into the end of QEMU; the timeout bounds a program
// that never gets there.
RunResult RunOnQemu(const std::string& image) {
  return RunCommand({"timeout", "20", "qemu-system-arm", "-M", "netduinoplus2", "-display", "none",
                     "-monitor", "none", "-serial", "stdio", "-no-reboot", "-kernel", image},
                    "");
}

// The fixture uses every construct of the port's table, a case-only include and the ARM C
// library's retargeting (fputc on USART1's data register, _sys_exit printing its status). What a
// naive mapping gets wrong shows in the lines: __clz(0) is 32, __align(64) objects lie on 64-byte
// boundaries, a weak default gives way to a strong definition in another file and stays where
// there is none, a __forceinline function is called from another file, the exclusive loops work
// for 32-, 8- and 16-bit objects, the SysTick handler declared __irq runs, C++ gets the header
// too, GNU-syntax assembler files in and outside the MDK folder are built, and exit(3) reaches
// _sys_exit through newlib.
TEST(PortRunTest, PortedFixtureRunsUnderQemu) {
  ScopedTempDir dir;
  CopyTree(SourceDir() + "/tests/data/port/armcc", dir / "armcc");
  const RunResult run = RunGeneratorBinary(
      {"-MDKPATH", dir / "armcc/MDK-ARM/armcc.uvprojx", "-TEMPLATESPATH",
       SourceDir() + "/examples/QM26IDE_Templates", "-BSPPATH", SourceDir() + "/examples/bsp"},
      dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_EQ(run.err, "");
  const std::string header = "gcc_port/armcc_compat.h";
  const std::string bridge = "gcc_port/armcc_retarget.c";
  const Strings expected = {
      "Exclude from the build: startup_qm26r620a.s",
      "Ported for GCC: __align, 2 places: " + header,
      "Ported for GCC: __weak, 2 places: " + header,
      "Ported for GCC: __forceinline, 1 place: " + header,
      "Ported for GCC: __irq, 1 place: " + header,
      "Ported for GCC: __nop, 1 place: " + header,
      "Ported for GCC: __wfi, 1 place: " + header,
      "Ported for GCC: __wfe, 1 place: " + header,
      "Ported for GCC: __sev, 1 place: " + header,
      "Ported for GCC: __isb, 1 place: " + header,
      "Ported for GCC: __dsb, 1 place: " + header,
      "Ported for GCC: __dmb, 1 place: " + header,
      "Ported for GCC: __clz, 2 places: " + header,
      "Ported for GCC: __rev, 1 place: " + header,
      "Ported for GCC: __ldrex, 3 places: " + header,
      "Ported for GCC: __strex, 3 places: " + header,
      "Ported for GCC: fputc, 1 place: " + bridge,
      "Ported for GCC: fgetc, 1 place: " + bridge,
      "Ported for GCC: _sys_exit, 1 place: " + bridge,
      "Ported for GCC: struct __FILE, 1 place: " + bridge,
      "Ported for GCC: #pragma import, 1 place: " + bridge,
      "Ported for GCC: #include \"Board.h\", 1 place: gcc_port/include/Board.h",
      // The linker script's lines come last.
      "Modify the stack size configuration: 0x400 (Stack_Size of ./startup_qm26r620a.s)",
      "Not carried over: heap size: ./startup_qm26r620a.s: no Heap_Size EQU",
  };
  EXPECT_EQ(LinesAfterTheConfigurations(run.out), expected);
  // The sources stay as they are.
  EXPECT_EQ(ReadFile(dir / "armcc/src/main.c"),
            ReadFile(SourceDir() + "/tests/data/port/armcc/src/main.c"));

  const std::string printed =
      "clz 32 31 0\n"
      "c++ clz 32\n"
      "rev 44332211\n"
      "align 0 0\n"
      "weak override default\n"
      "inline 42\n"
      "asm 5 1\n"
      "exclusive 42 5b 1235\n"
      "irq 1\n"
      "_sys_exit 3\n";
  for (const char* configuration : {kDebug, kRelease}) {
    SCOPED_TRACE(configuration);
    const CdtBuild build = BuildLikeCdt(dir / "armcc/qm26_ide_proj", configuration);
    ASSERT_TRUE(build.linked) << build.log;
    const RunResult firmware = RunOnQemu(build.image);
    EXPECT_EQ(firmware.exitStatus, 0) << firmware.err;
    EXPECT_EQ(firmware.out, printed);
  }
}

// The MDK folder holds a "gcc_port" of its own, which the project's copy keeps as it is: the port
// takes the next free name, and the settings of both configurations and of both compilers name it.
TEST(PortRunTest, PortFolderTakesANameNoEntryOfTheProjectHas) {
  ScopedTempDir dir;
  CopyTree(SourceDir() + "/tests/data/port/armcc", dir / "armcc");
  WriteFile(dir / "armcc/MDK-ARM/gcc_port/notes.txt", "the user's own\n");
  const RunResult run = RunGeneratorBinary(
      {"-MDKPATH", dir / "armcc/MDK-ARM/armcc.uvprojx", "-TEMPLATESPATH",
       SourceDir() + "/examples/QM26IDE_Templates", "-BSPPATH", SourceDir() + "/examples/bsp"},
      dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  const Strings lines = LinesAfterTheConfigurations(run.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], "Ported for GCC: __align, 2 places: gcc_port_2/armcc_compat.h");
  const std::string project = dir / "armcc/qm26_ide_proj";
  EXPECT_EQ(ReadFile(project + "/gcc_port/notes.txt"), "the user's own\n");
  EXPECT_EQ(ListTree(project + "/gcc_port_2"),
            (std::set<std::string>{"armcc_compat.h", "armcc_retarget.c", "include/",
                                   "include/Board.h"}));
  const std::string header = "\"${workspace_loc:/${ProjName}}/gcc_port_2/armcc_compat.h\"";
  for (const char* configuration : {kDebug, kRelease}) {
    SCOPED_TRACE(configuration);
    const std::string cproject = project + "/.cproject";
    EXPECT_EQ(OptionValues(cproject, configuration, "c.compiler.include.files"), Strings{header});
    EXPECT_EQ(OptionValues(cproject, configuration, "cpp.compiler.include.files"), Strings{header});
    const Strings paths = OptionValues(cproject, configuration, "c.compiler.include.paths");
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(paths.front(), "\"../gcc_port_2/include\"");
  }
}

}  // namespace
