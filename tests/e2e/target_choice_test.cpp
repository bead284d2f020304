// Choosing the MDK target to convert: the first one by default, with a line naming the others; the
// one -MDKTARGET names, with its device, files, run-time environment and settings; an unknown name.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/cdt_build.h"
#include "e2e/fixture_tree.h"
#include "e2e/xml_probe.h"
#include "support/test_support.h"

namespace {

using Strings = std::vector<std::string>;

constexpr char kDebug[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.debug";
constexpr char kRelease[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.release";
const std::string kOption = "ilg.gnuarmeclipse.managedbuild.cross.option.";

std::string Templates() { return SourceDir() + "/examples/QM26IDE_Templates"; }
std::string Bsp() { return SourceDir() + "/examples/bsp"; }

RunResult Convert(const std::string& mdk, const Strings& more, const std::string& workDir) {
  Strings args = {"-MDKPATH", mdk, "-TEMPLATESPATH", Templates(), "-BSPPATH", Bsp()};
  args.insert(args.end(), more.begin(), more.end());
  return RunGeneratorBinary(args, workDir);
}

Strings LinkNames(const std::string& projectFile) {
  Strings names;
  for (const ProjectLink& link : ReadProjectDescription(projectFile).links) {
    names.push_back(link.name);
  }
  return names;
}

// The fixture's file has three targets: "Flash" (a QM26R620A, ARM Compiler 5), "RAM" (a QM26S110
// whose flash starts at 0x08004000, ARM Compiler 6, with a run-time environment file of its own)
// and "Board B".
TEST(TargetChoiceTest, ConvertsTheChosenTargetAndNamesTheOthers) {
  ScopedTempDir dir;
  CopyTree(SourceDir() + "/tests/data/targets", dir / "targets");
  const std::string mdk = dir / "targets/mdk/targets.uvprojx";
  const std::string project = dir / "targets/qm26_ide_proj";

  // Without -MDKTARGET the first target is converted, and a line names the others.
  {
    const RunResult run = Convert(mdk, {}, dir.path());
    ASSERT_EQ(run.exitStatus, 0) << run.out;
    const Strings lines = SeparateCopyLines(run.out).otherLines;
    ASSERT_GT(lines.size(), 6u) << run.out;
    EXPECT_EQ(lines[4], "Success to read MDK project file: " + mdk);
    EXPECT_EQ(lines[5],
              "The MDK project has 3 targets; converting Flash. Choose another with -MDKTARGET: "
              "RAM, Board B");
    EXPECT_EQ(ReadProjectDescription(project + "/.project").name, "Flash");
    EXPECT_EQ(LinkNames(project + "/.project"), (Strings{"App/flash_main.c", "App/system_flash.c"}));
    // The run-time environment file of "RAM" is not this target's.
    const CdtBuild build = BuildLikeCdt(project, kDebug);
    ASSERT_TRUE(build.linked) << build.log;
    EXPECT_EQ(build.resources,
              (Strings{"App/flash_main.c", "App/system_flash.c", "startup_qm26r620a_625.s"}));
  }

  // -MDKTARGET RAM converts the second target; -TARGETNAME still names the project.
  {
    const RunResult run =
        Convert(mdk, {"-MDKTARGET", "RAM", "-TARGETNAME", "ram_project"}, dir.path());
    ASSERT_EQ(run.exitStatus, 0) << run.out;
    EXPECT_EQ(run.err, "");
    const std::string script =
        "Modify link file configuration: \"${workspace_loc:/${ProjName}}/ldscripts/"
        "QM26S110xB_FLASH.ld\"";
    const Strings settings = {
        "Modify the char signedness configuration: -fsigned-char",
        "Modify the C library configuration: full newlib (no --specs=nano.specs)",
        "Modify the flash image configuration: objcopy -O ihex",
        "Modify the artifact name configuration: ram_image",
    };
    Strings expected = BannerLines();
    const Strings head = {
        "Success to read MDK project file: " + mdk,
        "qm26ide_project_path:" + dir / "targets/mdk/../qm26_ide_proj",
        "Templates path: " + Templates() + "/QM26S110/QM26_IDE",
        "The linker file was updated successfully.",
        "The startup file was updated successfully.",
        "Add project file configuration: src/ram_main.c",
        "",
        "Modify the Debug configuration",
        "Modify the include path configuration: \"../../src\"",
        "Modify the define configuration: RAM_BUILD",
        "Modify the define configuration: TRACE",
        "Modify the define configuration: OS_USE_TRACE_SEMIHOSTING_DEBUG",
        script,
        "Modify the optimization configuration: -O1",
    };
    expected.insert(expected.end(), head.begin(), head.end());
    expected.insert(expected.end(), settings.begin(), settings.end());
    const Strings release = {
        "",
        "Modify the Release configuration",
        "Modify the include path configuration: \"../../src\"",
        "Modify the define configuration: RAM_BUILD",
        "Modify the define configuration: NDEBUG",
        script,
    };
    expected.insert(expected.end(), release.begin(), release.end());
    expected.insert(expected.end(), settings.begin(), settings.end());
    const Strings tail = {
        "Not carried over: scatter file: .\\ram.sct",
        "Not carried over: options of group App: Cads/Optim=3",
        "Not carried over: language C (v6Lang): 5",
        "Check before building: ../lib/dsp.lib: prebuilt ARM Compiler library: the IDE does not "
        "link it, and GNU ld may not take it; rebuild it with GCC",
        "1 place to check before the first build.",
        "Not carried over: stack size: the MDK target has no startup file",
        "Not carried over: heap size: the MDK target has no startup file",
        "",
        "Successfully!!! ",
        "The QM26 IDE project is generated!",
        "Project path: " + dir / "targets/mdk/../qm26_ide_proj",
    };
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(SeparateCopyLines(run.out).otherLines, expected);

    EXPECT_EQ(ReadProjectDescription(project + "/.project").name, "ram_project");
    EXPECT_EQ(LinkNames(project + "/.project"), (Strings{"App/ram_main.c"}));
    EXPECT_EQ(SplitLines(ReadFile(project + "/preferences.ini"))[2], "chipTarget=QM26S110VBT7");
    const std::string cproject = project + "/.cproject";
    EXPECT_EQ(OptionValue(cproject, kDebug, kOption + "optimization.level."),
              kOption + "optimization.level.optimize");
    EXPECT_EQ(OptionValue(cproject, kRelease, kOption + "optimization.level."),
              kOption + "optimization.level.size");
    // v6Lang 5 is not carried: the template's dialect stays.
    EXPECT_EQ(OptionValue(cproject, kDebug, kOption + "c.compiler.std."),
              kOption + "c.compiler.std.c99");
    for (const char* configuration : {kDebug, kRelease}) {
      SCOPED_TRACE(configuration);
      EXPECT_EQ(OptionValue(cproject, configuration, kOption + "optimization.signedchar."), "true");
      EXPECT_EQ(OptionValue(cproject, configuration, kOption + "c.linker.usenewlibnano."), "false");
      EXPECT_EQ(OptionValue(cproject, configuration, kOption + "cpp.linker.usenewlibnano."),
                "false");
      EXPECT_EQ(ConfigurationAttribute(cproject, configuration, "artifactName"), "ram_image");
    }

    // The chip's core, its own run-time environment file, its image names; it links with a
    // scatter file, so the script keeps its own regions, not the Cpu text's (flash at 0x08004000).
    const CdtBuild build = BuildLikeCdt(project, kDebug);
    ASSERT_TRUE(build.linked) << build.log;
    EXPECT_EQ(build.targetFlags, "-mcpu=cortex-m0plus -mthumb -mfloat-abi=soft");
    EXPECT_EQ(build.resources, (Strings{"App/ram_main.c",
                                        "RTE/Device/QM26S110VBT7/system_qm26s110.c",
                                        "startup_qm26s110.s"}));
    EXPECT_EQ(VectorTableProblem(build), "");
    EXPECT_NE(ReadFile(build.linkerScript)
                  .find("\n  FLASH (rx)      : ORIGIN = 0x08000000, LENGTH = 128K\n"),
              std::string::npos);
    EXPECT_EQ(build.image.substr(build.image.rfind('/') + 1), "ram_image.elf");
    EXPECT_EQ(build.flashImage.substr(build.flashImage.rfind('/') + 1), "ram_image.hex");
  }

  // A name no target has: refused before anything is written.
  {
    const auto before = Snapshot(dir.path());
    const RunResult run = Convert(mdk, {"-MDKTARGET", "Nope"}, dir.path());
    EXPECT_EQ(run.exitStatus, 255);
    Strings expected = BannerLines();
    expected.push_back("No target named Nope in " + mdk + ". Its targets: Flash, RAM, Board B");
    EXPECT_EQ(SplitLines(run.out), expected);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Snapshot(dir.path()), before);
  }
}

}  // namespace
