// Tests of the device settings file "preferences.ini".
#include "chip/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "mdk/project_info.h"
#include "support/test_support.h"

namespace {

TEST(SettingsFileTest, SizeTypeForCode) {
  const std::pair<char, const char*> cases[] = {
      {'G', "G"}, {'M', "M"}, {'E', "O"}, {'I', "O"}, {'Z', "O"}, {'g', "O"}, {'\0', "O"}};
  for (const auto& c : cases) EXPECT_EQ(SizeTypeFor(c.first), c.second) << c.first;
}

TEST(SettingsFileTest, WritesChipTargetAndSizeTypeLinesOrRefusesAFileThatLacksThem) {
  const std::string lacks =
      ": fewer than 4 lines (chipTarget and chipSizeType go to lines 3 and 4)";
  struct Case {
    bool present;
    std::string content;
    char code;
    std::string expected;  // the file afterwards
    std::string failure;   // after the file's path; "" for a success
  };
  const Case cases[] = {
      {true, "[device]\nvendor=qm\nchipTarget=\nchipSizeType=\nclock=48\n", 'G',
       "[device]\nvendor=qm\nchipTarget=QM26R620AVGT7\nchipSizeType=G\nclock=48\n", ""},
      {true, "a\r\nb\r\nc\r\nd\r\ne", 'M',
       "a\r\nb\r\nchipTarget=QM26R620AVGT7\nchipSizeType=M\ne\n", ""},
      {true, "a\nb\nc\nd", 'E', "a\nb\nchipTarget=QM26R620AVGT7\nchipSizeType=O\n", ""},
      {true, "a\nb\nc\n", 'E', "a\nb\nc\n", lacks},
      {true, "", 'G', "", lacks},
      {false, "", 'G', "", ": No such file or directory"},
  };
  for (const Case& c : cases) {
    ScopedTempDir dir;
    ProjectInfo project;
    project.deviceName = "QM26R620AVGT7";
    project.flashSizeCode = c.code;
    const std::string path = dir / "preferences.ini";
    if (c.present) WriteFile(path, c.content);
    const Result updated = UpdateSettingsFile(dir.path(), project);
    EXPECT_EQ(updated.Describe(), c.failure.empty() ? "" : path + c.failure) << c.content;
    EXPECT_EQ(Exists(path), c.present);
    EXPECT_EQ(ReadFile(path), c.expected) << c.content;
  }
}

TEST(SettingsFileTest, AFileThatCannotBeRewrittenIsNamedAndKept) {
  ScopedTempDir dir;
  ProjectInfo project;
  project.deviceName = "QM26R620AVGT7";
  project.flashSizeCode = 'G';
  const std::string path = dir / "preferences.ini";
  const std::string content = "[device]\nvendor=qm\nchipTarget=\nchipSizeType=\n";
  WriteFile(path, content);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(RunUnprivileged([&] {
              return UpdateSettingsFile(dir.path(), project).Describe() ==
                             path + ": Permission denied"
                         ? 0
                         : 1;
            }),
            0);
  EXPECT_EQ(ReadFile(path), content);
}

}  // namespace
