// Tests of the list of MDK settings that the generated project does not take over.
#include "ide/not_carried_over.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

TEST(NotCarriedOverTest, NamesEachSettingThatChangesTheBuildAndNothingElse) {
  ProjectInfo project;
  project.chipModel = "QM26R620A";
  project.settings = {
      {"TargetArmAds/Cads/VariousControls/MiscControls", "--c99 --gnu"},
      {"TargetArmAds/Aads/VariousControls/MiscControls", "--cpreproc"},
      {"TargetArmAds/LDads/Misc", "--keep *.o(.rti_fn.*)"},
      // Switched on with a name, switched on without one, a name switched off.
      {"TargetCommonOption/BeforeCompile/RunUserProg2", "1"},
      {"TargetCommonOption/BeforeCompile/UserProg2Name", "gen_version.bat"},
      {"TargetCommonOption/BeforeMake/RunUserProg1", "1"},
      {"TargetCommonOption/BeforeMake/UserProg1Name", ""},
      {"TargetCommonOption/AfterMake/RunUserProg1", "0"},
      {"TargetCommonOption/AfterMake/UserProg1Name", "fromelf --bin !L"},
      {"TargetCommonOption/AfterMake/RunUserProg2", "1"},
      {"TargetCommonOption/AfterMake/UserProg2Name", "fromelf --i32 !L"},
      {"TargetArmAds/LDads/umfTarg", "0"},
      {"TargetArmAds/LDads/ScatterFile", ".\\app.sct"},
      {"TargetArmAds/Cads/Optim", "9"},
  };
  project.ownOptions = {
      // Values that follow the target, in the forms uVision writes them.
      {"Drivers", "",
       {{"CommonProperty/UseCPPCompiler", "0"}, {"CommonProperty/AlwaysBuild", "2"},
        {"CommonProperty/StopOnExitCode", "11"}, {"GroupArmAds/Cads/Optim", "0"},
        {"GroupArmAds/Cads/PlainCh", "2"}, {"GroupArmAds/Cads/v6Lto", "0"},
        {"GroupArmAds/Cads/wLevel", "2"}, {"GroupArmAds/Cads/VariousControls/Define", ""}},
       true},
      {"Boot", "",
       {{"CommonProperty/IncludeInBuild", "1"}, {"GroupArmAds/Cads/Optim", "4"},
        {"GroupArmAds/Cads/Ropi", "1"}, {"GroupArmAds/Aads/thumb", "2"},
        {"GroupArmAds/Cads/VariousControls/Define", "BOOT"}},
       true},
      {"Boot", "boot.c", {{"CommonProperty/AlwaysBuild", "1"}, {"CommonProperty/UseCPPCompiler", "1"}},
       true},
      // A file MDK does not build: its options do not matter.
      {"Boot", "old.c", {{"FileArmAds/Cads/Optim", "1"}}, false},
  };
  project.groups = {{"Libs",
                     {},
                     {{4, "dsp.lib", "..\\lib\\dsp.lib", true},
                      {3, "table.o", ".\\table.o", true},
                      {4, "old.lib", "old.lib", false},
                      {2, "startup.s", "startup.s", true}}}};

  EXPECT_EQ(NotCarriedOver(project),
            (Strings{"Not carried over: C misc controls: --c99 --gnu",
                     "Not carried over: assembler misc controls: --cpreproc",
                     "Not carried over: linker misc controls: --keep *.o(.rti_fn.*)",
                     "Not carried over: user command before each compile: gen_version.bat",
                     "Not carried over: user command after the build: fromelf --i32 !L",
                     "Not carried over: scatter file: .\\app.sct",
                     "Not carried over: options of group Boot: Cads/Optim=4, Cads/Ropi=1, "
                     "Cads/VariousControls/Define=BOOT",
                     "Not carried over: options of file Boot/boot.c: CommonProperty/AlwaysBuild=1, "
                     "CommonProperty/UseCPPCompiler=1",
                     "Not carried over: optimization (Optim): 9"}));

  // The layout MDK makes itself is no scatter file of the user's.
  project.settings["TargetArmAds/LDads/umfTarg"] = "1";
  const Strings lines = NotCarriedOver(project);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Not carried over: scatter file: .\\app.sct"), 0);
  EXPECT_TRUE(NotCarriedOver(ProjectInfo{}).empty());
}

}  // namespace
