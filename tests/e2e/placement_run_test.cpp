// Runs that place the project folder: bad templates and BSPs, an occupied or stubborn project
// folder, links in the MDK folder, long paths. Nothing outside the project folder may change.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/fixture_tree.h"
#include "support/test_support.h"

namespace {

class PlacementRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "work/mdk/p.uvprojx", MdkProjectXml("QM26R620AVGT7", {"..\\src\\main.c"}));
    WriteFile(dir_ / "work/src/main.c", "int main(void) { return 0; }\n");
    WriteTemplate(dir_ / "tpl/QM26R620A/QM26_IDE");
    WriteBspSeries(dir_ / "bsp/QM26R620A_625", "cm4", "QM26R620A", "startup_qm26r620a_625.s", "GE");
  }

  RunResult Run(const std::string& bsp = "", bool unprivileged = false) {
    std::vector<std::string> args = {"-MDKPATH", dir_ / "work/mdk/p.uvprojx", "-TEMPLATESPATH",
                                     dir_ / "tpl"};
    if (!bsp.empty()) args.insert(args.end(), {"-BSPPATH", bsp});
    return RunGeneratorBinary(args, dir_.path(), unprivileged);
  }

  std::string Project() const { return dir_ / "work/qm26_ide_proj"; }
  std::string ProjectLine() const { return "qm26ide_project_path:" + dir_ / "work/mdk/../qm26_ide_proj"; }

  ScopedTempDir dir_;
};

TEST_F(PlacementRunTest, FailuresStopWithTheirMessageAndTouchNothingOutside) {
  const std::string gcc = dir_ / "bsp/QM26R620A_625/libraries/cmsis/cm4/device_support/startup/gcc";
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::string bsp;
    std::string lastLine;
  };
  const std::vector<Case> cases = {
      {"missing templates folder", [&] { RemoveTree(dir_ / "tpl/QM26R620A"); }, "",
       "Templates path does not exist."},
      {"BSP without the series folder", [&] { RemoveTree(dir_ / "bsp/QM26R620A_625"); },
       dir_ / "bsp", "Failed to copy the ld file."},
  };
  for (const Case& c : cases) {
    SetUp();
    c.arrange();
    const auto before = Snapshot(dir_.path(), "work/qm26_ide_proj");
    const RunResult run = Run(c.bsp);
    EXPECT_EQ(run.exitStatus, 255) << c.what;
    EXPECT_EQ(SplitLines(run.out).back(), c.lastLine) << c.what << "\n" << run.out;
    EXPECT_EQ(Snapshot(dir_.path(), "work/qm26_ide_proj"), before) << c.what;
    RemoveTree(Project());
  }
}

TEST_F(PlacementRunTest, UnreadableTemplateFileFailsTheTemplateCopy) {
  WriteFile(dir_ / "tpl/QM26R620A/QM26_IDE/secret.txt", "no");
  chmod((dir_ / "tpl/QM26R620A/QM26_IDE/secret.txt").c_str(), 0);
  chmod((dir_ / "work").c_str(), 0777);
  const auto before = Snapshot(dir_.path(), "work/qm26_ide_proj");
  const RunResult run = Run("", true);
  EXPECT_EQ(run.exitStatus, 255) << run.out;
  const std::vector<std::string> lines = SplitLines(run.out);
  EXPECT_EQ(lines.back(), "Failed to copy the tamplate file.");
  // The walk goes on after the failure, in the folder's listing order.
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Failed to copy file: " + dir_ / "tpl/QM26R620A/QM26_IDE/secret.txt"),
            lines.end())
      << run.out;
  EXPECT_NE(run.err.find("secret.txt: Permission denied"), std::string::npos) << run.err;
  EXPECT_EQ(Snapshot(dir_.path(), "work/qm26_ide_proj"), before);
}

TEST_F(PlacementRunTest, ProjectPathTakenByARegularFile) {
  WriteFile(Project(), "mine");
  const RunResult run = Run();
  EXPECT_EQ(run.exitStatus, 255);
  EXPECT_EQ(SplitLines(run.out).back(),
            "Failed to create folder: " + dir_ / "work/mdk/../qm26_ide_proj" + ": File exists");
  EXPECT_EQ(ReadFile(Project()), "mine");
}

TEST_F(PlacementRunTest, AFolderThatCannotBeEmptiedStopsTheRunBeforeAnythingIsWritten) {
  if (!RunningAsRoot()) GTEST_SKIP() << "needs root to leave files the run's user cannot remove";
  // Left by a build as root: a stale source the IDE would compile, and a link to a file outside,
  // which a copy of the template's .project would write through.
  WriteFile(Project() + "/Debug/stale.c", "int stale;\n");
  WriteFile(dir_ / "outside.txt", "not the run's");
  ASSERT_EQ(chmod((dir_ / "outside.txt").c_str(), 0666), 0);
  ASSERT_EQ(symlink((dir_ / "outside.txt").c_str(), (Project() + "/.project").c_str()), 0);
  ASSERT_EQ(chmod((dir_ / "work").c_str(), 0777), 0);

  const RunResult run = Run(dir_ / "bsp", true);
  EXPECT_EQ(run.exitStatus, 255) << run.out << run.err;
  std::vector<std::string> lines = SplitLines(run.out);
  const auto at = std::find(lines.begin(), lines.end(), ProjectLine());
  ASSERT_NE(at, lines.end());
  const std::string project = dir_ / "work/mdk/../qm26_ide_proj";
  EXPECT_EQ(std::set<std::string>(at + 1, lines.end() - 1),
            (std::set<std::string>{"Failed to delete: " + project + "/.project: Permission denied",
                                   "Failed to delete: " + project + "/Debug/stale.c: Permission denied",
                                   "Failed to delete: " + project + "/Debug: Permission denied"}));
  EXPECT_EQ(lines.back(), "The project folder could not be emptied: " + project);
  EXPECT_EQ(ReadFile(dir_ / "outside.txt"), "not the run's");
  EXPECT_EQ(ReadFile(Project() + "/Debug/stale.c"), "int stale;\n");
  EXPECT_FALSE(Exists(Project() + "/.cproject"));
}

TEST_F(PlacementRunTest, LinksInTheMdkFolderAreCopiedAsWhatTheyPointTo) {
  WriteFile(dir_ / "outside/shared.h", "#define SHARED 1\n");
  WriteFile(dir_ / "outside/lib/util.c", "int util;\n");
  ASSERT_EQ(symlink((dir_ / "outside/shared.h").c_str(), (dir_ / "work/mdk/shared.h").c_str()), 0);
  ASSERT_EQ(symlink((dir_ / "outside/lib").c_str(), (dir_ / "work/mdk/lib").c_str()), 0);
  ASSERT_EQ(symlink((dir_ / "nowhere").c_str(), (dir_ / "work/mdk/dangling").c_str()), 0);
  // A loop: outside/lib/loop leads back to outside, which holds lib again.
  ASSERT_EQ(symlink("..", (dir_ / "outside/lib/loop").c_str()), 0);
  const auto before = Snapshot(dir_.path(), "work/qm26_ide_proj");
  const RunResult run = Run();
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;

  struct stat st;
  ASSERT_EQ(lstat((Project() + "/shared.h").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(ReadFile(Project() + "/shared.h"), "#define SHARED 1\n");
  ASSERT_EQ(lstat((Project() + "/lib").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(ReadFile(Project() + "/lib/util.c"), "int util;\n");
  EXPECT_FALSE(Exists(Project() + "/dangling"));
  // The loop leads back to a folder already being copied and is not entered again.
  EXPECT_EQ(Snapshot(dir_.path(), "work/qm26_ide_proj"), before);
  EXPECT_LT(ListTree(Project()).size(), 30u);
}

TEST_F(PlacementRunTest, ProjectPathLongerThan300Characters) {
  std::string deep = dir_ / "work";
  for (int i = 0; i < 6; ++i) deep += "/" + std::string(50, static_cast<char>('a' + i));
  WriteFile(deep + "/mdk/p.uvprojx", MdkProjectXml("QM26R620AVGT7", {"..\\src\\main.c"}));
  const std::string project = deep + "/mdk/../qm26_ide_proj";
  ASSERT_GT(project.size(), 300u);
  const RunResult run = RunGeneratorBinary(
      {"-MDKPATH", deep + "/mdk/p.uvprojx", "-TEMPLATESPATH", dir_ / "tpl", "-BSPPATH", dir_ / "bsp"},
      dir_.path());
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(SplitLines(run.out).back(), "Project path: " + project);
  EXPECT_EQ(ListTree(deep + "/qm26_ide_proj"),
            (std::set<std::string>{".project", ".cproject", "preferences.ini", "p.uvprojx", "ldscripts/",
                                   "ldscripts/QM26R620AxG_FLASH.ld", "startup_qm26r620a_625.s"}));
}

}  // namespace
