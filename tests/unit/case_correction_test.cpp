// Tests of taking the target's paths as the disk spells them.
#include "ide/case_correction.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

SourceFile File(int type, const std::string& name, const std::string& path) {
  SourceFile file;
  file.fileType = type;
  file.fileName = name;
  file.filePath = path;
  return file;
}

TEST(CaseCorrectionTest, TakesTheOneSpellingOnDiskAndLeavesTheRest) {
  ScopedTempDir temp;
  const std::string mdk = temp / "MDK-ARM";
  WriteFile(mdk + "/system/system_qm26.c", "");
  WriteFile(temp / "Hardware/lan8720.c", "");
  WriteFile(temp / "Hardware/Twin.c", "");
  WriteFile(temp / "Hardware/twin.C", "");
  WriteFile(temp / "Lib/dsp.lib", "");
  WriteFile(temp / "user/bsp/board.h", "");
  WriteFile(temp / "user/main.c", "");
  MakeDirs(temp / "inc/Main.c");

  ProjectInfo project;
  SourceGroup group;
  group.groupName = "App";
  group.files = {
      File(1, "LAN8720.c", "..\\HARDWARE\\LAN8720.c"),   // one match: corrected, name too
      File(1, "System_QM26.c", ".\\System\\System_QM26.c"),
      File(1, "main.c", "..\\user\\main.c"),             // exists as written
      File(1, "twin.c", "..\\hardware\\TWIN.c"),         // two matches: left
      File(1, "gone.c", "..\\hardware\\gone.c"),         // no match: left
      File(1, "main.c", "..\\INC\\main.c"),              // only a folder matches: left
      File(1, "x.c", "C:\\Keil\\x.c"),                   // a drive letter: left
      File(1, "LAN8720.c", "..\\HARDWARE\\LAN8720.c"),   // the same path again: one line
  };
  group.otherFiles = {File(4, "DSP.LIB", "..\\lib\\DSP.lib")};
  project.groups = {group};
  project.includePaths = {"../../User/BSP", "../../user", "../../Missing", "C:/Keil/inc",
                          temp / "USER/bsp", "../../USER/Bsp/"};

  const std::vector<CaseCorrection> corrections = CorrectLetterCase(project, mdk);
  const std::vector<std::string> expected = {
      "Case corrected: ../HARDWARE/LAN8720.c -> ../Hardware/lan8720.c",
      "Case corrected: ./System/System_QM26.c -> ./system/system_qm26.c",
      "Case corrected: ../lib/DSP.lib -> ../Lib/dsp.lib",
      "Case corrected: ../User/BSP -> ../user/bsp",
      "Case corrected: " + temp / "USER/bsp" + " -> " + temp / "user/bsp",
      "Case corrected: ../USER/Bsp/ -> ../user/bsp",
  };
  EXPECT_EQ(CaseCorrectionLines(corrections), expected);

  const std::vector<SourceFile>& files = project.groups[0].files;
  const std::pair<std::string, std::string> after[] = {
      {"lan8720.c", "../Hardware/lan8720.c"}, {"system_qm26.c", "./system/system_qm26.c"},
      {"main.c", "..\\user\\main.c"},         {"twin.c", "..\\hardware\\TWIN.c"},
      {"gone.c", "..\\hardware\\gone.c"},     {"main.c", "..\\INC\\main.c"},
      {"x.c", "C:\\Keil\\x.c"},               {"lan8720.c", "../Hardware/lan8720.c"},
  };
  ASSERT_EQ(files.size(), std::size(after));
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(files[i].fileName, after[i].first) << i;
    EXPECT_EQ(files[i].filePath, after[i].second) << i;
  }
  EXPECT_EQ(project.groups[0].otherFiles[0].fileName, "dsp.lib");
  EXPECT_EQ(project.includePaths,
            (std::vector<std::string>{"../../user/bsp", "../../user", "../../Missing",
                                      "C:/Keil/inc", temp / "user/bsp", "../../user/bsp"}));
}

}  // namespace
