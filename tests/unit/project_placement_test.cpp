// Where the project folder goes, and how the template, the MDK folder and the BSP fill it.
#include "app/project_placement.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

// A template the run can fill a project from: the bundled Cortex-M4 one, with the chip's linker
// script, since no BSP brings one here.
void WriteUsableTemplate(const std::string& folder) {
  MakeDirs(folder);
  CopyTree(SourceDir() + "/examples/ide-template/cm4", folder);
  WriteFile(folder + "/ldscripts/QM26R620AxG_FLASH.ld", "  FLASH (rx) : ORIGIN = 0, LENGTH = 1K\n");
}

class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project_.deviceName = "QM26R620AVGT7";
    project_.chipModel = "QM26R620A";
    project_.flashSizeCode = 'G';
  }
  void TearDown() override { g_projectPath.clear(); }

  bool Prepare(const RunPaths& paths) {
    ProjectLock lock;
    return PrepareProjectFolder(paths, project_, &lock);
  }

  RunPaths Paths(const std::string& mdk, const std::string& templates, const std::string& bsp = "",
                 const std::string& model = "QM26R620A") {
    return DeriveRunPaths(mdk, templates, bsp, model);
  }

  ProjectInfo project_;
  ScopedTempDir dir_;
};

TEST(RunPathsTest, EveryPathFollowsFromTheCommandLineAndTheModel) {
  const struct {
    const char* mdk;
    const char* mdkFolder;
  } folders[] = {
      {"/home/u/work/mdk/demo.uvprojx", "/home/u/work/mdk"},
      {"/demo.uvprojx", ""},
      {"mdk/demo.uvprojx", "mdk"},
      {"a/b\\c/demo.uvprojx", "a/b\\c"},
      {"C:\\work\\mdk\\demo.uvprojx", "C:\\work\\mdk"},
      {"demo.uvprojx", "."},
  };
  for (const auto& c : folders) {
    const RunPaths paths = DeriveRunPaths(c.mdk, "/t", "", "QM26R620A");
    EXPECT_EQ(paths.mdkFolder, c.mdkFolder) << c.mdk;
    EXPECT_EQ(paths.projectFolder, std::string(c.mdkFolder) + "/../qm26_ide_proj");
    EXPECT_EQ(paths.projectLinkerFolder, paths.projectFolder + "/ldscripts");
  }

  RunPaths paths = DeriveRunPaths("/w/mdk/a.uvprojx", "/t", "", "QM26R620A");
  EXPECT_EQ(paths.templateFolder, "/t/QM26R620A/QM26_IDE");
  EXPECT_FALSE(paths.templatesFromWorkingDirectory);
  EXPECT_EQ(paths.bspLinkerFolder, "");
  EXPECT_EQ(paths.bspStartupFile, "");

  // The BSP root is completed with the series; a path that names the series stays.
  const std::string gcc = "/libraries/cmsis/cm4/device_support/startup/gcc";
  const struct {
    const char* bsp;
    const char* model;
    std::string gcc;
  } bsps[] = {
      {"/bsp", "QM26R620A", "/bsp/QM26R620A_625" + gcc},
      {"/bsp/QM26R620A_625_lib/", "QM26R620A", "/bsp/QM26R620A_625_lib/" + gcc},
      {"C:\\bsp\\QM26R620A_625", "QM26R620A", "C:\\bsp\\QM26R620A_625" + gcc},
      {"/QM26R620A_625/bsp", "QM26R620A", "/QM26R620A_625/bsp/QM26R620A_625" + gcc},
      {"///", "QM26R620A", "////QM26R620A_625" + gcc},
      // No series: every path counts as the series folder.
      {"/bsp", "QM26R650", "/bsp" + gcc},
      {"/bsp", "QM26S110",
       "/bsp/QM26S110/libraries/cmsis/cm0plus/device_support/startup/gcc"},
  };
  for (const auto& c : bsps) {
    paths = DeriveRunPaths("/w/mdk/a.uvprojx", "/t", c.bsp, c.model);
    EXPECT_EQ(paths.bspLinkerFolder, c.gcc + "/linker") << c.bsp << " " << c.model;
    EXPECT_EQ(paths.bspStartupFile, c.gcc + "/" + paths.startupName);
    EXPECT_FALSE(paths.startupName.empty());
  }
}

TEST_F(PlacementTest, WorkingDirectoryTemplatesWhenNoPathIsGiven) {
  WriteUsableTemplate(dir_ / "QM26IDE_Templates/QM26R620A/QM26_IDE");
  WriteFile(dir_ / "mdk/demo.uvprojx", "mdk");
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir(dir_.path().c_str()), 0);
  const RunPaths paths = Paths(dir_ / "mdk/demo.uvprojx", "");
  ASSERT_EQ(chdir(saved), 0);
  EXPECT_TRUE(paths.templatesFromWorkingDirectory);
  EXPECT_EQ(paths.templateFolder, dir_ / "QM26IDE_Templates/QM26R620A/QM26_IDE");

  CaptureStdout([&] { EXPECT_TRUE(Prepare(paths)); });
  PlacedFiles copies;
  const std::vector<std::string> lines =
      SplitLines(CaptureStdout([&] { EXPECT_TRUE(PlaceTemplate(paths, &copies)); }));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Program current run directory: " + dir_.path());
  EXPECT_EQ(lines[1], "Templates path: " + paths.templateFolder);
}

TEST_F(PlacementTest, PrepareCreatesOrEmptiesTheFolderBesideTheMdkFolder) {
  MakeDirs(dir_ / "work/mdk");
  WriteUsableTemplate(dir_ / "tpl/QM26R620A/QM26_IDE");
  const RunPaths paths = Paths(dir_ / "work/mdk/demo.uvprojx", dir_ / "tpl");
  for (int run = 0; run < 2; ++run) {
    bool prepared = false;
    const std::string out = CaptureStdout([&] { prepared = Prepare(paths); });
    EXPECT_TRUE(prepared);
    EXPECT_EQ(g_projectPath, dir_ / "work/mdk/../qm26_ide_proj");
    EXPECT_EQ(out, "qm26ide_project_path:" + g_projectPath + "\n");
    EXPECT_TRUE(IsDirectory(dir_ / "work/qm26_ide_proj"));
    EXPECT_TRUE(ListTree(dir_ / "work/qm26_ide_proj").empty());
    WriteFile(dir_ / "work/qm26_ide_proj/.hidden", "h");
    WriteFile(dir_ / "work/qm26_ide_proj/a/b/c.txt", "c");
  }
}

TEST_F(PlacementTest, PrepareNamesAFolderItCannotCreate) {
  WriteUsableTemplate(dir_ / "tpl/QM26R620A/QM26_IDE");
  WriteFile(dir_ / "taken/mdk/demo.uvprojx", "mdk");
  WriteFile(dir_ / "taken/qm26_ide_proj", "a file in the way");
  WriteFile(dir_ / "locked/mdk/demo.uvprojx", "mdk");
  ASSERT_EQ(chmod((dir_ / "locked").c_str(), 0555), 0);
  const struct {
    const char* parent;
    const char* reason;
  } cases[] = {{"taken", "File exists"}, {"locked", "Permission denied"}};
  for (const auto& c : cases) {
    const RunPaths paths =
        Paths(dir_ / (std::string(c.parent) + "/mdk/demo.uvprojx"), dir_ / "tpl");
    const std::string out = CaptureStdout([&] {
      EXPECT_EQ(RunUnprivileged([&] { return Prepare(paths) ? 0 : 1; }), 1);
    });
    EXPECT_EQ(out, "qm26ide_project_path:" + paths.projectFolder + "\nFailed to create folder: " +
                       paths.projectFolder + ": " + c.reason + "\n");
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
  const RunPaths paths = Paths(dir_ / "mdk/demo.uvprojx", dir_ / "tpl");
  MakeDirs(paths.projectFolder);

  bool placed = false;
  PlacedFiles copies;
  const std::string out = CaptureStdout([&] { placed = PlaceTemplate(paths, &copies); });
  EXPECT_TRUE(placed);
  // What came from the MDK folder, relative to it: the template's files are not among them.
  EXPECT_EQ(std::set<std::string>(copies.mdkCopies.begin(), copies.mdkCopies.end()),
            (std::set<std::string>{"demo.uvprojx", "preferences.ini", "obj/out.o"}));
  // Every file copied is listed, as the project folder holds it.
  std::set<std::string> listed(copies.projectFiles.begin(), copies.projectFiles.end());
  for (const std::string& entry : ListTree(dir_ / "qm26_ide_proj")) {
    if (entry.back() != '/') {
      EXPECT_EQ(listed.erase(entry), 1u) << entry;
    }
  }
  EXPECT_TRUE(listed.empty());
  const std::vector<std::string> lines = SplitLines(out);
  EXPECT_EQ(lines.front(), "Templates path: " + dir_ / "tpl/QM26R620A/QM26_IDE");
  EXPECT_EQ(std::set<std::string>(lines.begin() + 1, lines.end()),
            (std::set<std::string>{
                "Successfully to copy file: " + dir_ / "tpl/QM26R620A/QM26_IDE/.project",
                "Successfully to copy file: " + dir_ / "tpl/QM26R620A/QM26_IDE/preferences.ini",
                "Successfully to copy file: " + dir_ / "mdk/demo.uvprojx",
                "Successfully to copy file: " + dir_ / "mdk/preferences.ini",
                "Successfully to copy file: " + dir_ / "mdk/obj/out.o"}));
  EXPECT_EQ(ListTree(dir_ / "qm26_ide_proj"),
            (std::set<std::string>{".project", "preferences.ini", "demo.uvprojx", "obj/",
                                   "obj/out.o"}));
  // The MDK folder's copy comes last and wins.
  EXPECT_EQ(ReadFile(dir_ / "qm26_ide_proj/preferences.ini"), "mdk prefs");
}

TEST_F(PlacementTest, TemplateFailuresNameTheEntryOnBothStreams) {
  MakeDirs(dir_ / "mdk");
  MakeDirs(dir_ / "qm26_ide_proj");
  RunPaths paths = Paths(dir_ / "mdk/demo.uvprojx", dir_ / "none");
  bool placed = true;
  PlacedFiles copies;
  std::string out = CaptureStdout([&] { placed = PlaceTemplate(paths, &copies); });
  EXPECT_FALSE(placed);
  EXPECT_EQ(SplitLines(out), (std::vector<std::string>{
                                 "Templates path: " + dir_ / "none/QM26R620A/QM26_IDE",
                                 "Templates path does not exist."}));

  // A template file that cannot be written into the project: the project path is a regular file.
  WriteFile(dir_ / "tpl/QM26R620A/QM26_IDE/.project", "template");
  RemoveTree(dir_ / "qm26_ide_proj");
  WriteFile(dir_ / "qm26_ide_proj", "a file in the way");
  paths = Paths(dir_ / "mdk/demo.uvprojx", dir_ / "tpl");
  const std::string err =
      CaptureStderr([&] { out = CaptureStdout([&] { placed = PlaceTemplate(paths, &copies); }); });
  EXPECT_FALSE(placed);
  EXPECT_EQ(SplitLines(out),
            (std::vector<std::string>{"Templates path: " + paths.templateFolder,
                                      "Failed to copy file: " + paths.templateFolder,
                                      "Failed to copy the tamplate file."}));
  EXPECT_EQ(err, paths.projectFolder + ": Not a directory\n");
  EXPECT_EQ(ReadFile(dir_ / "qm26_ide_proj"), "a file in the way");
}

TEST_F(PlacementTest, BspFilesLandInLdscriptsAndAtTheTop) {
  for (const char* model : {"QM26R620A", "QM26S110"}) {
    SCOPED_TRACE(model);
    const RunPaths paths = Paths(dir_ / "mdk/demo.uvprojx", dir_ / "tpl", dir_ / "bsp", model);
    WriteFile(paths.bspStartupFile, "startup");
    WriteFile(paths.bspLinkerFolder + "/" + model + "xG_FLASH.ld", "ld G");
    WriteFile(paths.bspLinkerFolder + "/" + model + "xE_FLASH.ld", "ld E");
    RemoveTree(paths.projectFolder);
    MakeDirs(paths.projectFolder);
    bool placed = false;
    PlacedFiles placedBsp;
    const std::string out = CaptureStdout([&] { placed = PlaceBspFiles(paths, &placedBsp); });
    EXPECT_TRUE(placed);
    const std::vector<std::string> lines = SplitLines(out);
    ASSERT_EQ(lines.size(), 4u) << out;
    EXPECT_EQ(lines[2], "The linker file was updated successfully.");
    EXPECT_EQ(lines[3], "The startup file was updated successfully.");
    EXPECT_EQ(ListTree(paths.projectFolder),
              (std::set<std::string>{"ldscripts/", "ldscripts/" + std::string(model) + "xG_FLASH.ld",
                                     "ldscripts/" + std::string(model) + "xE_FLASH.ld",
                                     paths.startupName}));
    EXPECT_EQ(std::set<std::string>(placedBsp.projectFiles.begin(), placedBsp.projectFiles.end()),
              (std::set<std::string>{"ldscripts/" + std::string(model) + "xG_FLASH.ld",
                                     "ldscripts/" + std::string(model) + "xE_FLASH.ld",
                                     paths.startupName}));
  }
}

TEST_F(PlacementTest, BspFailuresNameTheMissingPiece) {
  const RunPaths paths = Paths(dir_ / "mdk/demo.uvprojx", dir_ / "tpl", dir_ / "bsp");
  MakeDirs(paths.projectFolder);
  bool placed = true;
  PlacedFiles placedBsp;
  // No series folder at all.
  std::string out = CaptureStdout([&] { placed = PlaceBspFiles(paths, &placedBsp); });
  EXPECT_FALSE(placed);
  EXPECT_EQ(SplitLines(out), std::vector<std::string>{"Failed to copy the ld file."});

  // Linker folder there, startup file missing.
  WriteFile(paths.bspLinkerFolder + "/QM26R620AxG_FLASH.ld", "ld");
  const std::string err =
      CaptureStderr([&] { out = CaptureStdout([&] { placed = PlaceBspFiles(paths, &placedBsp); }); });
  EXPECT_FALSE(placed);
  const std::vector<std::string> lines = SplitLines(out);
  EXPECT_EQ(lines.back(), "Failed to copy the .s file.");
  EXPECT_EQ(lines[lines.size() - 2], "The linker file was updated successfully.");
  EXPECT_EQ(err, paths.bspStartupFile + ": No such file or directory\n");
}

}  // namespace
