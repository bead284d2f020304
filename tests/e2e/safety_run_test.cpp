// Runs that meet mistakes of the hand and faults of the machine: each ends with its message and
// 255, or gives a complete project, and nothing outside the project folder changes.
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

class SafetyRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(Mdk(), MdkProjectXml("QM26R620AVGT7", {"..\\src\\main.c"}));
    WriteFile(dir_ / "work/src/main.c", "int main(void) { return 0; }\n");
    WriteTemplate(dir_ / "tpl/QM26R620A/QM26_IDE");
    WriteBspSeries(dir_ / "bsp/QM26R620A_625", "cm4", "QM26R620A", "startup_qm26r620a_625.s", "GE");
  }

  std::string Mdk() const { return dir_ / "work/mdk/p.uvprojx"; }
  std::string Project() const { return dir_ / "work/mdk/../qm26_ide_proj"; }
  std::string Gcc() const {
    return dir_ / "bsp/QM26R620A_625/libraries/cmsis/cm4/device_support/startup/gcc";
  }

  // The lines every run prints up to the project folder.
  std::vector<std::string> Opening() const {
    std::vector<std::string> lines = BannerLines();
    lines.push_back("Success to read MDK project file: " + Mdk());
    lines.push_back("qm26ide_project_path:" + Project());
    return lines;
  }

  ScopedTempDir dir_;
};

TEST_F(SafetyRunTest, ARunThatCannotFillTheProjectLeavesItAsItWas) {
  // A project the user has worked in, and a folder that has nothing to do with the run.
  WriteFile(dir_ / "work/qm26_ide_proj/mine.c", "my work");
  WriteFile(dir_ / "work/qm26_ide_proj/notes/todo.txt", "todo");
  WriteFile(dir_ / "unrelated/keep.txt", "keep");
  MakeDirs(dir_ / "elsewhere");
  const std::string tpl = dir_ / "tpl/QM26R620A/QM26_IDE";
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::vector<std::string> args;
    std::string cwd;
    std::vector<std::string> tail;  // after the opening lines
  };
  const std::vector<Case> cases = {
      {"templates path mistyped", [] {}, {"-TEMPLATESPATH", dir_ / "tlp"}, dir_.path(),
       {"Templates path: " + dir_ / "tlp/QM26R620A/QM26_IDE", "Templates path does not exist."}},
      {"no templates in the working directory", [] {}, {}, dir_ / "elsewhere",
       {"Program current run directory: " + dir_ / "elsewhere",
        "Templates path: " + dir_ / "elsewhere/QM26IDE_Templates/QM26R620A/QM26_IDE",
        "Templates path does not exist."}},
      {"BSP without the linker folder", [&] { RemoveTree(Gcc() + "/linker"); },
       {"-TEMPLATESPATH", dir_ / "tpl", "-BSPPATH", dir_ / "bsp"}, dir_.path(),
       {"Templates path: " + tpl, "BSP linker folder does not exist: " + Gcc() + "/linker",
        "Failed to copy the ld file."}},
      {"BSP of another series", [] {}, {"-TEMPLATESPATH", dir_ / "tpl", "-BSPPATH", dir_ / "bsp/Other"},
       dir_.path(),
       {"Templates path: " + tpl,
        "BSP linker folder does not exist: " + dir_ / "bsp/Other/QM26R620A_625/libraries/cmsis/cm4/"
                                                      "device_support/startup/gcc/linker",
        "Failed to copy the ld file."}},
      {"BSP linker folder is a file",
       [&] {
         RemoveTree(Gcc() + "/linker");
         WriteFile(Gcc() + "/linker", "not a folder");
       },
       {"-TEMPLATESPATH", dir_ / "tpl", "-BSPPATH", dir_ / "bsp"}, dir_.path(),
       {"Templates path: " + tpl, "BSP linker path is not a folder: " + Gcc() + "/linker",
        "Failed to copy the ld file."}},
      {"BSP without the chip's linker script",
       [&] { RemoveTree(Gcc() + "/linker/QM26R620AxG_FLASH.ld"); },
       {"-TEMPLATESPATH", dir_ / "tpl", "-BSPPATH", dir_ / "bsp"}, dir_.path(),
       {"Templates path: " + tpl,
        "No linker script for QM26R620AVGT7: " + Gcc() + "/linker/QM26R620AxG_FLASH.ld"}},
      {"BSP without the startup file", [&] { RemoveTree(Gcc() + "/startup_qm26r620a_625.s"); },
       {"-TEMPLATESPATH", dir_ / "tpl", "-BSPPATH", dir_ / "bsp"}, dir_.path(),
       {"Templates path: " + tpl,
        "Startup file does not exist: " + Gcc() + "/startup_qm26r620a_625.s",
        "Failed to copy the .s file."}},
      {"BSP startup file is a folder",
       [&] {
         RemoveTree(Gcc() + "/startup_qm26r620a_625.s");
         MakeDirs(Gcc() + "/startup_qm26r620a_625.s");
       },
       {"-TEMPLATESPATH", dir_ / "tpl", "-BSPPATH", dir_ / "bsp"}, dir_.path(),
       {"Templates path: " + tpl,
        "Startup file is not a regular file: " + Gcc() + "/startup_qm26r620a_625.s",
        "Failed to copy the .s file."}},
      {"template folder is a file",
       [&] {
         RemoveTree(tpl);
         WriteFile(tpl, "not a folder");
       },
       {"-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(),
       {"Templates path: " + tpl, "Templates path is not a folder: " + tpl,
        "Failed to copy the tamplate file."}},
      {"template without .cproject", [&] { RemoveTree(tpl + "/.cproject"); },
       {"-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(),
       {"Templates path: " + tpl, "Missing template file: " + tpl + "/.cproject",
        "Failed to copy the tamplate file."}},
      {"template preferences.ini is a folder",
       [&] {
         RemoveTree(tpl + "/preferences.ini");
         MakeDirs(tpl + "/preferences.ini");
       },
       {"-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(),
       {"Templates path: " + tpl, "Template file is not a regular file: " + tpl + "/preferences.ini",
        "Failed to copy the tamplate file."}},
      {"template .project not XML", [&] { WriteFile(tpl + "/.project", "not a project\n"); },
       {"-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(),
       {"Templates path: " + tpl, "Unable to load file: " + tpl + "/.project"}},
      {"template .cproject without the Release configuration",
       [&] {
         std::string cproject = ReadFile(tpl + "/.cproject");
         const size_t release = cproject.find("<cconfiguration id=\"ilg.gnuarmeclipse.managedbuild."
                                              "cross.config.elf.release");
         cproject.erase(release, cproject.find("</cconfiguration>", release) + 17 - release);
         WriteFile(tpl + "/.cproject", cproject);
       },
       {"-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(),
       {"Templates path: " + tpl, "Incomplete project file: " + tpl +
                                      "/.cproject: no Release configuration"}},
      {"template .cproject without the define option",
       [&] {
         std::string cproject = ReadFile(tpl + "/.cproject");
         for (size_t at = cproject.find("option.c.compiler.defs"); at != std::string::npos;
              at = cproject.find("option.c.compiler.defs")) {
           cproject.replace(at, 22, "option.c.compiler.other");
         }
         WriteFile(tpl + "/.cproject", cproject);
       },
       {"-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(),
       {"Templates path: " + tpl, "Incomplete project file: " + tpl +
                                      "/.cproject: no define option in the Debug configuration"}},
      {"a .cproject in the MDK folder without the Debug configuration",
       [&] { WriteFile(dir_ / "work/mdk/.cproject", "<cproject><storageModule/></cproject>\n"); },
       {"-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(),
       {"Templates path: " + tpl, "Incomplete project file: " + dir_ /
                                      "work/mdk/.cproject: no Debug configuration"}},
      {"template preferences.ini of three lines",
       [&] { WriteFile(tpl + "/preferences.ini", "[device]\nvendor=QM26\nchipTarget=\n"); },
       {"-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(),
       {"Templates path: " + tpl,
        "Incomplete project file: " + tpl +
            "/preferences.ini: fewer than 4 lines (chipTarget and chipSizeType go to lines 3 and 4)"}},
      {"no BSP and a template without ldscripts", [&] { RemoveTree(tpl + "/ldscripts"); },
       {"-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(),
       {"Templates path: " + tpl, "No link file found!"}},
      {"no BSP and a template without the chip's script",
       [&] { RemoveTree(tpl + "/ldscripts/QM26R620AxG_FLASH.ld"); },
       {"-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(),
       {"Templates path: " + tpl,
        "No linker script for QM26R620AVGT7: " + tpl + "/ldscripts/QM26R620AxG_FLASH.ld"}},
      {"project folder links to an unrelated folder",
       [&] {
         RemoveTree(dir_ / "work/qm26_ide_proj");
         ASSERT_EQ(symlink((dir_ / "unrelated").c_str(), (dir_ / "work/qm26_ide_proj").c_str()), 0);
       },
       {"-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(),
       {"The project folder is a symbolic link: " + Project()}},
      {"project folder links to the folder that holds the MDK project",
       [&] {
         RemoveTree(dir_ / "work/qm26_ide_proj");
         ASSERT_EQ(symlink(".", (dir_ / "work/qm26_ide_proj").c_str()), 0);
       },
       {"-TEMPLATESPATH", dir_ / "tpl", "-BSPPATH", dir_ / "bsp"}, dir_.path(),
       {"The project folder is a symbolic link: " + Project()}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange();
    const auto before = Snapshot(dir_.path());
    std::vector<std::string> args = {"-MDKPATH", Mdk()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult run = RunGeneratorBinary(args, c.cwd);
    EXPECT_EQ(run.exitStatus, 255);
    std::vector<std::string> expected = Opening();
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(SplitLines(run.out), expected);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Snapshot(dir_.path()), before);
    RemoveTree(tpl);
    RemoveTree(dir_ / "bsp");
    RemoveTree(dir_ / "work/mdk/.cproject");
    SetUp();  // put back what the case took away
  }
  EXPECT_EQ(ReadFile(dir_ / "unrelated/keep.txt"), "keep");
}

TEST_F(SafetyRunTest, InputsThatWouldBreakTheProjectFilesAreRefused) {
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "<a>";
  WriteFile(dir_ / "work/mdk/deep.uvprojx", "<?xml version=\"1.0\"?>\n<Project>" + nested);
  std::string badGroup = MdkProjectXml("QM26R620AVGT7", {"..\\src\\main.c"});
  badGroup.replace(badGroup.find("<GroupName>App"), 14, "<GroupName>App\xC3(");
  WriteFile(dir_ / "work/mdk/latin1.uvprojx", badGroup);
  std::string badOutput = MdkProjectXml("QM26R620AVGT7", {"..\\src\\main.c"});
  badOutput.replace(badOutput.find("</TargetCommonOption>"), 0, "<OutputName>app\xC3(</OutputName>");
  WriteFile(dir_ / "work/mdk/output.uvprojx", badOutput);
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::vector<std::string> args;
    std::string lastLine;
    bool projectMade;
  };
  const std::string tplDir = dir_ / "tpl/QM26R620A/QM26_IDE";
  const std::vector<Case> cases = {
      {"-TARGETNAME not UTF-8", [] {}, {"-MDKPATH", Mdk(), "-TARGETNAME", "caf\xE9"},
       "Not valid UTF-8: -TARGETNAME", false},
      {"group name not UTF-8", [] {}, {"-MDKPATH", dir_ / "work/mdk/latin1.uvprojx"},
       "Not valid UTF-8: GroupName in " + dir_ / "work/mdk/latin1.uvprojx", false},
      {"image name not UTF-8", [] {}, {"-MDKPATH", dir_ / "work/mdk/output.uvprojx"},
       "Not valid UTF-8: TargetCommonOption/OutputName in " + dir_ / "work/mdk/output.uvprojx",
       false},
      {"MDK file nested 100,000 deep", [] {}, {"-MDKPATH", dir_ / "work/mdk/deep.uvprojx"},
       "Unable to load file: " + dir_ / "work/mdk/deep.uvprojx", false},
      {"template .project is a folder",
       [&] {
         RemoveTree(tplDir + "/.project");
         WriteFile(tplDir + "/.project/inside.txt", "x");
       },
       {"-MDKPATH", Mdk()}, "Failed to copy the tamplate file.", false},
      {"template .cproject nested 100,000 deep",
       [&] { WriteFile(tplDir + "/.cproject", "<cproject>" + nested); }, {"-MDKPATH", Mdk()},
       "Unable to load file: " + tplDir + "/.cproject", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RemoveTree(dir_ / "work/qm26_ide_proj");
    RemoveTree(dir_ / "tpl");
    SetUp();
    c.arrange();
    const auto before = Snapshot(dir_.path(), "work/qm26_ide_proj");
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-TEMPLATESPATH", dir_ / "tpl"});
    const RunResult run = RunGeneratorBinary(args, dir_.path());
    EXPECT_EQ(run.exitStatus, 255);
    ASSERT_FALSE(run.out.empty());
    EXPECT_EQ(SplitLines(run.out).back(), c.lastLine);
    EXPECT_EQ(Exists(dir_ / "work/qm26_ide_proj"), c.projectMade);
    EXPECT_EQ(Snapshot(dir_.path(), "work/qm26_ide_proj"), before);
  }
}

TEST_F(SafetyRunTest, EveryEntryThatCannotBeCopiedIsNamedAndTheRestIsCopied) {
  // Twenty files of which one cannot be read, and a folder that cannot be read, for their owner
  // too; the run goes as an unprivileged user, for whom permission bits count.
  std::vector<std::string> readable;
  for (int i = 1; i <= 20; ++i) {
    const std::string name = "f" + std::to_string(i) + ".c";
    WriteFile(dir_ / ("work/mdk/" + name), "int f" + std::to_string(i) + ";\n");
    if (i != 7) readable.push_back(name);
  }
  WriteFile(dir_ / "work/mdk/locked/secret.c", "int secret;\n");
  ASSERT_EQ(chmod((dir_ / "work/mdk/f7.c").c_str(), 0), 0);
  ASSERT_EQ(chmod((dir_ / "work/mdk/locked").c_str(), 0), 0);
  ASSERT_EQ(chmod((dir_ / "work").c_str(), 0777), 0);
  const auto before = Snapshot(dir_.path(), "work/qm26_ide_proj");

  const RunResult run =
      RunGeneratorBinary({"-MDKPATH", Mdk(), "-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(), true);
  EXPECT_EQ(run.exitStatus, 255) << run.out;
  const std::vector<std::string> lines = SplitLines(run.out);
  EXPECT_EQ(lines.back(), "Failed to copy the MDK project folder.");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Failed to copy file: " + dir_ / "work/mdk/f7.c"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Failed to copy file: " + dir_ / "work/mdk/locked"), 1);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.rfind("Failed", 0) == 0; }),
            3);
  EXPECT_NE(run.err.find(dir_ / "work/mdk/f7.c: Permission denied"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(dir_ / "work/mdk/locked: Permission denied"), std::string::npos) << run.err;
  for (const std::string& name : readable) {
    EXPECT_EQ(ReadFile(dir_ / ("work/qm26_ide_proj/" + name)), ReadFile(dir_ / ("work/mdk/" + name)));
  }
  EXPECT_FALSE(Exists(dir_ / "work/qm26_ide_proj/locked"));
  EXPECT_TRUE(Exists(dir_ / "work/qm26_ide_proj/p.uvprojx"));
  EXPECT_EQ(Snapshot(dir_.path(), "work/qm26_ide_proj"), before);
}

TEST_F(SafetyRunTest, ALinkBackIntoTheProjectFolderLeavesTheFileWhole) {
  // The MDK folder shares the IDE's settings file through a link into the generated project.
  ASSERT_EQ(symlink("../qm26_ide_proj/preferences.ini", (dir_ / "work/mdk/preferences.ini").c_str()), 0);
  std::vector<std::string> expected =
      SplitLines(ReadFile(dir_ / "tpl/QM26R620A/QM26_IDE/preferences.ini"));
  ASSERT_GE(expected.size(), 4u);
  expected[2] = "chipTarget=QM26R620AVGT7";
  expected[3] = "chipSizeType=G";
  for (const char* run : {"first run", "re-run"}) {
    SCOPED_TRACE(run);
    const RunResult result =
        RunGeneratorBinary({"-MDKPATH", Mdk(), "-TEMPLATESPATH", dir_ / "tpl"}, dir_.path());
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    EXPECT_EQ(SplitLines(ReadFile(dir_ / "work/qm26_ide_proj/preferences.ini")), expected);
  }
}

TEST_F(SafetyRunTest, AProjectFolderThatCannotBeCreatedIsNamedWithTheReason) {
  // The folder that would hold the project takes no new entries from the unprivileged user.
  ASSERT_EQ(chmod((dir_ / "work").c_str(), 0555), 0);
  const auto before = Snapshot(dir_.path());
  const RunResult run =
      RunGeneratorBinary({"-MDKPATH", Mdk(), "-TEMPLATESPATH", dir_ / "tpl"}, dir_.path(), true);
  EXPECT_EQ(run.exitStatus, 255);
  std::vector<std::string> expected = Opening();
  expected.push_back("Failed to create folder: " + Project() + ": Permission denied");
  EXPECT_EQ(SplitLines(run.out), expected);
  EXPECT_EQ(Snapshot(dir_.path()), before);
  chmod((dir_ / "work").c_str(), 0755);
}

}  // namespace
