// Tests of reducing "ldscripts" to the chip's script and writing the target's memory into it.
#include "chip/linker_script.h"

#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "chip/chip_catalogue.h"
#include "mdk/project_info.h"
#include "support/test_support.h"

namespace {

const std::string kScript =
    "/* QM26 linker script */\n"
    "MEMORY\n"
    "{\n"
    "  FLASH (rx)      : ORIGIN = 0x00000000, LENGTH = 1K\n"
    "  RAM (xrw)       : ORIGIN = 0x20000000, LENGTH = 128K\n"
    "}\n";

class LinkerScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project_.chipModel = "QM26R620A";
    project_.flashSizeCode = 'G';
    project_.flashSizeKb = 1024;
    project_.flashOrigin = 0x8000000;
  }

  // Runs the step on `folder` and returns what went wrong, one "<what>: <failure>" per line.
  std::string Update(const std::string& folder) {
    std::string problems;
    const std::string out = CaptureStdout([&] {
      const LinkerScriptUpdate update = UpdateLinkerScript(folder, project_, sizes_);
      if (!update.folder) problems += "folder " + update.folder.Describe() + "\n";
      for (const Result& notDeleted : update.notDeleted) {
        problems += "kept " + notDeleted.Describe() + "\n";
      }
      if (!update.script) problems += "script " + update.script.Describe() + "\n";
      if (!update.written) problems += "written " + update.written.Describe() + "\n";
    });
    EXPECT_EQ(out, "");
    return problems;
  }

  ProjectInfo project_;
  StartupSizes sizes_;
  ScopedTempDir dir_;
};

TEST_F(LinkerScriptTest, FormatFlashLineAndTheLengthItTakes) {
  struct Case {
    uint64_t origin;
    uint64_t length;
    const char* expected;
  };
  const Case cases[] = {
      {0x8000000, 1024 * 1024, "FLASH (rx)      : ORIGIN = 0x08000000, LENGTH = 1024K"},
      {0x0, 0, "FLASH (rx)      : ORIGIN = 0x00000000, LENGTH = 0K"},
      {0xFFFFFFFF, 4096 * 1024, "FLASH (rx)      : ORIGIN = 0xFFFFFFFF, LENGTH = 4096K"},
      {0x1234ABCD00ull, 64 * 1024, "FLASH (rx)      : ORIGIN = 0x34ABCD00, LENGTH = 64K"},
      // An application behind a 16 KiB boot loader, and a region of no whole KiB.
      {0x08004000, 0xFC000, "FLASH (rx)      : ORIGIN = 0x08004000, LENGTH = 1008K"},
      {0x08000000, 0x1F80, "FLASH (rx)      : ORIGIN = 0x08000000, LENGTH = 0x1F80"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFlashLine(c.origin, c.length), c.expected);

  // The region the MDK target names wins over the chip's whole flash.
  EXPECT_EQ(FlashLengthOf(project_), 1024u * 1024);
  project_.flashLength = 0xFC000;
  EXPECT_EQ(FlashLengthOf(project_), 0xFC000u);
}

TEST_F(LinkerScriptTest, KeepsOnlyTheChipScriptAndRewritesItsFlashLine) {
  const std::string folder = dir_ / "ldscripts";
  for (const char* code : {"E", "G", "C"}) {
    WriteFile(folder + "/QM26R620Ax" + code + "_FLASH.ld", kScript);
  }
  WriteFile(folder + "/notes.txt", "x");
  WriteFile(folder + "/sub/QM26R620AxE_FLASH.ld", kScript);
  WriteFile(dir_ / "outside.ld", kScript);
  ASSERT_EQ(symlink((dir_ / "outside.ld").c_str(), (folder + "/link.ld").c_str()), 0);

  EXPECT_EQ(Update(folder), "");
  const std::set<std::string> expected = {"QM26R620AxG_FLASH.ld", "link.ld", "sub/",
                                          "sub/QM26R620AxE_FLASH.ld"};
  EXPECT_EQ(ListTree(folder), expected);
  EXPECT_EQ(ReadFile(dir_ / "outside.ld"), kScript);
  EXPECT_EQ(ReadFile(folder + "/sub/QM26R620AxE_FLASH.ld"), kScript);
  const std::vector<std::string> lines = SplitLines(ReadFile(folder + "/QM26R620AxG_FLASH.ld"));
  std::vector<std::string> wanted = SplitLines(kScript);
  wanted[3] = "FLASH (rx)      : ORIGIN = 0x08000000, LENGTH = 1024K";
  EXPECT_EQ(lines, wanted);
}

TEST_F(LinkerScriptTest, FlashLineChoiceInScripts) {
  struct Case {
    std::string script;
    std::string expected;
  };
  const std::string flash = "FLASH (rx)      : ORIGIN = 0x08000000, LENGTH = 1024K";
  const std::string noFlash = "MEMORY\n{\n  flash (rx) : x\n  FLASH  (rx) : y\n}\n";
  const Case cases[] = {
      {"MEMORY\r\n{\r\n  FLASH (rx) : ORIGIN = 0, LENGTH = 1K\r\n}\r\n",
       "MEMORY\r\n{\r\n" + flash + "\n}\r\n"},
      {"/* FLASH (rx) is set below */\nMEMORY\n{\n  FLASH (rx) : ORIGIN = 0\n}\n",
       flash + "\nMEMORY\n{\n  FLASH (rx) : ORIGIN = 0\n}\n"},
      {"/* " + std::string(5000, '-') + " */\n  FLASH (rx) : x\n",
       "/* " + std::string(5000, '-') + " */\n" + flash + "\n"},
      {noFlash, noFlash},
  };
  const std::string folder = dir_ / "ldscripts";
  const std::string path = folder + "/QM26R620AxG_FLASH.ld";
  for (const Case& c : cases) {
    WriteFile(path, c.script);
    EXPECT_EQ(Update(folder), "");
    EXPECT_EQ(ReadFile(path), c.expected) << c.script.substr(0, 40);
  }
}

TEST_F(LinkerScriptTest, TheTargetsRamStackAndHeap) {
  const std::string script =
      "_Min_Heap_Size = 0x200; /* heap */\n"
      "_Min_Stack_Size = 0x400;\n"
      "MEMORY\n{\n"
      "  FLASH (rx)      : ORIGIN = 0x08000000, LENGTH = 1024K\n"
      "  RAM (xrw)       : ORIGIN = 0x20000000, LENGTH = 128K\n"
      "}\n"
      "  . = . + _Min_Stack_Size;\n";
  const std::string path = dir_ / "ldscripts/QM26R620AxG_FLASH.ld";
  project_.flashOrigin = 0x08004000;
  project_.flashLength = 0xFC000;
  project_.ramOrigin = 0x20000000;
  project_.ramLength = 0x18000;
  sizes_.stack.read = Result::Success();
  sizes_.stack.bytes = 0x1800;
  sizes_.heap.read = Result::Success();
  sizes_.heap.bytes = 1536;

  WriteFile(path, script);
  EXPECT_EQ(Update(dir_ / "ldscripts"), "");
  EXPECT_EQ(ReadFile(path),
            "_Min_Heap_Size = 0x600;\n"
            "_Min_Stack_Size = 0x1800;\n"
            "MEMORY\n{\n"
            "FLASH (rx)      : ORIGIN = 0x08004000, LENGTH = 1008K\n"
            "RAM (xrw)       : ORIGIN = 0x20000000, LENGTH = 96K\n"
            "}\n"
            "  . = . + _Min_Stack_Size;\n");
  EXPECT_EQ(FormatRamLine(0x20000000, 0x1F00),
            "RAM (xrw)       : ORIGIN = 0x20000000, LENGTH = 0x1F00");

  // A scatter file of the user's own placed the image: the script's regions stay. A size that was
  // not read leaves the script's too.
  project_.settings["TargetArmAds/LDads/umfTarg"] = "0";
  project_.settings["TargetArmAds/LDads/ScatterFile"] = ".\\app.sct";
  sizes_.heap.read = Result::Failure("startup.s", "no Heap_Size EQU");
  WriteFile(path, script);
  EXPECT_EQ(Update(dir_ / "ldscripts"), "");
  std::string expected = script;
  expected.replace(0, expected.find('\n', expected.find('\n') + 1),
                   "_Min_Heap_Size = 0x200; /* heap */\n_Min_Stack_Size = 0x1800;");
  EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(LinkerScriptTest, UnknownCodeAndWideOrigin) {
  project_.flashSizeCode = 'J';
  project_.flashSizeKb = FlashSizeFromCode('J');
  project_.flashOrigin = 0x100002000ull;
  const std::string path = dir_ / "ldscripts/QM26R620AxJ_FLASH.ld";
  WriteFile(path, "  FLASH (rx) : old\n");
  EXPECT_EQ(Update(dir_ / "ldscripts"), "");
  EXPECT_EQ(ReadFile(path), "FLASH (rx)      : ORIGIN = 0x00002000, LENGTH = 0K\n");
}

TEST_F(LinkerScriptTest, MissingFolderUndeletableFileAndUnwritableScript) {
  EXPECT_EQ(Update(dir_ / "missing"), "folder " + dir_ / "missing: No such file or directory\n");
  WriteFile(dir_ / "a_file", "x");
  EXPECT_EQ(Update(dir_ / "a_file/ldscripts"),
            "folder " + dir_ / "a_file/ldscripts: Not a directory\n");

  // A folder that the unprivileged user (its owner too) may list but not change, and that lacks
  // the chip's script.
  const std::string folder = dir_ / "locked";
  WriteFile(folder + "/QM26R620AxE_FLASH.ld", kScript);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  EXPECT_EQ(RunUnprivileged([&] {
              const LinkerScriptUpdate update = UpdateLinkerScript(folder, project_, sizes_);
              return update.folder.ok() &&
                             update.script.Describe() ==
                                 folder + "/QM26R620AxG_FLASH.ld: no such file" &&
                             update.notDeleted.size() == 1 &&
                             update.notDeleted[0].Describe() ==
                                 folder + "/QM26R620AxE_FLASH.ld: Permission denied"
                         ? 0
                         : 1;
            }),
            0);
  EXPECT_EQ(ReadFile(folder + "/QM26R620AxE_FLASH.ld"), kScript);

  // The chip's script itself cannot be rewritten.
  const std::string script = dir_ / "readonly/QM26R620AxG_FLASH.ld";
  WriteFile(script, kScript);
  ASSERT_EQ(chmod(script.c_str(), 0444), 0);
  EXPECT_EQ(RunUnprivileged([&] {
              const LinkerScriptUpdate update = UpdateLinkerScript(dir_ / "readonly", project_, sizes_);
              return update.written.Describe() == script + ": Permission denied" ? 0 : 1;
            }),
            0);
  EXPECT_EQ(ReadFile(script), kScript);
}

}  // namespace
