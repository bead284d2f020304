// Tests of reading an MDK project file into the model: a realistic file, odd shapes, bad input.
#include "mdk/mdk_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "chip/chip_catalogue.h"
#include "support/test_support.h"

namespace {

struct FileExpectation {
  std::string name;
  std::string path;
  int type = 1;
  bool built = true;
};

struct GroupExpectation {
  std::string name;
  std::vector<FileExpectation> files;
};

void ExpectGroups(const std::vector<SourceGroup>& groups,
                  const std::vector<GroupExpectation>& expected) {
  ASSERT_EQ(groups.size(), expected.size());
  for (size_t g = 0; g < expected.size(); ++g) {
    SCOPED_TRACE("group " + expected[g].name);
    EXPECT_EQ(groups[g].groupName, expected[g].name);
    ASSERT_EQ(groups[g].files.size(), expected[g].files.size());
    for (size_t f = 0; f < expected[g].files.size(); ++f) {
      EXPECT_EQ(groups[g].files[f].fileType, expected[g].files[f].type);
      EXPECT_EQ(groups[g].files[f].fileName, expected[g].files[f].name);
      EXPECT_EQ(groups[g].files[f].filePath, expected[g].files[f].path);
      EXPECT_EQ(groups[g].files[f].includeInBuild, expected[g].files[f].built);
    }
  }
}

// A model with a value in every field, to see that a failed read leaves it alone.
ProjectInfo FilledInfo() {
  ProjectInfo info;
  info.targetName = "old target";
  info.deviceName = "QM26R610CCT6";
  info.chipModel = "QM26R610";
  info.flashSizeCode = 'C';
  info.flashSizeKb = 256;
  info.flashOrigin = 0x1234;
  info.groups = {{"old group", {{1, "old.c", "..\\old.c"}}}};
  info.includePaths = {"../old"};
  info.defines = {"OLD"};
  return info;
}

// Every field of `info` in one line, so that two models compare in one assertion.
std::string Describe(const ProjectInfo& info) {
  std::ostringstream out;
  out << info.targetName << '|' << info.deviceName << '|' << info.chipModel << '|'
      << static_cast<int>(info.flashSizeCode) << '|' << info.flashSizeKb << '|' << info.flashOrigin;
  for (const SourceGroup& group : info.groups) {
    out << "|group " << group.groupName;
    for (const SourceFile& file : group.files) {
      out << ", " << file.fileType << ' ' << file.fileName << ' ' << file.filePath;
    }
  }
  for (const std::string& path : info.includePaths) out << "|include " << path;
  for (const std::string& define : info.defines) out << "|define " << define;
  return out.str();
}

// Reads `xml` from a temporary file; returns the result and stores the output in `out`.
bool ReadXml(const std::string& xml, ProjectInfo& info, std::string* out = nullptr) {
  ScopedTempDir dir;
  const std::string path = dir / "project.uvprojx";
  WriteFile(path, xml);
  Result read;
  const std::string printed = CaptureStdout([&] { read = ReadMdkProject(path, &info); });
  if (out != nullptr) *out = printed;
  return read.ok();
}

// A minimal MDK project with one target whose Device, Cads and Groups contents are given.
std::string OneTarget(const std::string& device, const std::string& cads,
                      const std::string& groups) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Project><Targets><Target>"
         "<TargetName>t</TargetName><TargetOption><TargetCommonOption>" +
         device + "</TargetCommonOption><TargetArmAds><Cads>" + cads +
         "</Cads></TargetArmAds></TargetOption><Groups>" + groups +
         "</Groups></Target></Targets></Project>\n";
}

TEST(MdkReaderTest, ReadsTheFirstTargetOfARealisticProjectFieldByField) {
  const std::string path = SourceDir() + "/tests/data/reader/two_targets.uvprojx";
  ProjectInfo info;
  Result read;
  const std::string out = CaptureStdout([&] { read = ReadMdkProject(path, &info); });

  EXPECT_TRUE(read.ok());
  EXPECT_EQ(out, "");
  EXPECT_EQ(info.targetName, "motor_ctrl_debug");
  EXPECT_EQ(info.deviceName, "QM26R620AVGT7");
  EXPECT_EQ(info.chipModel, "QM26R620A");
  EXPECT_EQ(info.flashSizeCode, 'G');
  EXPECT_EQ(info.flashSizeKb, 1024);
  EXPECT_EQ(info.flashOrigin, 0x8004000u);
  EXPECT_EQ(info.defines,
            (std::vector<std::string>{"USE_HAL_DRIVER", "QM26R620A", "BOARD_REV=2", "NDEBUG_LOG",
                                      "VERSION_STR=\"1 2\"", "USE_HAL_DRIVER"}));
  EXPECT_EQ(info.includePaths,
            (std::vector<std::string>{"../../inc", "../../libraries/QM26R620A_625/cmsis/include",
                                      ".././board", "../../inc"}));
  // IncludeInBuild 0 on a file or on its group keeps the file, switched off.
  ExpectGroups(info.groups,
               {{"Application",
                 {{"main.c", "..\\src\\main.c"}, {"motor.c", "..\\src\\motor.c", 1, false}}},
                {"Drivers/HAL",
                 {{"qm26_gpio.c", "..\\libraries\\QM26R620A_625\\hal\\src\\qm26_gpio.c"},
                  {"qm26_uart.c", "./qm26_uart.c"}}},
                {"Documentation", {}},
                {"Startup", {{"control.cpp", "..\\src\\control.cpp", 8}}},
                {"::CMSIS", {}},
                {"Tests", {{"test_motor.c", "..\\test\\test_motor.c", 1, false}}}});
  // The first target's RTE files: removed instances, other targets' files and excluded ones do not
  // count; a file without target information does.
  EXPECT_EQ(info.rteSourceFiles,
            (std::vector<std::string>{"RTE/Device/QM26R620AVGT7/system_qm26r620a.c",
                                      "RTE/Compiler/retarget_io.c"}));
  EXPECT_EQ(info.rteIncludeFolders,
            (std::vector<std::string>{"RTE/_motor_ctrl_debug", "RTE/Device/QM26R620AVGT7"}));
}

TEST(MdkReaderTest, ReadsTheNamedTargetAndTheSettingsOfTheTargetItReads) {
  using Strings = std::vector<std::string>;
  const std::string path = SourceDir() + "/tests/data/reader/two_targets.uvprojx";
  const Strings names = {"motor_ctrl_debug", "motor_ctrl_release"};

  // The second target by its name: its own device, origin, lists, groups, RTE files, settings.
  ProjectInfo release;
  ASSERT_TRUE(ReadMdkProject(path, &release, "motor_ctrl_release").ok());
  EXPECT_EQ(release.mdkTargetNames, names);
  EXPECT_EQ(release.targetName, "motor_ctrl_release");
  EXPECT_EQ(release.deviceName, "QM26R610CCT6");
  EXPECT_EQ(release.flashOrigin, 0x0u);
  EXPECT_EQ(release.defines, (Strings{"RELEASE_BUILD"}));
  EXPECT_EQ(release.includePaths, (Strings{"../../release"}));
  ExpectGroups(release.groups, {{"Release", {{"release.c", "..\\src\\release.c"}}}});
  EXPECT_EQ(release.rteSourceFiles,
            (Strings{"RTE/Device/QM26R620AVGT7/system_qm26r620a.c", "RTE/CMSIS/RTX_Config.c",
                     "RTE/Compiler/retarget_io.c"}));
  EXPECT_EQ(release.rteIncludeFolders, (Strings{"RTE/_motor_ctrl_release", "RTE/CMSIS"}));
  EXPECT_EQ(release.settings,
            (std::map<std::string, std::string>{
                {"TargetName", "motor_ctrl_release"},
                {"ToolsetNumber", "0x4"},
                {"ToolsetName", "ARM-ADS"},
                {"TargetCommonOption/Device", "QM26R610CCT6"},
                {"TargetCommonOption/Vendor", "QM26"},
                {"TargetCommonOption/Cpu",
                 "IRAM(0x20000000-0x20007FFF) IROM(0x0-0x3FFFF) CLOCK(8000000)"},
                {"TargetArmAds/Cads/VariousControls/Define", "RELEASE_BUILD"},
                {"TargetArmAds/Cads/VariousControls/IncludePath", "..\\release"}}));
  EXPECT_TRUE(release.ownOptions.empty());

  // The first target: its settings by path, and the groups and files with options of their own.
  ProjectInfo debug;
  ASSERT_TRUE(ReadMdkProject(path, &debug).ok());
  EXPECT_EQ(debug.mdkTargetNames, names);
  EXPECT_EQ(debug.settings.at("TargetArmAds/Cads/Optim"), "1");
  EXPECT_EQ(debug.settings.at("TargetArmAds/ArmAdsMisc/useUlib"), "1");
  EXPECT_EQ(debug.settings.at("TargetCommonOption/OutputName"), "motor_ctrl");
  EXPECT_EQ(debug.settings.at("TargetArmAds/Aads/VariousControls/Define"), "ASM_ONLY");
  EXPECT_EQ(debug.settings.at("TargetArmAds/Cads/VariousControls/Undefine"), "");
  EXPECT_EQ(debug.settings.count("TargetArmAds/Cads/PlainCh"), 0u);
  std::vector<std::string> own;
  for (const OwnOptions& options : debug.ownOptions) {
    std::string entry =
        options.groupName + "/" + options.fileName + (options.includeInBuild ? "" : " (off)");
    for (const auto& [key, text] : options.values) entry += " " + key + "=" + text;
    own.push_back(entry);
  }
  EXPECT_EQ(own, (Strings{"Application/motor.c (off) CommonProperty/IncludeInBuild=0",
                          "Drivers/HAL/qm26_gpio.c CommonProperty/UseCPPCompiler=2",
                          "Tests/ (off) CommonProperty/IncludeInBuild=0",
                          "Tests/test_motor.c (off) CommonProperty/IncludeInBuild=1"}));

  // A name no target has: the reason, the name, the list of targets and nothing else.
  ProjectInfo none = FilledInfo();
  const Result read = ReadMdkProject(path, &none, "motor_ctrl");
  EXPECT_FALSE(read.ok());
  EXPECT_EQ(read.reason(), kNoSuchTarget);
  EXPECT_EQ(read.path(), "motor_ctrl");
  EXPECT_EQ(none.mdkTargetNames, names);
  EXPECT_EQ(Describe(none), Describe(FilledInfo()));
}

TEST(MdkReaderTest, InputThatCannotBeLoadedLeavesTheModelUnchanged) {
  ScopedTempDir dir;
  WriteFile(dir / "empty.uvprojx", "");
  WriteFile(dir / "text.uvprojx", "This is not an MDK project.\n");
  WriteFile(dir / "truncated.uvprojx",
            "<?xml version=\"1.0\"?>\n<Project><Targets><Target><TargetName>t</TargetName>");
  WriteFile(dir / "cut_tag.uvprojx", "<Project><Targets><Tar");
  MakeDirs(dir / "folder.uvprojx");
  ASSERT_EQ(mkfifo((dir / "fifo.uvprojx").c_str(), 0666), 0);

  // A directory or a FIFO would make the library ask for a huge buffer or block for ever.
  for (const char* name : {"missing.uvprojx", "empty.uvprojx", "text.uvprojx",
                           "truncated.uvprojx", "cut_tag.uvprojx", "folder.uvprojx",
                           "fifo.uvprojx", "missing_folder/x.uvprojx"}) {
    SCOPED_TRACE(name);
    const std::string path = dir / name;
    ProjectInfo info = FilledInfo();
    Result read;
    const std::string out = CaptureStdout([&] { read = ReadMdkProject(path, &info); });
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.path(), path);
    EXPECT_EQ(out, "");
    EXPECT_EQ(Describe(info), Describe(FilledInfo()));
  }
}

TEST(MdkReaderTest, UnreadableFileCannotBeLoaded) {
  ScopedTempDir dir;
  const std::string path = dir / "locked.uvprojx";
  WriteFile(path, OneTarget("<Device>QM26R620AVGT7</Device>", "", ""));
  ASSERT_EQ(chmod(path.c_str(), 0), 0);

  const int status = RunUnprivileged([&] {
    if (access(path.c_str(), R_OK) == 0) return 2;  // the case would test nothing
    ProjectInfo info;
    const Result read = ReadMdkProject(path, &info);
    return read.Describe() == path + ": Permission denied" && info.deviceName.empty() ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
}

TEST(MdkReaderTest, NullModelFails) {
  const std::string path = SourceDir() + "/tests/data/reader/two_targets.uvprojx";
  EXPECT_FALSE(ReadMdkProject(path, nullptr).ok());
}

TEST(MdkReaderTest, FilesWithoutATargetReadButFailTheChipCheck) {
  const struct {
    const char* xml;
    uint64_t flashOrigin;
  } cases[] = {
      // No Project element: only the origin, from the first top-level element, is set.
      {"<?xml version=\"1.0\"?>\n<Workspace><Options><Cpu>IROM(0x00004000,0x1000)</Cpu>"
       "</Options></Workspace>\n",
       0x4000},
      {"<?xml version=\"1.0\"?>\n", 0x8000000},
      {"<Project><SchemaVersion>2.1</SchemaVersion></Project>", 0x8000000},
      {"<Project><Targets><Target/></Targets></Project>", 0x8000000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xml);
    ProjectInfo info;
    std::string out;
    EXPECT_TRUE(ReadXml(c.xml, info, &out));
    EXPECT_EQ(out, "");
    ProjectInfo expected;
    expected.flashOrigin = c.flashOrigin;
    EXPECT_EQ(Describe(info), Describe(expected));
    EXPECT_FALSE(IsChipSupported(info));
  }
}

TEST(MdkReaderTest, MissingElementsAndEmptyTextsReadAsEmpty) {
  // Every element the reader walks through is empty or absent somewhere in here.
  const std::string xml = OneTarget(
      "<Device/><Cpu></Cpu>", "<VariousControls><Define></Define><IncludePath/></VariousControls>",
      "<Group><Files><File><FileType>1</FileType></File><File><FileName>a.c</FileName>"
      "<FileType/></File><File/></Files></Group>"
      "<Group><GroupName></GroupName><Files></Files></Group>");
  ProjectInfo info;
  EXPECT_TRUE(ReadXml(xml, info));
  EXPECT_EQ(info.deviceName, "");
  EXPECT_EQ(info.chipModel, "");
  EXPECT_EQ(info.flashSizeCode, '\0');
  EXPECT_EQ(info.flashSizeKb, 0);
  EXPECT_EQ(info.flashOrigin, 0x8000000u);
  EXPECT_TRUE(info.defines.empty());
  EXPECT_TRUE(info.includePaths.empty());
  ExpectGroups(info.groups, {{"", {{"", ""}}}, {"", {}}});
}

TEST(MdkReaderTest, DeviceLosesOneLeadingDash) {
  const struct {
    const char* text;
    const char* deviceName;
    const char* chipModel;
  } cases[] = {
      {"-QM26R620AxGyz", "QM26R620AxGyz", "QM26R620A"},
      {"--X", "-X", ""},
      {"X-Y", "X-Y", ""},
      {"-", "", ""},
      {"QM26R650C8T7", "QM26R650C8T7", "QM26R650"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ProjectInfo info;
    ASSERT_TRUE(ReadXml(OneTarget(std::string("<Device>") + c.text + "</Device>", "", ""), info));
    EXPECT_EQ(info.deviceName, c.deviceName);
    EXPECT_EQ(info.chipModel, c.chipModel);
  }
}

TEST(MdkReaderTest, GroupsAndFilesStopAtTheFirstOtherElement) {
  const std::string groups =
      "<Group><GroupName>First</GroupName><Files>"
      "<File><FileName>a.c</FileName><FileType>1</FileType><FilePath>a.c</FilePath></File>"
      "<!-- comments are not elements -->"
      "<File><FileName>b.c</FileName><FileType>1</FileType><FilePath>b.c</FilePath></File>"
      "<FileOption/>"
      "<File><FileName>c.c</FileName><FileType>1</FileType><FilePath>c.c</FilePath></File>"
      "</Files></Group>"
      "<GroupOption/>"
      "<Group><GroupName>Never</GroupName></Group>";
  ProjectInfo info;
  ASSERT_TRUE(ReadXml(OneTarget("", "", groups), info));
  ExpectGroups(info.groups, {{"First", {{"a.c", "a.c"}, {"b.c", "b.c"}}}});
}

TEST(MdkReaderTest, SeveralProjectElementsAreReadInTurn) {
  // The origin comes from the first top-level element only: the Cpu of the second is never seen.
  const std::string xml =
      "<?xml version=\"1.0\"?>\n"
      "<Project><Targets><Target><TargetName>one</TargetName><TargetOption><TargetCommonOption>"
      "<Device>QM26R610CCT6</Device></TargetCommonOption><TargetArmAds><Cads><Define>A</Define>"
      "<IncludePath>x</IncludePath></Cads></TargetArmAds></TargetOption><Groups><Group>"
      "<GroupName>g1</GroupName></Group></Groups></Target></Targets></Project>\n"
      "<Other><Targets><Target><TargetName>skipped</TargetName></Target></Targets></Other>\n"
      "<Project><Targets><Target><TargetName>two</TargetName><TargetOption><TargetCommonOption>"
      "<Device>QM26R650C8T7</Device><Cpu>IROM(0x00001000,0x1000)</Cpu></TargetCommonOption>"
      "<TargetArmAds><Cads><Define>B</Define><IncludePath>y</IncludePath></Cads></TargetArmAds>"
      "</TargetOption><Groups><Group><GroupName>g2</GroupName></Group></Groups></Target>"
      "</Targets></Project>\n";
  ProjectInfo info;
  ASSERT_TRUE(ReadXml(xml, info));
  EXPECT_EQ(info.targetName, "two");
  EXPECT_EQ(info.deviceName, "QM26R650C8T7");
  EXPECT_EQ(info.chipModel, "QM26R650");
  EXPECT_EQ(info.flashSizeCode, '8');
  EXPECT_EQ(info.flashSizeKb, 64);
  EXPECT_EQ(info.flashOrigin, 0x8000000u);
  EXPECT_EQ(info.defines, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(info.includePaths, (std::vector<std::string>{"../x", "../y"}));
  ExpectGroups(info.groups, {{"g1", {}}, {"g2", {}}});
}

}  // namespace
