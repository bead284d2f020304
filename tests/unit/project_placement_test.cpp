// Where the project folder goes, and how the template, the MDK folder and the BSP fill it.
#include "app/project_placement.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "fs/project_path.h"
#include "mdk/project_info.h"
#include "support/test_support.h"

namespace {

class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    info_.chipModel = "QM26R620A";
    g_project = &info_;
  }
  void TearDown() override {
    g_project = nullptr;
    g_projectPath.clear();
  }

  ProjectInfo info_;
  ScopedTempDir dir_;
};

TEST(MdkFolderTest, SplitsAtTheLastSlashElseTheLastBackslash) {
  const struct {
    const char* path;
    const char* folder;
  } cases[] = {
      {"/home/u/work/mdk/demo.uvprojx", "/home/u/work/mdk"},
      {"/demo.uvprojx", ""},
      {"mdk/demo.uvprojx", "mdk"},
      {"a/b\\c/demo.uvprojx", "a/b\\c"},
      {"C:\\work\\mdk\\demo.uvprojx", "C:\\work\\mdk"},
      {"demo.uvprojx", "."},
      {"", "."},
  };
  for (const auto& c : cases) EXPECT_EQ(MdkFolderOf(c.path), c.folder) << c.path;
}

TEST(SplitStringTest, KeepsNonEmptyRunsAndAppends) {
  std::vector<std::string> pieces = {"kept"};
  SplitString("//a/b//c/", "/", pieces);
  EXPECT_EQ(pieces, (std::vector<std::string>{"kept", "a", "b", "c"}));
  pieces.clear();
  SplitString("x;y,z", ";,", pieces);
  EXPECT_EQ(pieces, (std::vector<std::string>{"x", "y", "z"}));
  pieces.clear();
  SplitString("///", "/", pieces);
  EXPECT_TRUE(pieces.empty());
}

TEST_F(PlacementTest, SeriesMatchLooksAtTheLastComponentOnly) {
  EXPECT_TRUE(PathMatchesSeries("/bsp/QM26R620A_625"));
  EXPECT_TRUE(PathMatchesSeries("/bsp/QM26R620A_625_lib/"));
  EXPECT_TRUE(PathMatchesSeries("C:\\bsp\\QM26R620A_625"));
  EXPECT_FALSE(PathMatchesSeries("/bsp"));
  EXPECT_FALSE(PathMatchesSeries("/QM26R620A_625/bsp"));
  EXPECT_FALSE(PathMatchesSeries("/bsp/qm26r620a_625"));
  EXPECT_FALSE(PathMatchesSeries("///"));
  info_.chipModel = "QM26R650";  // no series: every path counts as the series folder
  EXPECT_TRUE(PathMatchesSeries("/bsp"));
}

TEST_F(PlacementTest, PrepareCreatesOrEmptiesTheFolderBesideTheMdkFolder) {
  MakeDirs(dir_ / "work/mdk");
  MakeDirs(dir_ / "tpl/QM26R620A/QM26_IDE");
  bool prepared = false;
  std::string out = CaptureStdout([&] {
    prepared = PrepareProjectFolder(dir_ / "work/mdk/demo.uvprojx", dir_ / "tpl", "");
  });
  EXPECT_TRUE(prepared);
  EXPECT_EQ(g_projectPath, dir_ / "work/mdk/../qm26_ide_proj");
  EXPECT_EQ(out, "qm26ide_project_path:" + g_projectPath + "\n");
  EXPECT_TRUE(IsDirectory(dir_ / "work/qm26_ide_proj"));

  WriteFile(dir_ / "work/qm26_ide_proj/.hidden", "h");
  WriteFile(dir_ / "work/qm26_ide_proj/a/b/c.txt", "c");
  out = CaptureStdout([&] {
    prepared = PrepareProjectFolder(dir_ / "work/mdk/demo.uvprojx", dir_ / "tpl", "");
  });
  EXPECT_TRUE(prepared);
  EXPECT_EQ(out, "qm26ide_project_path:" + g_projectPath + "\n");
  EXPECT_TRUE(IsDirectory(dir_ / "work/qm26_ide_proj"));
  EXPECT_TRUE(ListTree(dir_ / "work/qm26_ide_proj").empty());
}

TEST_F(PlacementTest, PrepareNamesAFolderItCannotCreate) {
  MakeDirs(dir_ / "tpl/QM26R620A/QM26_IDE");
  WriteFile(dir_ / "taken/mdk/demo.uvprojx", "mdk");
  WriteFile(dir_ / "taken/qm26_ide_proj", "a file in the way");
  WriteFile(dir_ / "locked/mdk/demo.uvprojx", "mdk");
  ASSERT_EQ(chmod((dir_ / "locked").c_str(), 0555), 0);
  const struct {
    const char* parent;
    const char* reason;
  } cases[] = {{"taken", "File exists"}, {"locked", "Permission denied"}};
  for (const auto& c : cases) {
    const std::string mdk = dir_ / (std::string(c.parent) + "/mdk/demo.uvprojx");
    const std::string project = dir_ / (std::string(c.parent) + "/mdk/../qm26_ide_proj");
    const std::string out = CaptureStdout([&] {
      EXPECT_EQ(RunUnprivileged([&] { return PrepareProjectFolder(mdk, dir_ / "tpl", "") ? 0 : 1; }), 1);
    });
    EXPECT_EQ(out, "qm26ide_project_path:" + project + "\nFailed to create folder: " + project + ": " +
                       c.reason + "\n");
  }
  EXPECT_EQ(ReadFile(dir_ / "taken/qm26_ide_proj"), "a file in the way");
  EXPECT_FALSE(Exists(dir_ / "locked/qm26_ide_proj"));
}

TEST_F(PlacementTest, TemplateThenMdkFolderFillTheProject) {
  WriteFile(dir_ / "tpl/QM26R620A/QM26_IDE/.project", "template");
  WriteFile(dir_ / "tpl/QM26R620A/QM26_IDE/preferences.ini", "template prefs");
  WriteFile(dir_ / "mdk/demo.uvprojx", "mdk");
  WriteFile(dir_ / "mdk/preferences.ini", "mdk prefs");
  WriteFile(dir_ / "mdk/obj/out.o", "o");
  CaptureStdout([&] { PrepareProjectFolder(dir_ / "mdk/demo.uvprojx", dir_ / "tpl", ""); });

  bool placed = false;
  const std::string out = CaptureStdout([&] { placed = PlaceTemplate(dir_ / "tpl", dir_ / "mdk"); });
  EXPECT_TRUE(placed);
  EXPECT_EQ(SplitLines(out).front(), "Templates path: " + dir_ / "tpl/QM26R620A/QM26_IDE");
  EXPECT_EQ(SplitLines(out).size(), 1u + 5u);  // one line per copied file
  EXPECT_EQ(ListTree(dir_ / "qm26_ide_proj"),
            (std::set<std::string>{".project", "preferences.ini", "demo.uvprojx", "obj/",
                                   "obj/out.o"}));
  // The MDK folder's copy comes last and wins.
  EXPECT_EQ(ReadFile(dir_ / "qm26_ide_proj/preferences.ini"), "mdk prefs");
}

TEST_F(PlacementTest, TemplateFailures) {
  MakeDirs(dir_ / "mdk");
  g_projectPath = dir_ / "mdk/../qm26_ide_proj";
  MakeDirs(g_projectPath);
  bool placed = true;
  std::string out = CaptureStdout([&] { placed = PlaceTemplate(dir_ / "none", dir_ / "mdk"); });
  EXPECT_FALSE(placed);
  EXPECT_EQ(SplitLines(out), (std::vector<std::string>{
                                 "Templates path: " + dir_ / "none/QM26R620A/QM26_IDE",
                                 "Templates path does not exist."}));

  // A template file that cannot be written into the project: the project path is a regular file.
  WriteFile(dir_ / "tpl/QM26R620A/QM26_IDE/.project", "template");
  RemoveTree(dir_ / "qm26_ide_proj");
  WriteFile(dir_ / "qm26_ide_proj", "a file in the way");
  CaptureStderr([&] {
    out = CaptureStdout([&] { placed = PlaceTemplate(dir_ / "tpl", dir_ / "mdk"); });
  });
  EXPECT_FALSE(placed);
  EXPECT_EQ(SplitLines(out).back(), "Failed to copy the tamplate file.");
  EXPECT_EQ(ReadFile(dir_ / "qm26_ide_proj"), "a file in the way");
}

TEST_F(PlacementTest, WorkingDirectoryTemplatesWhenNoPathIsGiven) {
  WriteFile(dir_ / "QM26IDE_Templates/QM26R620A/QM26_IDE/.project", "t");
  MakeDirs(dir_ / "mdk");
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir(dir_.path().c_str()), 0);
  CaptureStdout([&] { PrepareProjectFolder(dir_ / "mdk/demo.uvprojx", "", ""); });
  bool placed = false;
  const std::string out = CaptureStdout([&] { placed = PlaceTemplate("", dir_ / "mdk"); });
  ASSERT_EQ(chdir(saved), 0);
  EXPECT_TRUE(placed);
  const std::vector<std::string> lines = SplitLines(out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Program current run directory: " + dir_.path());
  EXPECT_EQ(lines[1], "Templates path: " + dir_ / "QM26IDE_Templates/QM26R620A/QM26_IDE");
}

TEST_F(PlacementTest, BspRootIsCompletedWithTheSeries) {
  const std::string gcc =
      dir_ / "bsp/QM26R620A_625/libraries/cmsis/cm4/device_support/startup/gcc";
  WriteFile(gcc + "/startup_qm26r620a_625.s", "startup");
  WriteFile(gcc + "/linker/QM26R620AxG_FLASH.ld", "ld G");
  WriteFile(gcc + "/linker/QM26R620AxE_FLASH.ld", "ld E");
  MakeDirs(dir_ / "proj");
  g_projectPath = dir_ / "proj";

  for (const std::string& bsp : {dir_ / "bsp", dir_ / "bsp/QM26R620A_625/"}) {
    RemoveTree(dir_ / "proj");
    MakeDirs(dir_ / "proj");
    bool placed = false;
    const std::string out = CaptureStdout([&] { placed = PlaceBspFiles(bsp); });
    EXPECT_TRUE(placed) << bsp;
    const std::vector<std::string> lines = SplitLines(out);
    ASSERT_EQ(lines.size(), 4u) << out;
    EXPECT_EQ(lines[2], "The linker file was updated successfully.");
    EXPECT_EQ(lines[3], "The startup file was updated successfully.");
    EXPECT_EQ(ListTree(dir_ / "proj"),
              (std::set<std::string>{"ldscripts/", "ldscripts/QM26R620AxG_FLASH.ld",
                                     "ldscripts/QM26R620AxE_FLASH.ld", "startup_qm26r620a_625.s"}));
  }
}

TEST_F(PlacementTest, BspFailuresNameTheMissingPiece) {
  MakeDirs(dir_ / "proj");
  g_projectPath = dir_ / "proj";
  bool placed = true;
  // No series folder at all.
  std::string out = CaptureStdout([&] { placed = PlaceBspFiles(dir_ / "bsp"); });
  EXPECT_FALSE(placed);
  EXPECT_EQ(SplitLines(out), std::vector<std::string>{"Failed to copy the ld file."});

  // A series without the linker folder.
  const std::string gcc =
      dir_ / "bsp/QM26R620A_625/libraries/cmsis/cm4/device_support/startup/gcc";
  WriteFile(gcc + "/startup_qm26r620a_625.s", "startup");
  out = CaptureStdout([&] { placed = PlaceBspFiles(dir_ / "bsp"); });
  EXPECT_FALSE(placed);
  EXPECT_EQ(SplitLines(out), std::vector<std::string>{"Failed to copy the ld file."});

  // Linker folder there, startup file missing.
  RemoveTree(gcc + "/startup_qm26r620a_625.s");
  WriteFile(gcc + "/linker/QM26R620AxG_FLASH.ld", "ld");
  std::string err;
  err = CaptureStderr([&] { out = CaptureStdout([&] { placed = PlaceBspFiles(dir_ / "bsp"); }); });
  EXPECT_FALSE(placed);
  const std::vector<std::string> lines = SplitLines(out);
  EXPECT_EQ(lines.back(), "Failed to copy the .s file.");
  EXPECT_EQ(lines[lines.size() - 2], "The linker file was updated successfully.");
  EXPECT_NE(err.find(gcc + "/startup_qm26r620a_625.s"), std::string::npos) << err;
}

TEST_F(PlacementTest, CortexM0PlusModelUsesItsCoreFolder) {
  info_.chipModel = "QM26S110";
  const std::string gcc =
      dir_ / "bsp/QM26S110/libraries/cmsis/cm0plus/device_support/startup/gcc";
  WriteFile(gcc + "/startup_qm26s110.s", "startup");
  WriteFile(gcc + "/linker/QM26S110x8_FLASH.ld", "ld");
  MakeDirs(dir_ / "proj");
  g_projectPath = dir_ / "proj";
  bool placed = false;
  CaptureStdout([&] { placed = PlaceBspFiles(dir_ / "bsp"); });
  EXPECT_TRUE(placed);
  EXPECT_TRUE(Exists(dir_ / "proj/startup_qm26s110.s"));
  EXPECT_TRUE(Exists(dir_ / "proj/ldscripts/QM26S110x8_FLASH.ld"));
}

}  // namespace
