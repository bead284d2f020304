// Runs that must stop before anything is written: bad options, unreadable MDK files, unknown chips.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/version.h"
#include "e2e/fixture_tree.h"
#include "support/test_support.h"

namespace {

std::vector<std::string> Expected(std::vector<std::string> tail) {
  std::vector<std::string> lines = BannerLines();
  lines.insert(lines.end(), tail.begin(), tail.end());
  return lines;
}

struct Refusal {
  const char* what;
  std::vector<std::string> args;  // "@" stands for the fixture folder
  std::vector<std::string> tail;  // lines after the banner, "@" likewise
};

std::string Expand(std::string text, const std::string& root) {
  for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + root.size())) {
    text.replace(at, 1, root);
  }
  return text;
}

TEST(RefusalTest, EachBadInputEndsWithItsMessageAndWritesNothing) {
  ScopedTempDir dir;
  WriteFile(dir / "mdk/good.uvprojx", MdkProjectXml("QM26R620AVGT7"));
  WriteFile(dir / "mdk/empty.uvprojx", "");
  WriteFile(dir / "mdk/text.uvprojx", "this is not XML at all\n");
  const std::string good = MdkProjectXml("QM26R620AVGT7");
  WriteFile(dir / "mdk/truncated.uvprojx", good.substr(0, good.size() / 2));
  WriteFile(dir / "mdk/noproject.uvprojx", "<?xml version=\"1.0\"?>\n<Other><Targets/></Other>\n");
  WriteFile(dir / "mdk/notargets.uvprojx", "<?xml version=\"1.0\"?>\n<Project></Project>\n");
  WriteFile(dir / "mdk/unknown.uvprojx", MdkProjectXml("STM32F407VGT6"));
  WriteFile(dir / "mdk/lower.uvprojx", MdkProjectXml("qm26r620avgt7"));
  WriteFile(dir / "mdk/notstart.uvprojx", MdkProjectXml("X-QM26R620AVGT7"));
  WriteFile(dir / "mdk/short.uvprojx", MdkProjectXml("QM26R620AV"));
  WriteFile(dir / "mdk/bare.uvprojx", MdkProjectXml("QM26R620A"));
  WriteFile(dir / "mdk/nosize.uvprojx", MdkProjectXml("QM26R620AVJT7"));
  MakeDirs(dir / "mdk/folder.uvprojx");
  // Texts that XML 1.0 cannot carry, written as character references, and names Eclipse cannot
  // give a project.
  const auto variant = [&](const std::string& from, const std::string& to) {
    std::string xml = good;
    xml.replace(xml.find(from), from.size(), to);
    return xml;
  };
  WriteFile(dir / "mdk/group.uvprojx", variant("<GroupName>App", "<GroupName>App&#xFFFE;"));
  WriteFile(dir / "mdk/define.uvprojx", variant("USE_HAL,", "USE_HAL&#x1b;,"));
  WriteFile(dir / "mdk/device.uvprojx",
            variant("QM26R620AVGT7</Device>", "QM26R620AVGT7&#10;chipSizeType=M</Device>"));
  WriteFile(dir / "mdk/unnamed.uvprojx", variant("<TargetName>fixture", "<TargetName>"));
  WriteFile(dir / "mdk/dot.uvprojx", variant("<TargetName>fixture", "<TargetName>."));

  const std::string param = "Parameter configuration error!";
  const std::string noChip = "No supported MCU model found!";
  const std::vector<Refusal> cases = {
      {"no arguments", {}, {param}},
      {"one argument", {"-MDKPATH"}, {param}},
      {"lower-case option", {"-mdkpath", "@/mdk/good.uvprojx"}, {param}},
      {"unknown option", {"-MDKPATH", "@/mdk/good.uvprojx", "-OUT", "x"}, {param}},
      {"option joined by =", {"-MDKPATH=@/mdk/good.uvprojx", "x"}, {param}},
      {"no -MDKPATH", {"-TARGETNAME", "t", "-BSPPATH", "@/bsp"}, {"Unable to load file: "}},
      {"missing file", {"-MDKPATH", "@/mdk/none.uvprojx"}, {"Unable to load file: @/mdk/none.uvprojx"}},
      {"empty file", {"-MDKPATH", "@/mdk/empty.uvprojx"}, {"Unable to load file: @/mdk/empty.uvprojx"}},
      {"directory", {"-MDKPATH", "@/mdk/folder.uvprojx"},
       {"Unable to load file: @/mdk/folder.uvprojx"}},
      {"not XML", {"-MDKPATH", "@/mdk/text.uvprojx"}, {"Unable to load file: @/mdk/text.uvprojx"}},
      {"truncated XML", {"-MDKPATH", "@/mdk/truncated.uvprojx"},
       {"Unable to load file: @/mdk/truncated.uvprojx"}},
      {"no Project element", {"-MDKPATH", "@/mdk/noproject.uvprojx"},
       {"Success to read MDK project file: @/mdk/noproject.uvprojx", noChip,
        "The MDK target names no device."}},
      {"no Targets", {"-MDKPATH", "@/mdk/notargets.uvprojx"},
       {"Success to read MDK project file: @/mdk/notargets.uvprojx", noChip,
        "The MDK target names no device."}},
      {"unsupported device", {"-MDKPATH", "@/mdk/unknown.uvprojx"},
       {"Success to read MDK project file: @/mdk/unknown.uvprojx", noChip,
        "The MDK target's device: STM32F407VGT6"}},
      {"lower-case device", {"-MDKPATH", "@/mdk/lower.uvprojx"},
       {"Success to read MDK project file: @/mdk/lower.uvprojx", noChip,
        "The MDK target's device: qm26r620avgt7"}},
      {"model not at the start", {"-MDKPATH", "@/mdk/notstart.uvprojx"},
       {"Success to read MDK project file: @/mdk/notstart.uvprojx", noChip,
        "The MDK target's device: X-QM26R620AVGT7"}},
      {"one character after the model", {"-MDKPATH", "@/mdk/short.uvprojx"},
       {"Success to read MDK project file: @/mdk/short.uvprojx", noChip,
        "The MDK target's device: QM26R620AV (model QM26R620A, but no flash-size code follows it)"}},
      {"model name alone", {"-MDKPATH", "@/mdk/bare.uvprojx"},
       {"Success to read MDK project file: @/mdk/bare.uvprojx", noChip,
        "The MDK target's device: QM26R620A (model QM26R620A, but no flash-size code follows it)"}},
      {"flash-size code not in the table", {"-MDKPATH", "@/mdk/nosize.uvprojx"},
       {"Success to read MDK project file: @/mdk/nosize.uvprojx", noChip,
        "The MDK target's device: QM26R620AVJT7 (model QM26R620A, but the flash-size code J is "
        "not a supported one)"}},
      {"control character in -TARGETNAME",
       {"-MDKPATH", "@/mdk/good.uvprojx", "-TARGETNAME", "demo\x01"},
       {"Success to read MDK project file: @/mdk/good.uvprojx", "Not valid in XML: -TARGETNAME"}},
      {"non-character in a group name", {"-MDKPATH", "@/mdk/group.uvprojx"},
       {"Success to read MDK project file: @/mdk/group.uvprojx",
        "Not valid in XML: GroupName in @/mdk/group.uvprojx"}},
      {"escape character in a define", {"-MDKPATH", "@/mdk/define.uvprojx"},
       {"Success to read MDK project file: @/mdk/define.uvprojx",
        "Not valid in XML: Define in @/mdk/define.uvprojx"}},
      {"line break in the device", {"-MDKPATH", "@/mdk/device.uvprojx"},
       {"Success to read MDK project file: @/mdk/device.uvprojx",
        "Not valid in XML: Device in @/mdk/device.uvprojx"}},
      {"empty target name", {"-MDKPATH", "@/mdk/unnamed.uvprojx"},
       {"Success to read MDK project file: @/mdk/unnamed.uvprojx",
        "Not a name Eclipse can give a project: "}},
      {"target name \".\"", {"-MDKPATH", "@/mdk/dot.uvprojx"},
       {"Success to read MDK project file: @/mdk/dot.uvprojx",
        "Not a name Eclipse can give a project: ."}},
      {"-TARGETNAME ..", {"-MDKPATH", "@/mdk/good.uvprojx", "-TARGETNAME", ".."},
       {"Success to read MDK project file: @/mdk/good.uvprojx",
        "Not a name Eclipse can give a project: .."}},
      {"-TARGETNAME with a slash", {"-MDKPATH", "@/mdk/good.uvprojx", "-TARGETNAME", "a/b"},
       {"Success to read MDK project file: @/mdk/good.uvprojx",
        "Not a name Eclipse can give a project: a/b"}},
      {"-TARGETNAME of blanks", {"-MDKPATH", "@/mdk/good.uvprojx", "-TARGETNAME", "  "},
       {"Success to read MDK project file: @/mdk/good.uvprojx",
        "Not a name Eclipse can give a project:   "}},
  };

  const std::set<std::string> treeBefore = ListTree(dir.path());
  const std::string goodBefore = ReadFile(dir / "mdk/good.uvprojx");
  for (const Refusal& c : cases) {
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(Expand(arg, dir.path()));
    std::vector<std::string> tail;
    for (const std::string& line : c.tail) tail.push_back(Expand(line, dir.path()));

    const RunResult run = RunGeneratorBinary(args, dir.path());
    EXPECT_EQ(run.exitStatus, 255) << c.what;
    EXPECT_EQ(SplitLines(run.out), Expected(tail)) << c.what;
    EXPECT_EQ(run.err, "") << c.what;
    EXPECT_EQ(ListTree(dir.path()), treeBefore) << c.what;
  }
  EXPECT_EQ(ReadFile(dir / "mdk/good.uvprojx"), goodBefore);
}

TEST(RefusalTest, HelpAndVersionPrintTheBannerAndSucceed) {
  ScopedTempDir dir;
  const RunResult version = RunGeneratorBinary({"--version"}, dir.path());
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_EQ(SplitLines(version.out),
            Expected({std::string("qm26-ide-gen ") + kProgramVersion,
                      "Copyright (c) 2026 the qm26-ide-gen authors. Released under the MIT License."}));

  for (const char* flag : {"-h", "--help"}) {
    const RunResult help = RunGeneratorBinary({flag}, dir.path());
    EXPECT_EQ(help.exitStatus, 0) << flag;
    const std::vector<std::string> lines = SplitLines(help.out);
    ASSERT_GT(lines.size(), 8u) << flag;
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), BannerLines());
    EXPECT_EQ(lines[4].rfind("Usage: qm26-ide-gen -MDKPATH", 0), 0u) << lines[4];
  }
  EXPECT_TRUE(ListTree(dir.path()).empty());
}

}  // namespace
