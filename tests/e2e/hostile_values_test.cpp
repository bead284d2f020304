// Values a hostile project file carries and states a faulty machine leaves: names that would reach
// outside the project, make and shell syntax, control characters for the user's terminal, target
// files that are not there, lists past the bound, targets that cannot be chosen, a run stopped by
// a signal, a lock on a folder that cannot be listed, and devices put where a source should be.
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/cdt_build.h"
#include "e2e/fixture_tree.h"
#include "support/test_support.h"

namespace {

using Strings = std::vector<std::string>;

constexpr char kDebug[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.debug";

std::string Templates() { return SourceDir() + "/examples/QM26IDE_Templates"; }
std::string Bsp() { return SourceDir() + "/examples/bsp"; }

// `text` with each `from` of `edits` replaced by its `to`; a `from` that is not there fails.
std::string Edited(std::string text, const std::vector<std::pair<std::string, std::string>>& edits) {
  for (const auto& [from, to] : edits) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
  }
  return text;
}

// The first byte of `text` a terminal takes as a control, other than a newline or a tab; -1 when
// there is none.
int FirstControlByte(const std::string& text) {
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F) return byte;
  }
  return -1;
}

// An MDK folder of one target that builds: a linked source outside it and one beside it.
class HostileValuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "work/src/main.c", "void SystemInit(void) {}\nint main(void) { return 0; }\n");
    WriteFile(dir_ / "work/mdk/it.c", "void SysTick_Handler(void) {}\n");
  }

  std::string Mdk() const { return dir_ / "work/mdk/p.uvprojx"; }
  std::string ProjectFolder() const { return dir_ / "work/mdk/../qm26_ide_proj"; }
  static std::string Xml() { return MdkProjectXml("QM26R620AVGT7", {"..\\src\\main.c", ".\\it.c"}); }

  RunResult Run(const std::string& xml, const Strings& extra = {}) {
    WriteFile(Mdk(), xml);
    Strings args = {"-MDKPATH", Mdk(), "-TEMPLATESPATH", Templates(), "-BSPPATH", Bsp()};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunGeneratorBinary(args, dir_.path());
  }

  ScopedTempDir dir_;
};

// Each hostile value through one run: its exit status, the lines it must print (each as often as
// listed), the texts it must not print; no control byte reaches either stream, and nothing
// outside the project folder changes.
TEST_F(HostileValuesTest, EachValueIsRefusedOrListedAndNeverReachesOutOrIntoTheTerminal) {
  const std::string esc = "\x1b";
  const std::string common = "<TargetCommonOption><Device>QM26R620AVGT7</Device>";
  const std::string cads = "<Cads><VariousControls><Define>USE_HAL, BOARD</Define>";
  const std::string target = "</Target></Targets>";
  const auto outputName = [&](const std::string& name) {
    return std::make_pair(common, common + "<OutputName>" + name + "</OutputName>");
  };
  const std::string tooMany = [] {
    std::string list;
    for (int i = 0; i < 20000; ++i) list += "A" + std::to_string(i) + ",";
    return list;
  }();
  const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> edits;
    Strings args;
    int status;
    Strings lines;
    Strings absent;
  } cases[] = {
      {"OutputName climbing out", {outputName("../../../evil")}, {}, 0,
       {"Not carried over: name of executable (OutputName): ../../../evil"}, {"artifact name"}},
      {"OutputName with backslashes", {outputName("..\\..\\x")}, {}, 0,
       {"Not carried over: name of executable (OutputName): ..\\..\\x"}, {"artifact name"}},
      {"OutputName absolute", {outputName("/abs/x")}, {}, 0,
       {"Not carried over: name of executable (OutputName): /abs/x"}, {"artifact name"}},
      {"OutputName dot", {outputName(".")}, {}, 0,
       {"Not carried over: name of executable (OutputName): ."}, {"artifact name"}},
      {"OutputName make function", {outputName("$(shell id >/tmp/x)")}, {}, 0,
       {"Not carried over: name of executable (OutputName): $(shell id >/tmp/x)"}, {"artifact name"}},
      {"OutputName CDT variable", {outputName("${env_var:HOME}/x")}, {}, 0,
       {"Not carried over: name of executable (OutputName): ${env_var:HOME}/x"}, {"artifact name"}},
      {"OutputName with the image's ending", {outputName("image.elf")}, {}, 0,
       {"Modify the artifact name configuration: image",
        "Modify the artifact name configuration: image"},
       {"image.elf"}},
      {"defines for make and the shell",
       {{"USE_HAL, BOARD", "USE_HAL, X=$(id), BOARD"},
        {"</Cads>", "</Cads><Aads><VariousControls><Define>Y=`id`, ASM_OK</Define>"
                    "</VariousControls></Aads>"}},
       {}, 0,
       {"Not carried over: defines (Define): X=$(id)",
        "Not carried over: assembler defines (Define): Y=`id`",
        "Modify the define configuration: BOARD", "Modify the define configuration: BOARD"},
       {"configuration: X=", "configuration: Y="}},
      {"control characters in values",
       {{cads, "<Cads><VariousControls><MiscControls>--x " + esc + "[2J" + esc + "]2;title\a" +
                   esc + "[8m</MiscControls><Define>USE_HAL, BOARD</Define>"},
        {"<Cads>", "<Cads><Optim>" + esc + "[2J\b</Optim>"},
        {"<Groups><Group><GroupName>App</GroupName><Files>",
         "<Groups><Group><GroupName>App</GroupName><Files><File><FileName>x.lib</FileName>"
         "<FileType>4</FileType><FilePath>..\\lib\\" + esc + "[8mx.lib</FilePath></File>"},
        {target, "</Target><Target><TargetName>two" + esc + "[2J</TargetName></Target></Targets>"}},
       {}, 0,
       {"Not carried over: C misc controls: --x \\x1b[2J\\x1b]2;title\\x07\\x1b[8m",
        "Not carried over: optimization (Optim): \\x1b[2J\\x08",
        "Check before building: ../lib/\\x1b[8mx.lib: prebuilt ARM Compiler library: the IDE does "
        "not link it, and GNU ld may not take it; rebuild it with GCC",
        "The MDK project has 2 targets; converting fixture. Choose another with -MDKTARGET: "
        "two\\x1b[2J"},
       {}},
      {"control characters in a target not found",
       {{target, "</Target><Target><TargetName>b" + esc + "]0;x\a</TargetName></Target></Targets>"}},
       {"-MDKTARGET", "no" + esc + "[2J"}, 255,
       {"No target named no\\x1b[2J in " + Mdk() + ". Its targets: fixture, b\\x1b]0;x\\x07"}, {}},
      {"control characters in an unsupported device",
       {{"<Device>QM26R620AVGT7</Device>", "<Device>" + esc + "[8mQM26</Device>"}}, {}, 255,
       {"No supported MCU model found!", "The MDK target's device: \\x1b[8mQM26"}, {}},
      {"target files of the MDK folder missing or not regular files",
       {{"</Files>", "<File><FileName>gone.c</FileName><FileType>1</FileType>"
                     "<FilePath>.\\gone.c</FilePath></File><File><FileName>pipe.c</FileName>"
                     "<FileType>1</FileType><FilePath>.\\pipe.c</FilePath></File></Files>"}},
       {}, 0,
       {"Check before building: gone.c: not checked: cannot be read (No such file or directory)",
        "Check before building: pipe.c: not checked: not a text file",
        "2 places to check before the first build."},
       {}},
      {"assembler defines past the bound",
       {{"</Cads>", "</Cads><Aads><VariousControls><Define>" + tooMany +
                        "</Define></VariousControls></Aads>"}},
       {}, 255,
       {"Too large to convert: TargetArmAds/Aads/VariousControls/Define in " + Mdk() +
        " holds more than 10000 entries"},
       {"qm26ide_project_path"}},
      {"targets of one name and of none",
       {{target, "</Target><Target><TargetName>fixture</TargetName></Target><Target><TargetName>"
                 "</TargetName></Target><Target><TargetName>other</TargetName></Target>"
                 "</Targets>"}},
       {}, 0,
       {"The MDK project has 4 targets; converting fixture. Choose another with -MDKTARGET: other",
        "The MDK project has duplicate target names: fixture; -MDKTARGET takes the first target "
        "of each name."},
       {}},
  };
  ASSERT_EQ(mkfifo((dir_ / "work/mdk/pipe.c").c_str(), 0644), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RemoveTree(dir_ / "work/qm26_ide_proj");
    WriteFile(Mdk(), "");
    const auto before = Snapshot(dir_ / "work", "qm26_ide_proj");
    const RunResult run = Run(Edited(Xml(), c.edits), c.args);
    EXPECT_EQ(run.exitStatus, c.status) << run.out;
    const Strings lines = SplitLines(run.out);
    for (const std::string& line : c.lines) {
      EXPECT_EQ(std::count(lines.begin(), lines.end(), line),
                std::count(c.lines.begin(), c.lines.end(), line))
          << line << "\n" << run.out;
    }
    for (const std::string& text : c.absent) {
      EXPECT_EQ(run.out.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(FirstControlByte(run.out), -1) << run.out;
    EXPECT_EQ(FirstControlByte(run.err), -1) << run.err;
    auto after = Snapshot(dir_ / "work", "qm26_ide_proj");
    after.erase("mdk/p.uvprojx");
    auto unchanged = before;
    unchanged.erase("mdk/p.uvprojx");
    EXPECT_EQ(after, unchanged);
  }
}

// The values that would reach out of the project or run commands, built as CDT builds them: the
// image stays in the build folder and nothing runs.
TEST_F(HostileValuesTest, AProjectOfHostileNamesAndDefinesBuildsInsideItself) {
  const std::string sentinel = dir_ / "ran";
  const std::string common = "<TargetCommonOption><Device>QM26R620AVGT7</Device>";
  const RunResult run =
      Run(Edited(Xml(), {{common, common + "<OutputName>../../../evil</OutputName>"},
                         {"USE_HAL, BOARD", "USE_HAL, X=$(touch${IFS}" + sentinel + "), BOARD"},
                         {"</Cads>", "</Cads><Aads><VariousControls><Define>Y=`touch${IFS}" +
                                         sentinel + "`</Define></VariousControls></Aads>"}}));
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  const auto before = Snapshot(dir_.path(), "work/qm26_ide_proj");
  const CdtBuild build = BuildLikeCdt(dir_ / "work/qm26_ide_proj", kDebug);
  ASSERT_TRUE(build.linked) << build.log;
  EXPECT_EQ(build.image.rfind(dir_ / "work/qm26_ide_proj/", 0), 0u) << build.image;
  EXPECT_TRUE(Exists(build.image));
  EXPECT_FALSE(Exists(sentinel));
  EXPECT_EQ(Snapshot(dir_.path(), "work/qm26_ide_proj"), before);
}

// A .cproject in the MDK folder that the target's settings cannot be written into is found before
// the old project is touched.
TEST_F(HostileValuesTest, ACProjectLackingWhatTheSettingsNeedLeavesTheOldProjectAsItWas) {
  const std::string xml = Edited(Xml(), {{"<Cads>", "<Cads><PlainCh>1</PlainCh>"}});
  ASSERT_EQ(Run(xml).exitStatus, 0);
  std::string cproject = ReadFile(Templates() + "/QM26R620A/QM26_IDE/.cproject");
  const size_t open = cproject.find("<toolChain");
  ASSERT_NE(open, std::string::npos);
  cproject.replace(open, 10, "<noToolChain");
  const size_t close = cproject.find("</toolChain>", open);
  ASSERT_NE(close, std::string::npos);
  cproject.replace(close, 12, "</noToolChain>");
  WriteFile(dir_ / "work/mdk/.cproject", cproject);
  const auto before = Snapshot(dir_ / "work/qm26_ide_proj");

  const RunResult run = Run(xml);
  EXPECT_EQ(run.exitStatus, 255);
  EXPECT_EQ(SplitLines(run.out).back(), "Incomplete project file: " + dir_ / "work/mdk/.cproject" +
                                            ": no toolChain in the Debug configuration");
  EXPECT_EQ(Snapshot(dir_ / "work/qm26_ide_proj"), before);
}

// A run stopped while it empties a large project folder leaves a log that says so, and ends as
// the signal ends a process.
TEST_F(HostileValuesTest, ATerminatedRunLogsWhatItPrintedAndWhereItStopped) {
  ASSERT_EQ(Run(Xml()).exitStatus, 0);
  // Folders, so that the folder's link count shows when the emptying has begun.
  const std::string many = dir_ / "work/qm26_ide_proj/many";
  MakeDirs(many);
  for (int i = 0; i < 30000; ++i) ASSERT_EQ(mkdir((many + "/" + std::to_string(i)).c_str(), 0755), 0);
  struct stat full;
  ASSERT_EQ(stat(many.c_str(), &full), 0);

  const std::string log = dir_ / "log";
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    execl(QM26_BINARY, QM26_BINARY, "-MDKPATH", Mdk().c_str(), "-TEMPLATESPATH",
          Templates().c_str(), "-BSPPATH", Bsp().c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  struct stat now = full;
  while (stat(many.c_str(), &now) == 0 && now.st_nlink == full.st_nlink &&
         std::chrono::steady_clock::now() < deadline) {
  }
  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before the signal: " << ReadFile(log);
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  const Strings lines = SplitLines(ReadFile(log));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "qm26ide_project_path:" + ProjectFolder());
  EXPECT_EQ(lines.back(),
            "Interrupted by SIGTERM while emptying the project folder: " + ProjectFolder());
}

// The lock holds where the folder that takes the project cannot be listed, for the user who runs
// the tool.
TEST_F(HostileValuesTest, TheLockHoldsInAFolderThatCannotBeListed) {
  if (!RunningAsRoot()) GTEST_SKIP() << "needs root to run the tool as nobody";
  WriteTemplate(dir_ / "tpl/QM26R620A/QM26_IDE");
  WriteFile(Mdk(), MdkProjectXml("QM26R620AVGT7"));
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  const std::string work = dir_ / "work";
  const std::string project = work + "/qm26_ide_proj";
  MakeDirs(project);
  ASSERT_EQ(chown(project.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
  ASSERT_EQ(chown(work.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
  ASSERT_EQ(chmod(work.c_str(), 0300), 0);
  const Strings args = {"-MDKPATH", Mdk(), "-TEMPLATESPATH", dir_ / "tpl"};

  const int held = open(project.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  const RunResult refused = RunGeneratorBinary(args, dir_.path(), true);
  close(held);
  EXPECT_EQ(refused.exitStatus, 255) << refused.out;
  EXPECT_EQ(SplitLines(refused.out).back(), "Another run is generating this project: " + ProjectFolder());

  // Without another run the same user generates the project there.
  const RunResult run = RunGeneratorBinary(args, dir_.path(), true);
  EXPECT_EQ(run.exitStatus, 0) << run.out;
  chmod(work.c_str(), 0755);
}

// A FilePath that names a device or a named pipe is not opened: a writer waiting on the pipe
// stays blocked through the whole run.
TEST_F(HostileValuesTest, TheCheckNeverOpensWhatIsNotARegularFile) {
  const std::string pipe = dir_ / "work/src/port.c";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  const std::string opened = dir_ / "opened";
  const pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    const int fd = open(pipe.c_str(), O_WRONLY);  // returns only once a reader opens the pipe
    if (fd >= 0) WriteFile(opened, "");
    _exit(0);
  }
  const RunResult run = Run(MdkProjectXml("QM26R620AVGT7", {"..\\src\\main.c", "..\\src\\port.c",
                                                            "/dev/zero"}));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  kill(writer, SIGKILL);
  waitpid(writer, nullptr, 0);
  EXPECT_EQ(run.exitStatus, 0) << run.out;
  const Strings lines = SplitLines(run.out);
  for (const char* line : {"Check before building: App/port.c: not checked: not a text file",
                           "Check before building: App/zero: not checked: not a text file"}) {
    EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line << "\n" << run.out;
  }
  EXPECT_FALSE(Exists(opened));
}

}  // namespace
