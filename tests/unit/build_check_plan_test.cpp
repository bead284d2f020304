// Tests of what the check before the first build looks at in a generated project.
#include "ide/build_check_plan.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ide/build_selection.h"
#include "mdk/mdk_path.h"

namespace {

PlannedLink Link(const std::string& name, const std::string& filePath, bool built) {
  PlannedLink link;
  link.name = name;
  link.filePath = filePath;
  link.location = LocateLinkedFile(filePath);
  link.built = built;
  return link;
}

SourceFile File(int type, const std::string& path, bool built = true) {
  SourceFile file;
  file.fileType = type;
  file.fileName = path.substr(path.find_last_of("/\\") + 1);
  file.filePath = path;
  file.includeInBuild = built;
  return file;
}

struct Expected {
  std::string shown;
  std::string disk;
  CheckKind kind;
};

void ExpectSources(const BuildCheckInput& input, const std::vector<Expected>& expected) {
  ASSERT_EQ(input.sources.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].shown);
    EXPECT_EQ(input.sources[i].shownPath, expected[i].shown);
    EXPECT_EQ(input.sources[i].diskPath, expected[i].disk);
    EXPECT_EQ(input.sources[i].kind, expected[i].kind);
  }
}

TEST(BuildCheckPlanTest, LooksAtWhatTheIdeBuildsAndWhatItLeavesOut) {
  ProjectInfo project;
  SourceGroup group;
  group.groupName = "App";
  group.otherFiles = {
      File(2, "..\\port\\os_cpu_a.asm"),
      File(2, ".\\Startup_qm26.s"),              // replaced by the BSP's startup file
      File(2, ".\\src\\switched_off.s", false),  // MDK does not assemble it either
      File(3, ".\\obj\\fast.o"),
      File(4, "..\\lib\\dsp.lib"),
      File(4, "/opt/vendor/dsp.lib"),
      File(5, "..\\doc\\readme.txt"),
  };
  project.groups = {group};
  project.defines = {"QM26R620A", "HSE_VALUE=8000000"};
  const std::vector<PlannedLink> links = {
      Link("App/main.c", "..\\src\\main.c", true),
      Link("App/old.c", "..\\src\\old.c", false),
      Link("App/board.c", "inc\\..\\board.c", true),
      Link("Ext/util.c", "/opt/vendor/util.c", true),
  };
  BuildSelection selection;
  selection.excludedPaths = {"Startup_qm26.s", "board.c", "src/a?b.c", "unused.c"};
  selection.includePaths = {"../inc", "../../common/inc", "/opt/vendor/inc"};
  const std::vector<std::string> projectFiles = {
      "unused.c", "src/z.cpp", "startup_qm26r620a_625.s", "Startup_qm26.s", "src/a|b.c",
      "board.c",  "src/x.h",   "src/notes.txt",           "RTE/Device/system.c",
  };
  const CheckFolders folders{"/work/qm26_ide_proj", "/work/mdk", "startup_qm26r620a_625.s"};

  const BuildCheckInput input = PlanBuildCheck(project, links, selection, projectFiles, folders);
  ExpectSources(input,
                {
                    {"App/main.c", "/work/src/main.c", CheckKind::kBuiltSource},
                    {"App/board.c", "/work/qm26_ide_proj/board.c", CheckKind::kBuiltSource},
                    {"Ext/util.c", "/opt/vendor/util.c", CheckKind::kBuiltSource},
                    {"RTE/Device/system.c", "/work/qm26_ide_proj/RTE/Device/system.c",
                     CheckKind::kBuiltSource},
                    {"src/z.cpp", "/work/qm26_ide_proj/src/z.cpp", CheckKind::kBuiltSource},
                    {"startup_qm26r620a_625.s", "/work/qm26_ide_proj/startup_qm26r620a_625.s",
                     CheckKind::kBuiltSource},
                    {"../port/os_cpu_a.asm", "/work/port/os_cpu_a.asm",
                     CheckKind::kLeftOutAssembler},
                    {"obj/fast.o", "/work/mdk/obj/fast.o", CheckKind::kPrebuiltObject},
                    {"../lib/dsp.lib", "/work/lib/dsp.lib", CheckKind::kPrebuiltLibrary},
                    {"../../opt/vendor/dsp.lib", "/opt/vendor/dsp.lib",
                     CheckKind::kPrebuiltLibrary},
                });
  EXPECT_EQ(input.includeFolders, (std::vector<std::string>{"/work/qm26_ide_proj/inc",
                                                            "/work/common/inc", "/opt/vendor/inc"}));
  EXPECT_EQ(input.defines, project.defines);
  ASSERT_TRUE(input.showPath);
  EXPECT_EQ(input.showPath("/work/qm26_ide_proj/inc/board.h"), "inc/board.h");
  EXPECT_EQ(input.showPath("/work/common/inc/board.h"), "../common/inc/board.h");

  // Without a BSP startup file, the target's own is the one to rewrite.
  const CheckFolders noBsp{"/work/qm26_ide_proj", "/work/mdk", ""};
  const BuildCheckInput withoutBsp =
      PlanBuildCheck(project, {}, BuildSelection(), {}, noBsp);
  ExpectSources(withoutBsp,
                {
                    {"../port/os_cpu_a.asm", "/work/port/os_cpu_a.asm",
                     CheckKind::kLeftOutAssembler},
                    {"Startup_qm26.s", "/work/mdk/Startup_qm26.s", CheckKind::kLeftOutAssembler},
                    {"obj/fast.o", "/work/mdk/obj/fast.o", CheckKind::kPrebuiltObject},
                    {"../lib/dsp.lib", "/work/lib/dsp.lib", CheckKind::kPrebuiltLibrary},
                    {"../../opt/vendor/dsp.lib", "/opt/vendor/dsp.lib",
                     CheckKind::kPrebuiltLibrary},
                });
}

// The MDK folder is read once; where a FilePath leads must be what normalising the whole path
// gives, for paths that climb out and back in, climb past the root, or are absolute.
TEST(BuildCheckPlanTest, APathInsideTheMdkFolderIsWhatTheWholeNormalPathSays) {
  const auto reference = [](const std::string& filePath, const std::string& folder) {
    const std::string path = ToForwardSlashes(filePath);
    if (IsAbsoluteMdkPath(path) && path[0] != '/') return std::string();
    const std::vector<std::string> file =
        NormalizedSegments(IsAbsoluteMdkPath(path) ? path : folder + "/" + path);
    const std::vector<std::string> base = NormalizedSegments(folder);
    if (file.size() <= base.size() || !std::equal(base.begin(), base.end(), file.begin())) {
      return std::string();
    }
    return JoinSegments(std::vector<std::string>(file.begin() + base.size(), file.end()));
  };
  const std::vector<std::string> steps = {"..", ".", "", "w", "mdk", "src", "main.c", "C:"};
  std::mt19937 random(26);
  for (const std::string folder : {"/w/mdk", "/mdk", "/w/mdk/src"}) {
    const MdkFolder mdk(folder);
    for (int i = 0; i < 20000; ++i) {
      std::string path = random() % 4 == 0 ? "/" : "";
      for (size_t n = random() % 7; n > 0; --n) {
        path += steps[random() % steps.size()] + (random() % 2 ? "/" : "\\");
      }
      path += steps[random() % steps.size()];
      ASSERT_EQ(mdk.PathInside(path), reference(path, folder)) << path << " in " << folder;
    }
  }
  EXPECT_EQ(MdkFolder("/w/mdk").PathInside("..\\mdk\\src\\main.c"), "src/main.c");
}

}  // namespace
