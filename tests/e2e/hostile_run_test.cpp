// Runs a hostile user or a faulty machine would make: names Eclipse cannot carry, files that would
// be built twice or not at all, two runs at once, a project in the root folder, an input made to
// exhaust memory. Each ends with a complete project or a refusal that leaves everything as it was.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "e2e/cdt_build.h"
#include "e2e/fixture_tree.h"
#include "support/test_support.h"

namespace {

constexpr char kDebug[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.debug";

std::string Templates() { return SourceDir() + "/examples/QM26IDE_Templates"; }
std::string Bsp() { return SourceDir() + "/examples/bsp"; }

std::string File(const std::string& group, const std::string& name, const std::string& path) {
  return "<Group><GroupName>" + group + "</GroupName><Files><File><FileName>" + name +
         "</FileName><FileType>1</FileType><FilePath>" + path + "</FilePath></File></Files></Group>";
}

// An MDK project for a QM26R620AVGT7 with the given groups and Cpu text.
std::string Project(const std::string& groups,
                    const std::string& cpu = "IROM(0x08000000,0x100000)") {
  std::string xml = MdkProjectXml("QM26R620AVGT7");
  xml.replace(xml.find("IROM(0x08000000,0x100000)"), 25, cpu);
  const std::string empty = "<Groups><Group><GroupName>App</GroupName><Files></Files></Group></Groups>";
  xml.replace(xml.find(empty), empty.size(), "<Groups>" + groups + "</Groups>");
  return xml;
}

// The name and locationURI of each link of a .project, in order.
std::vector<std::pair<std::string, std::string>> Links(const std::string& path) {
  std::vector<std::pair<std::string, std::string>> links;
  TiXmlDocument document;
  if (!document.LoadFile(path.c_str())) return links;
  const TiXmlElement* resources = document.RootElement()->FirstChildElement("linkedResources");
  for (const TiXmlElement* link = resources->FirstChildElement("link"); link != nullptr;
       link = link->NextSiblingElement("link")) {
    links.emplace_back(link->FirstChildElement("name")->GetText(),
                       link->FirstChildElement("locationURI")->GetText());
  }
  return links;
}

TEST(HostileRunTest, LinksEclipseCanHoldAreBuiltExactlyOnce) {
  ScopedTempDir dir;
  const std::string mdk = dir / "work/mdk";
  WriteFile(mdk + "/app/main.c", "void SystemInit(void) {}\nint main(void) { return 0; }\n");
  WriteFile(mdk + "/old|v1.c", "int main(void) { return 1; }\n");  // not in the target
  WriteFile(dir / "work/src/util.c", "int util(void) { return 1; }\n");
  WriteFile(dir / "work/src/x.c", "int x_src;\n");
  WriteFile(dir / "work/lib/x.c", "int x_lib;\n");
  WriteFile(dir / "work/my src/100%.c", "int hundred;\n");
  WriteFile(dir / "work/my src/c#.c", "int sharp;\n");
  WriteFile(dir / "work/src/dotted.c", "int dotted;\n");
  WriteFile(mdk + "/p.uvprojx",
            Project(File("app", "main.c", "app\\main.c") + File(".", "util.c", "..\\src\\util.c") +
                    "<Group><GroupName>a|b</GroupName><Files><File><FileName>x.c</FileName>"
                    "<FileType>1</FileType><FilePath>..\\src\\x.c</FilePath></File>"
                    "<File><FileName>x.c</FileName><FileType>1</FileType>"
                    "<FilePath>..\\lib\\x.c</FilePath></File></Files></Group>" +
                    File("blanks", "100%.c", "..\\my src\\100%.c") +
                    File("blanks", "c#.c", "..\\my src\\c#.c") +
                    File("dot", "dotted.c", ".\\..\\src\\dotted.c")));

  const RunResult run = RunGeneratorBinary(
      {"-MDKPATH", mdk + "/p.uvprojx", "-TEMPLATESPATH", Templates(), "-BSPPATH", Bsp()},
      dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  const std::vector<std::string> lines = SplitLines(run.out);
  for (const char* line :
       {"Link name changed: app/main.c -> app/main_2.c (a copied file or folder has that path)",
        "Link name changed: ./util.c -> _/util.c (Eclipse cannot hold that name)",
        "Link name changed: a|b/x.c -> a_b/x.c (Eclipse cannot hold that name)",
        "Link name changed: a|b/x.c -> a_b/x_2.c (another link has that name)",
        "Exclude from the build: old?v1.c", "Exclude from the build: app/main.c"}) {
    EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line << "\n" << run.out;
  }

  const std::string project = dir / "work/qm26_ide_proj";
  EXPECT_EQ(Links(project + "/.project"),
            (std::vector<std::pair<std::string, std::string>>{
                {"app/main_2.c", "PARENT-0-PROJECT_LOC/app/main.c"},
                {"_/util.c", "PARENT-1-PROJECT_LOC/src/util.c"},
                {"a_b/x.c", "PARENT-1-PROJECT_LOC/src/x.c"},
                {"a_b/x_2.c", "PARENT-1-PROJECT_LOC/lib/x.c"},
                {"blanks/100%.c", "PARENT-1-PROJECT_LOC/my%20src/100%25.c"},
                {"blanks/c#.c", "PARENT-1-PROJECT_LOC/my%20src/c%23.c"},
                {"dot/dotted.c", "PARENT-1-PROJECT_LOC/src/dotted.c"}}));

  // Built as CDT would: two definitions of main, or of one of the x variables, fail the link.
  const CdtBuild build = BuildLikeCdt(project, kDebug);
  ASSERT_TRUE(build.linked) << build.log;
  EXPECT_EQ(build.resources,
            (std::vector<std::string>{"_/util.c", "a_b/x.c", "a_b/x_2.c", "app/main_2.c",
                                      "blanks/100%.c", "blanks/c#.c", "dot/dotted.c",
                                      "startup_qm26r620a_625.s"}));
}

TEST(HostileRunTest, TheFlashRegionIsTheOneTheMdkTargetNames) {
  ScopedTempDir dir;
  // An application behind a 16 KiB boot loader.
  WriteFile(dir / "work/mdk/p.uvprojx",
            Project(File("App", "main.c", "..\\src\\main.c"), "IROM(0x08004000,0xFC000)"));
  WriteFile(dir / "work/src/main.c", "int main(void) { return 0; }\n");
  const RunResult run = RunGeneratorBinary({"-MDKPATH", dir / "work/mdk/p.uvprojx",
                                            "-TEMPLATESPATH", Templates(), "-BSPPATH", Bsp()},
                                           dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  const std::vector<std::string> script =
      SplitLines(ReadFile(dir / "work/qm26_ide_proj/ldscripts/QM26R620AxG_FLASH.ld"));
  EXPECT_EQ(std::count(script.begin(), script.end(),
                       "FLASH (rx)      : ORIGIN = 0x08004000, LENGTH = 1008K"),
            1);
}

class ConcurrentRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> files;
    for (int i = 0; i < 300; ++i) {
      const std::string name = "f" + std::to_string(i) + ".c";
      WriteFile(dir_ / ("work/mdk/src/" + name), "int f" + std::to_string(i) + ";\n");
      files.push_back(".\\src\\" + name);
    }
    WriteFile(Mdk(), MdkProjectXml("QM26R620AVGT7", files));
    WriteTemplate(dir_ / "tpl/QM26R620A/QM26_IDE");
  }

  std::string Mdk() const { return dir_ / "work/mdk/p.uvprojx"; }
  std::string ProjectFolder() const { return dir_ / "work/mdk/../qm26_ide_proj"; }
  std::string Command() const {
    return std::string("'") + QM26_BINARY + "' -MDKPATH '" + Mdk() + "' -TEMPLATESPATH '" +
           dir_ / "tpl" + "'";
  }

  // True when the project holds what a complete run writes.
  bool Complete() const {
    const std::vector<std::string> prefs =
        SplitLines(ReadFile(dir_ / "work/qm26_ide_proj/preferences.ini"));
    TiXmlDocument cproject;
    return prefs.size() >= 4 && prefs[2] == "chipTarget=QM26R620AVGT7" &&
           prefs[3] == "chipSizeType=G" &&
           cproject.LoadFile((dir_ / "work/qm26_ide_proj/.cproject").c_str()) &&
           Exists(dir_ / "work/qm26_ide_proj/src/f299.c");
  }

  ScopedTempDir dir_;
};

TEST_F(ConcurrentRunTest, ARunWhileAnotherHoldsTheProjectIsRefusedUntouched) {
  ASSERT_EQ(RunGeneratorBinary({"-MDKPATH", Mdk(), "-TEMPLATESPATH", dir_ / "tpl"}, dir_.path())
                .exitStatus,
            0);
  // This test holds the lock a run takes: the project folder itself.
  const int held = open((dir_ / "work/qm26_ide_proj").c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  const auto before = Snapshot(dir_.path());
  const RunResult run =
      RunGeneratorBinary({"-MDKPATH", Mdk(), "-TEMPLATESPATH", dir_ / "tpl"}, dir_.path());
  close(held);
  EXPECT_EQ(run.exitStatus, 255);
  EXPECT_EQ(SplitLines(run.out).back(), "Another run is generating this project: " + ProjectFolder());
  EXPECT_EQ(Snapshot(dir_.path()), before);
}

TEST_F(ConcurrentRunTest, PairsOfRunsAtOnceLeaveACompleteProject) {
  const auto start = std::chrono::steady_clock::now();
  int refused = 0;
  for (int pair = 0; pair < 8; ++pair) {
    SCOPED_TRACE("pair " + std::to_string(pair));
    const std::string out = dir_ / "out";
    const RunResult both = RunCommand(
        {"/bin/sh", "-c",
         Command() + " >'" + out + "1' 2>&1 & " + Command() + " >'" + out + "2' 2>&1 & " +
             "wait %1; echo $?; wait %2; echo $?"},
        dir_.path());
    const std::vector<std::string> statuses = SplitLines(both.out);
    ASSERT_EQ(statuses.size(), 2u) << both.out << both.err;
    for (int run = 0; run < 2; ++run) {
      const std::vector<std::string> lines = SplitLines(ReadFile(out + std::to_string(run + 1)));
      ASSERT_FALSE(lines.empty());
      if (statuses[run] == "255") {
        EXPECT_EQ(lines.back(), "Another run is generating this project: " + ProjectFolder());
        ++refused;
      } else {
        EXPECT_EQ(statuses[run], "0") << lines.back();
      }
    }
    EXPECT_NE(statuses, (std::vector<std::string>{"255", "255"}));
    EXPECT_TRUE(Complete());
  }
  RecordProperty("refused", refused);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(120));
}

TEST(HostileRunTest, AnMdkProjectInTheRootFolderIsRefused) {
  if (!RunningAsRoot()) GTEST_SKIP() << "needs root to put an MDK file into /";
  ScopedTempDir dir;
  WriteTemplate(dir / "tpl/QM26R620A/QM26_IDE");
  const std::string name = "qm26-root-test-" + std::to_string(getpid()) + ".uvprojx";
  WriteFile("/" + name, MdkProjectXml("QM26R620AVGT7"));
  for (const std::string& mdk : {"/" + name, "//" + name}) {
    const RunResult run =
        RunGeneratorBinary({"-MDKPATH", mdk, "-TEMPLATESPATH", dir / "tpl"}, dir.path());
    EXPECT_EQ(run.exitStatus, 255) << mdk;
    EXPECT_EQ(SplitLines(run.out).back(),
              "An MDK project in the root folder cannot be converted: " + mdk);
  }
  unlink(("/" + name).c_str());
  EXPECT_FALSE(Exists("/qm26_ide_proj"));
}

TEST(HostileRunTest, AnOversizedDefineListIsRefusedWithinBoundedMemory) {
  ScopedTempDir dir;
  // 2.5 million defines in a 5 MB file: the project files would take gigabytes.
  std::string defines;
  for (int i = 0; i < 2500000; ++i) defines += "A,";
  std::string xml = MdkProjectXml("QM26R620AVGT7");
  xml.replace(xml.find("USE_HAL, BOARD"), 14, defines);
  WriteFile(dir / "work/mdk/huge.uvprojx", xml);
  WriteTemplate(dir / "tpl/QM26R620A/QM26_IDE");
  WriteFile(dir / "work/qm26_ide_proj/mine.c", "kept");
  const auto before = Snapshot(dir.path());

  std::vector<std::string> command = {QM26_BINARY, "-MDKPATH", dir / "work/mdk/huge.uvprojx",
                                      "-TEMPLATESPATH", dir / "tpl"};
#ifndef QM26_SANITIZED
  // At most 50 times the file's size and 20 MB; the sanitizers reserve far more address space.
  const size_t limit = 50 * xml.size() + 20 * 1024 * 1024;
  command.insert(command.begin(), {"/usr/bin/prlimit", "--as=" + std::to_string(limit)});
#endif
  const RunResult run = RunCommand(command, dir.path());
  EXPECT_EQ(run.exitStatus, 255) << run.out << run.err;
  EXPECT_EQ(SplitLines(run.out).back(), "Too large to convert: Define in " + dir /
                                            "work/mdk/huge.uvprojx holds more than 10000 entries");
  EXPECT_EQ(Snapshot(dir.path()), before);
}

}  // namespace
