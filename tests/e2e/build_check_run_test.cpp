// The check before the first build, end to end: what a run says of a target's sources, and that
// the bundled example and the fixtures of the other tests make it say nothing.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/fixture_tree.h"
#include "support/test_support.h"

namespace {

using Strings = std::vector<std::string>;

constexpr char kScriptLine[] = "Modify link file configuration: ";

std::string Templates() { return SourceDir() + "/examples/QM26IDE_Templates"; }
std::string Bsp() { return SourceDir() + "/examples/bsp"; }

RunResult Convert(const std::string& mdk, const Strings& more, const std::string& workDir) {
  Strings args = {"-MDKPATH", mdk, "-TEMPLATESPATH", Templates(), "-BSPPATH", Bsp()};
  args.insert(args.end(), more.begin(), more.end());
  return RunGeneratorBinary(args, workDir);
}

// The lines between the last linker-script line of the configurations and the closing lines.
Strings LinesAfterTheConfigurations(const std::string& out) {
  const Strings lines = SeparateCopyLines(out).otherLines;
  const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) {
                      return line.rfind(kScriptLine, 0) == 0;
                    }).base();
  return Strings(last, std::find(last, lines.end(), ""));
}

bool IsCheckLine(const std::string& line) {
  const std::string summary = " places to check before the first build.";
  return line.rfind("Check before building: ", 0) == 0 || line.rfind("Case corrected: ", 0) == 0 ||
         line == "1 place to check before the first build." ||
         (line.size() > summary.size() &&
          line.compare(line.size() - summary.size(), summary.size(), summary) == 0);
}

// One source file per kind of finding: main.c includes a header through the include path that
// uses __packed, and "Delay.h", which exists only as delay.h; hidden.c has ARM Compiler code only
// in comments, a string and #if 0; compilers.c has it only in a __CC_ARM branch beside a __GNUC__
// one. The target also assembles an ARM-syntax RTOS port and an ARM-syntax startup file, which the
// BSP's startup file replaces.
TEST(BuildCheckRunTest, NamesEveryPlaceGccWillRejectOrIgnore) {
  ScopedTempDir dir;
  CopyTree(SourceDir() + "/tests/data/check/findings", dir / "findings");
  const RunResult run = Convert(dir / "findings/MDK-ARM/findings.uvprojx", {}, dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_EQ(run.err, "");
  const Strings expected = {
      "Exclude from the build: startup_qm26r620a.s",
      "Ported for GCC: #include \"Delay.h\", 1 place: gcc_port/include/Delay.h",
      "Check before building: ../inc/board_io.h:7: ARM Compiler keyword __packed: GCC rejects it, "
      "and ignores __attribute__((packed)) before struct; write struct __attribute__((packed)) "
      "(typedef struct __attribute__((packed)) {...})",
      "Check before building: ../port/os_cpu_a.asm:1: MDK assembles this ARM-syntax file; the IDE "
      "does not build it: a GNU-syntax version is needed",
      "2 places to check before the first build.",
      // The linker script's lines come last.
      "Modify the stack size configuration: 0x400 (Stack_Size of ./startup_qm26r620a.s)",
      "Not carried over: heap size: ./startup_qm26r620a.s: no Heap_Size EQU",
  };
  EXPECT_EQ(LinesAfterTheConfigurations(run.out), expected);
  const Strings lines = SplitLines(run.out);
  EXPECT_EQ(lines.back(), "Project path: " + dir / "findings/MDK-ARM/../qm26_ide_proj");
  // The sources are never changed.
  EXPECT_EQ(ReadFile(dir / "findings/src/main.c"),
            ReadFile(SourceDir() + "/tests/data/check/findings/src/main.c"));
  // Why __packed before struct stays listed: with the naive definition GCC lays the frame out
  // unpacked, 8 bytes where ARM Compiler gave 5.
  WriteFile(dir / "size.c",
            "#define __packed __attribute__((packed))\n"
            "#include \"board_io.h\"\n"
            "_Static_assert(sizeof(BoardFrame) == 8, \"unpacked\");\n");
  const RunResult naive =
      RunCommand({"arm-none-eabi-gcc", "-mcpu=cortex-m4", "-mthumb", "-std=c11", "-c", "-o",
                  dir / "size.o", "-I", dir / "findings/inc", dir / "size.c"},
                 dir.path());
  EXPECT_EQ(naive.exitStatus, 0) << naive.out << naive.err;
  EXPECT_NE((naive.out + naive.err).find("attribute ignored"), std::string::npos);
}

// What needs a person and GCC would meet one build at a time: an include written with
// backslashes (naming the file it means when there is one), a header found nowhere, in each file
// that includes it and with the target's pack named, and a macro that only the ARM Compiler
// branch of a header defines. <stdio.h> and <sys/types.h> are GCC's and newlib's.
TEST(BuildCheckRunTest, NamesWhatGccFindsNowhere) {
  ScopedTempDir dir;
  CopyTree(SourceDir() + "/tests/data/check/unresolved", dir / "unresolved");
  const RunResult run = Convert(dir / "unresolved/MDK-ARM/unresolved.uvprojx", {}, dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  const std::string nowhere =
      " is found nowhere: not beside the file, not in the include paths, not a header of GCC or "
      "newlib; MDK took it from the pack QM26.QM26R6xx_DFP.1.2.0: add its folder to the include "
      "paths";
  const Strings expected = {
      "Check before building: App/main.c:4: #include \"..\\inc\\board.h\" is written with "
      "backslashes, which GCC takes as part of one file name; it means ../inc/board.h: write "
      "\"../inc/board.h\"",
      "Check before building: App/main.c:5: #include \"qm26r6xx_hal.h\"" + nowhere,
      "Check before building: App/main.c:7: macro AT_FAST_RAM is defined only in a branch GCC "
      "skips (../inc/board.h:6): GCC takes it for an unknown name; define it for GCC too",
      "Check before building: App/uart.c:2: #include \"qm26r6xx_hal.h\"" + nowhere,
      "Check before building: App/uart.c:3: #include \"..\\inc\\missing.h\" is written with "
      "backslashes, which GCC takes as part of one file name; write \"../inc/missing.h\"",
      "5 places to check before the first build.",
      "Not carried over: stack size: the MDK target has no startup file",
      "Not carried over: heap size: the MDK target has no startup file",
  };
  EXPECT_EQ(LinesAfterTheConfigurations(run.out), expected);
}

// Sources a hostile pass wrote, which once cost the check minutes: macros that double at each of
// 40 levels (2^40 names) under an #if, an unclosed __attribute__(( repeated over a 64 KiB line,
// an include of 3,000 "./" steps (longer than any path the system opens, so GCC finds nothing)
// and a FilePath in the wrong letter case. The run completes and says what it could not follow.
TEST(BuildCheckRunTest, SourcesPastTheCheckBoundsStillGiveAProject) {
  ScopedTempDir dir;
  std::string macros = "#define M0 1\n";
  for (int i = 1; i <= 40; ++i) {
    macros += "#define M" + std::to_string(i) + " (M" + std::to_string(i - 1) + " + M" +
              std::to_string(i - 1) + ")\n";
  }
  WriteFile(dir / "hostile/src/a.c", macros + "#if M40\nint __packed a;\n#endif\n");
  std::string attributes = "int b ";
  while (attributes.size() < 64 * 1024) attributes += "__attribute__((";
  std::string steps;
  for (int i = 0; i < 3000; ++i) steps += "./";
  WriteFile(dir / "hostile/src/b.c", attributes + "\n#include \"" + steps + "x.h\"\n");
  WriteFile(dir / "hostile/src/x.h", "int __packed x;\n");
  WriteFile(dir / "hostile/src/c.c", "int c;\n");
  WriteFile(dir / "hostile/mdk/h.uvprojx",
            MdkProjectXml("QM26R620AVGT7", {"..\\src\\a.c", "..\\src\\b.c", "..\\SRC\\C.C"}));
  const RunResult run = Convert(dir / "hostile/mdk/h.uvprojx", {}, dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_EQ(run.err, "");
  const Strings lines = SplitLines(run.out);
  Strings checkLines;
  for (const std::string& line : lines) {
    if (IsCheckLine(line)) {
      checkLines.push_back(line);
    }
  }
  const Strings expected = {
      "Case corrected: ../SRC/C.C -> ../src/c.c",
      "Check before building: App/a.c:42: #if expands more than 64 KiB of macros: the check cannot "
      "tell whether GCC takes this branch and skips it; check the branch by hand",
      "Check before building: App/b.c:2: #include \"" + steps + "x.h\" is found nowhere: not "
      "beside the file, not in the include paths, not a header of GCC or newlib; add its folder "
      "to the include paths",
      "2 places to check before the first build.",
  };
  EXPECT_EQ(checkLines, expected);
  EXPECT_EQ(lines.back(), "Project path: " + dir / "hostile/mdk/../qm26_ide_proj");
}

TEST(BuildCheckRunTest, TheExampleAndTheOtherFixturesGiveNoLine) {
  struct Case {
    const char* tree;  // below the repository
    const char* mdk;   // below the tree's copy
    Strings more;
  };
  const Case cases[] = {
      {"examples/demo", "mdk/demo.uvprojx", {}},
      {"tests/data/build/cubemx", "MDK-ARM/Blink.uvprojx", {}},
      {"tests/data/build/flat", "flat.uvprojx", {}},
      {"tests/data/build/rte", "Blinky.uvprojx", {}},
      {"tests/data/targets", "mdk/targets.uvprojx", {}},
      {"tests/data/targets", "mdk/targets.uvprojx", {"-MDKTARGET", "Board B"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.tree) + " " + c.mdk);
    ScopedTempDir dir;
    CopyTree(SourceDir() + "/" + c.tree, dir / "tree");
    const RunResult run = Convert(dir / "tree" + "/" + c.mdk, c.more, dir.path());
    ASSERT_EQ(run.exitStatus, 0) << run.out;
    const Strings lines = SplitLines(run.out);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), IsCheckLine), 0) << run.out;
    EXPECT_EQ(lines.back().rfind("Project path: ", 0), 0u);
  }
}

}  // namespace
