// Tests of the MDK build settings in the IDE project: the table's choices and their writing.
#include "ide/build_settings.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ide/build_selection.h"
#include "ide/cproject_writer.h"
#include "support/test_support.h"

namespace {

using Strings = std::vector<std::string>;
using Settings = std::map<std::string, std::string>;

const std::string kOption = "ilg.gnuarmeclipse.managedbuild.cross.option.";
const std::string kTool = "ilg.gnuarmeclipse.managedbuild.cross.tool.";

// One configuration's settings as text: each option as "<id after the option prefix>=<value or
// values>", then the artifact name, then the printed lines.
Strings Describe(const ConfigurationSettings& settings) {
  Strings lines;
  for (const OptionValue& option : settings.options) {
    std::string value = option.value;
    for (const std::string& item : option.values) value += (value.empty() ? "" : "|") + item;
    const std::string::size_type last = value.rfind('.');
    // An enumerated value repeats its option's id: keep only its last part.
    if (option.valueType == "enumerated") value = "." + value.substr(last + 1);
    lines.push_back(option.superClass.substr(kOption.size()) + "=" + value);
  }
  if (!settings.artifactName.empty()) lines.push_back("artifact=" + settings.artifactName);
  lines.insert(lines.end(), settings.lines.begin(), settings.lines.end());
  return lines;
}

ProjectInfo Project(const std::string& chipModel, const Settings& settings) {
  ProjectInfo project;
  project.chipModel = chipModel;
  project.settings = settings;
  return project;
}

const Settings kArmCompiler5 = {
    {"TargetName", "t"},
    {"TargetArmAds/Cads/Optim", "3"},
    {"TargetArmAds/Cads/PlainCh", "1"},
    {"TargetArmAds/Cads/uC99", "0"},
    {"TargetArmAds/Cads/v6Lang", "3"},  // ARM Compiler 6 only
    {"TargetArmAds/ArmAdsMisc/RvdsVP", "1"},
    {"TargetArmAds/ArmAdsMisc/useUlib", "0"},
    {"TargetCommonOption/CreateHexFile", "1"},
    {"TargetCommonOption/OutputName", "image"},
    {"TargetArmAds/Aads/VariousControls/Define", "A, B"},
    {"TargetArmAds/Aads/VariousControls/IncludePath", "..\\asm"},
};

TEST(BuildSettingsTest, ChoosesEachRowsOptionsForTheTargetsCompilerAndChip) {
  const BuildSettings five = ChooseBuildSettings(Project("QM26R620A", kArmCompiler5));
  const Strings common = {
      "optimization.signedchar=true", "c.compiler.std=.default", "arm.target.fpu.abi=.soft",
      "c.linker.usenewlibnano=false", "cpp.linker.usenewlibnano=false",
      "addtools.createflash=true", "createflash.choice=.ihex"};
  Strings debug = {"optimization.level=.more"};
  debug.insert(debug.end(), common.begin(), common.end());
  debug.insert(debug.end(), {"assembler.defs=A|B|TRACE|OS_USE_TRACE_SEMIHOSTING_DEBUG",
                             "assembler.include.paths=\"../../asm\"", "artifact=image",
                             "Modify the optimization configuration: -O2"});
  Strings release = common;
  release.insert(release.end(), {"assembler.defs=A|B|NDEBUG", "assembler.include.paths=\"../../asm\"",
                                 "artifact=image"});
  const Strings lines = {
      "Modify the char signedness configuration: -fsigned-char",
      "Modify the C language standard configuration: GCC's default (no -std)",
      "Modify the float ABI configuration: -mfloat-abi=soft",
      "Modify the C library configuration: full newlib (no --specs=nano.specs)",
      "Modify the flash image configuration: objcopy -O ihex",
      "Modify the artifact name configuration: image",
      "Modify the assembler define configuration: A",
      "Modify the assembler define configuration: B"};
  debug.insert(debug.end(), lines.begin(), lines.end());
  debug.insert(debug.end(), {"Modify the assembler define configuration: TRACE",
                             "Modify the assembler define configuration: OS_USE_TRACE_SEMIHOSTING_DEBUG",
                             "Modify the assembler include path configuration: \"../../asm\""});
  release.insert(release.end(), lines.begin(), lines.end());
  release.insert(release.end(), {"Modify the assembler define configuration: NDEBUG",
                                 "Modify the assembler include path configuration: \"../../asm\""});
  EXPECT_EQ(Describe(five.debug), debug);
  EXPECT_EQ(Describe(five.release), release);
  EXPECT_TRUE(five.kept.empty());

  // ARM Compiler 6: its default level is -O0, v6Lang counts and uC99 does not.
  const BuildSettings six = ChooseBuildSettings(
      Project("QM26R620A", {{"uAC6", "1"}, {"TargetArmAds/Cads/Optim", "0"},
                            {"TargetArmAds/Cads/uC99", "1"}, {"TargetArmAds/Cads/v6Lang", "3"}}));
  EXPECT_EQ(Describe(six.debug),
            (Strings{"optimization.level=.none", "c.compiler.std=.c99",
                     "Modify the optimization configuration: -O0",
                     "Modify the C language standard configuration: -std=c99"}));
  EXPECT_EQ(Describe(six.release),
            (Strings{"c.compiler.std=.c99", "Modify the C language standard configuration: -std=c99"}));

  // Values the table does not know keep the template's and are reported.
  const BuildSettings unknown = ChooseBuildSettings(
      Project("QM26R620A", {{"uAC6", "1"}, {"TargetArmAds/Cads/Optim", "7"},
                            {"TargetArmAds/Cads/PlainCh", "2"}, {"TargetArmAds/Cads/v6Lang", "5"},
                            {"TargetArmAds/ArmAdsMisc/RvdsVP", "4"}}));
  EXPECT_TRUE(Describe(unknown.debug).empty());
  EXPECT_EQ(unknown.kept, (Strings{"optimization (Optim): 7", "plain char is signed (PlainCh): 2",
                                   "language C (v6Lang): 5", "floating point hardware (RvdsVP): 4"}));

  // Nothing to carry: no FPU to leave unused, the template's image settings, the target's own
  // name, an empty text, a compiler that is neither.
  const BuildSettings none = ChooseBuildSettings(
      Project("QM26S110", {{"TargetName", "t"}, {"TargetArmAds/ArmAdsMisc/RvdsVP", "1"},
                           {"TargetCommonOption/CreateHexFile", "0"},
                           {"TargetCommonOption/OutputName", "t"},
                           {"TargetArmAds/Aads/VariousControls/Define", " , "},
                           {"TargetArmAds/Cads/PlainCh", ""}}));
  EXPECT_TRUE(Describe(none.debug).empty());
  EXPECT_TRUE(Describe(none.release).empty());
  EXPECT_TRUE(none.kept.empty());
  EXPECT_TRUE(ChooseBuildSettings(Project("QM26R620A", {{"uAC6", "2"}, {"TargetArmAds/Cads/Optim", "1"}}))
                  .debug.options.empty());
}

// A template as small as CDT allows: a toolChain and a C compiler without superClass attributes,
// one option of the toolChain, the options the run always sets in the C compiler, no linker,
// assembler or flash tools. `release` adds the Release configuration, `toolChain` the toolChains
// (without them the options the run always sets stand alone).
std::string Template(bool release, bool toolChain) {
  const std::string alwaysSet =
      "<option id=\"" + kOption + "c.compiler.include.paths.7\" valueType=\"includePath\"/>"
      "<option id=\"" + kOption + "c.compiler.defs.7\" valueType=\"definedSymbols\"/>"
      "<option id=\"" + kOption + "c.linker.scriptfile.7\" valueType=\"stringList\"/>";
  const auto configuration = [&](const std::string& kind) {
    const std::string config = "ilg.gnuarmeclipse.managedbuild.cross.config.elf." + kind;
    return "<cconfiguration id=\"" + config + ".1\"><storageModule moduleId=\"cdtBuildSystem\">"
           "<configuration artifactName=\"${ProjName}\" id=\"" + config + ".1\" name=\"" + kind +
           "\"><folderInfo id=\"" + config + ".1.\" name=\"/\">" +
           (toolChain ? "<toolChain id=\"ilg.gnuarmeclipse.managedbuild.cross.toolchain.elf." +
                            kind + ".7\"><option id=\"" + kOption +
                            "optimization.level.7\" name=\"x\" superClass=\"" + kOption +
                            "optimization.level\" valueType=\"enumerated\"/>"
                            "<tool id=\"" + kTool + "c.compiler.7\">" + alwaysSet +
                            "<inputType id=\"in.7\"/></tool></toolChain>"
                      : alwaysSet) +
           "</folderInfo></configuration></storageModule></cconfiguration>";
  };
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<cproject>"
         "<storageModule moduleId=\"org.eclipse.cdt.core.settings\">" + configuration("debug") +
         (release ? configuration("release") : "") + "</storageModule></cproject>\n";
}

const TiXmlElement* Child(const TiXmlElement* parent, const char* name, const std::string& idStart) {
  for (const TiXmlElement* child = parent->FirstChildElement(name); child != nullptr;
       child = child->NextSiblingElement(name)) {
    if (std::string(child->Attribute("id")).rfind(idStart, 0) == 0) return child;
  }
  return nullptr;
}

std::string Attributes(const TiXmlElement* element) {
  std::string text;
  for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
    text += std::string(text.empty() ? "" : " ") + a->Name();
  }
  return text;
}

TEST(BuildSettingsTest, WritesIntoTheOwnersAndAddsMissingOptionsAndToolsAsCdtDoes) {
  ScopedTempDir dir;
  WriteFile(dir / ".cproject", Template(true, true));
  ProjectInfo project = Project("QM26R620A", kArmCompiler5);
  project.chipModel = "QM26R620A";
  project.flashSizeCode = 'G';
  bool written = false;
  const std::string out = CaptureStdout(
      [&] { written = GenerateCProjectFile(project, dir.path(), BuildSelection{}); });
  ASSERT_TRUE(written) << out;
  const BuildSettings settings = ChooseBuildSettings(project);
  for (const std::string& line : settings.debug.lines) {
    EXPECT_NE(out.find("\n" + line + "\n"), std::string::npos) << line;
  }

  TiXmlDocument document;
  ASSERT_TRUE(document.LoadFile((dir / ".cproject").c_str()));
  std::map<std::string, int> numbers;
  for (const char* kind : {"debug", "release"}) {
    SCOPED_TRACE(kind);
    const TiXmlElement* cconfiguration = nullptr;
    for (const TiXmlElement* c = document.RootElement()->FirstChildElement()->FirstChildElement();
         c != nullptr; c = c->NextSiblingElement()) {
      if (std::string(c->Attribute("id")).find(kind) != std::string::npos) cconfiguration = c;
    }
    ASSERT_NE(cconfiguration, nullptr);
    const TiXmlElement* configuration =
        cconfiguration->FirstChildElement()->FirstChildElement("configuration");
    EXPECT_STREQ(configuration->Attribute("artifactName"), "image");
    const TiXmlElement* toolChain = configuration->FirstChildElement()->FirstChildElement("toolChain");
    // The template's option changes in place in Debug only; added options follow it, each as
    // CDT writes it.
    const TiXmlElement* level = toolChain->FirstChildElement("option");
    EXPECT_STREQ(level->Attribute("id"), (kOption + "optimization.level.7").c_str());
    EXPECT_STREQ(level->Attribute("value"),
                 std::string(kind) == "debug" ? (kOption + "optimization.level.more").c_str() : nullptr);
    EXPECT_EQ(Attributes(level), std::string(kind) == "debug" ? "id name superClass value valueType"
                                                              : "id name superClass valueType");
    const TiXmlElement* signedChar = level->NextSiblingElement();
    ASSERT_NE(signedChar, nullptr);
    EXPECT_EQ(Attributes(signedChar), "id superClass value valueType");
    EXPECT_STREQ(signedChar->Attribute("superClass"), (kOption + "optimization.signedchar").c_str());
    EXPECT_STREQ(signedChar->Attribute("value"), "true");
    EXPECT_STREQ(signedChar->Attribute("valueType"), "boolean");
    // The C compiler, known by its id, gets its option before its input type.
    const TiXmlElement* compiler = Child(toolChain, "tool", kTool + "c.compiler");
    ASSERT_NE(compiler, nullptr);
    const TiXmlElement* inputType = compiler->FirstChildElement("inputType");
    ASSERT_NE(inputType, nullptr);
    const TiXmlNode* beforeInput = inputType->PreviousSibling();
    ASSERT_NE(beforeInput, nullptr);
    EXPECT_STREQ(beforeInput->ToElement()->Attribute("value"),
                 (kOption + "c.compiler.std.default").c_str());
    // Missing tools: added after the last tool, with the option.
    Strings added;
    for (const TiXmlElement* tool = compiler->NextSiblingElement("tool"); tool != nullptr;
         tool = tool->NextSiblingElement("tool")) {
      EXPECT_EQ(Attributes(tool), "id name superClass");
      const TiXmlElement* option = tool->FirstChildElement("option");
      ASSERT_NE(option, nullptr);
      std::string entry = std::string(tool->Attribute("name")) + ": " +
                          std::string(option->Attribute("superClass")).substr(kOption.size());
      for (const TiXmlElement* value = option->FirstChildElement(); value != nullptr;
           value = value->NextSiblingElement()) {
        entry += std::string(" ") + value->Attribute("value");
      }
      added.push_back(entry);
    }
    EXPECT_EQ(added, (Strings{"Cross ARM C Linker: c.linker.usenewlibnano",
                              "Cross ARM C++ Linker: cpp.linker.usenewlibnano",
                              "Cross ARM GNU Create Flash Image: createflash.choice",
                              std::string("Cross ARM GNU Assembler: assembler.defs A B ") +
                                  (std::string(kind) == "debug"
                                       ? "TRACE OS_USE_TRACE_SEMIHOSTING_DEBUG"
                                       : "NDEBUG")}));
  }
  // Every id number of the file is used once.
  std::vector<std::string> ids;
  std::function<void(const TiXmlElement*)> collect = [&](const TiXmlElement* element) {
    for (; element != nullptr; element = element->NextSiblingElement()) {
      if (const char* id = element->Attribute("id")) {
        const std::string text = id;
        const std::string number = text.substr(text.rfind('.') + 1);
        if (!number.empty()) ++numbers[number];
      }
      collect(element->FirstChildElement());
    }
  };
  collect(document.RootElement());
  // The template's own numbers (1 and 7) repeat; every number added is new and used once.
  for (const auto& [number, count] : numbers) {
    if (number != "7" && number != "1") {
      EXPECT_EQ(count, 1) << number;
    }
  }
}

TEST(BuildSettingsTest, AToolChainThatSettingsNeedIsAnErrorThatNamesIt) {
  // A missing configuration is refused whatever the settings (see the .cproject writer's tests).
  const struct {
    bool release;
    bool toolChain;
    const char* message;
  } cases[] = {
      {true, false, "Incomplete project file: @: no toolChain in the Debug configuration"},
  };
  ProjectInfo project = Project("QM26R620A", {{"TargetArmAds/Cads/PlainCh", "1"}});
  project.flashSizeCode = 'G';
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    ScopedTempDir dir;
    const std::string path = dir / ".cproject";
    WriteFile(path, Template(c.release, c.toolChain));
    bool written = true;
    const Strings lines = SplitLines(
        CaptureStdout([&] { written = GenerateCProjectFile(project, dir.path(), BuildSelection{}); }));
    EXPECT_FALSE(written);
    std::string message = c.message;
    message.replace(message.find('@'), 1, path);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), message);
    EXPECT_EQ(ReadFile(path), Template(c.release, c.toolChain));

    // Without settings the same template is no error.
    ProjectInfo plain = project;
    plain.settings.clear();
    EXPECT_TRUE(CaptureStdout([&] { written = GenerateCProjectFile(plain, dir.path(), BuildSelection{}); })
                    .find("Incomplete") == std::string::npos);
    EXPECT_TRUE(written);
  }
}

}  // namespace
