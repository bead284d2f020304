// Tests of finding the target's startup file and reading the stack and heap sizes it reserves.
#include "mdk/startup_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

TEST(StartupFileTest, EquLinesAndTheSizesTheyGive) {
  const struct {
    const char* line;
    bool defines;       // the line defines Stack_Size with EQU
    const char* value;  // the text after EQU
    bool number;
    uint64_t bytes;
  } cases[] = {
      {"Stack_Size      EQU     0x00000800", true, "0x00000800", true, 0x800},
      {"Stack_Size EQU 1536        ; <o> Stack Size (in Bytes)\r", true, "1536", true, 1536},
      {"Stack_Size\tequ\t0X4000", true, "0X4000", true, 0x4000},
      {"Stack_Size EQU 0", true, "0", true, 0},
      {"Stack_Size EQU 0xFFFFFFFF", true, "0xFFFFFFFF", true, 0xFFFFFFFF},
      // Values the run cannot read.
      {"Stack_Size EQU 0x200*4", true, "0x200*4", false, 0},
      {"Stack_Size EQU __STACK_SIZE", true, "__STACK_SIZE", false, 0},
      {"Stack_Size EQU 0x100000000", true, "0x100000000", false, 0},
      {"Stack_Size EQU 0x", true, "0x", false, 0},
      {"Stack_Size EQU -1", true, "-1", false, 0},
      // Lines that do not define it.
      {"Stack_Size_Min  EQU     0x400", false, "", false, 0},
      {"; Stack_Size EQU 0x400", false, "", false, 0},
      {"Stack_Mem       SPACE   Stack_Size", false, "", false, 0},
      {"Stack_Size      SETA    0x400", false, "", false, 0},
      {"stack_size      EQU     0x400", false, "", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::string value;
    ASSERT_EQ(ParseEquLine(c.line, kStackSizeSymbol, &value), c.defines);
    if (!c.defines) continue;
    EXPECT_EQ(value, c.value);
    uint64_t bytes = 12345;
    EXPECT_EQ(ParseSizeValue(value, &bytes), c.number);
    EXPECT_EQ(bytes, c.number ? c.bytes : 12345);
  }
}

TEST(StartupFileTest, TheTargetsStartupFileAndWhyASizeIsNotRead) {
  ProjectInfo project;
  const auto asmFile = [](const char* path, bool built) {
    SourceFile file;
    file.fileType = 2;
    file.filePath = path;
    file.includeInBuild = built;
    return file;
  };
  project.rteStartupFile = "RTE/Device/QM26R620AVGT7/startup_qm26r620a.s";
  project.groups.push_back({"Startup", {}, {asmFile("..\\asm\\startup_old.s", false),
                                             asmFile("..\\asm\\delay.s", true)}});
  // No built startup file in the groups: the RTE's.
  EXPECT_EQ(TargetStartupFile(project), project.rteStartupFile);
  project.groups.push_back({"Boot", {}, {asmFile("..\\asm\\Startup_QM26.S", true)}});
  EXPECT_EQ(TargetStartupFile(project), "../asm/Startup_QM26.S");

  ScopedTempDir dir;
  WriteFile(dir / "asm/Startup_QM26.S",
            "Stack_Size      EQU     0x00000600\r\nHeap_Size       EQU     __HEAP\r\n"
            "Heap_Size       EQU     0x200\r\n");
  MakeDirs(dir / "mdk");
  StartupSizes sizes = ReadStartupSizes(project, dir / "mdk");
  EXPECT_EQ(sizes.file, "../asm/Startup_QM26.S");
  EXPECT_TRUE(sizes.stack.read.ok());
  EXPECT_EQ(sizes.stack.bytes, 0x600u);
  // The first definition counts, as the assembler takes it.
  EXPECT_EQ(sizes.heap.read.Describe(),
            "../asm/Startup_QM26.S: Heap_Size EQU __HEAP is not a number");

  WriteFile(dir / "asm/Startup_QM26.S", "Stack_Size EQU 0x600\n");
  EXPECT_EQ(ReadStartupSizes(project, dir / "mdk").heap.read.Describe(),
            "../asm/Startup_QM26.S: no Heap_Size EQU");

  project.groups.pop_back();
  sizes = ReadStartupSizes(project, dir / "mdk");
  EXPECT_EQ(sizes.stack.read.Describe(),
            "RTE/Device/QM26R620AVGT7/startup_qm26r620a.s: No such file or directory");
  EXPECT_EQ(sizes.heap.read.Describe(), sizes.stack.read.Describe());

  project.rteStartupFile.clear();
  sizes = ReadStartupSizes(project, dir / "mdk");
  EXPECT_EQ(sizes.file, "");
  EXPECT_EQ(sizes.stack.read.path(), "");
  EXPECT_EQ(sizes.stack.read.reason(), "the MDK target has no startup file");
}

}  // namespace
