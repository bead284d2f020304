// Tests of the ".cproject" writer: include paths, defines and linker script per configuration.
#include "ide/cproject_writer.h"

#include <cstring>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "mdk/project_info.h"
#include "support/test_support.h"

namespace {

constexpr char kPrefix[] = "ilg.gnuarmeclipse.managedbuild.cross.";
const std::string kScript = "\"${workspace_loc:/${ProjName}}/ldscripts/QM26R620AxG_FLASH.ld\"";

std::string Option(const std::string& idPart, const std::string& values) {
  return "<option id=\"" + std::string(kPrefix) + "option." + idPart +
         ".123\" superClass=\"x\" valueType=\"stringList\">" + values + "</option>";
}

std::string CLinker(const std::string& values) { return Option("c.linker.scriptfile", values); }
std::string CppLinker(const std::string& values) {
  return Option("cpp.linker.scriptfile", values);
}
const std::string kOldScript = "<listOptionValue builtIn=\"false\" value=\"old.ld\"/>";

// One configuration as the template writes it, with `linkerOptions` among its tools and
// `sourceEntries` after its folderInfo.
std::string Configuration(const std::string& kind, const std::string& linkerOptions,
                          const std::string& sourceEntries = "") {
  return "<cconfiguration id=\"" + std::string(kPrefix) + "config.elf." + kind + ".1\">"
         "<storageModule moduleId=\"cdtBuildSystem\"><configuration name=\"" + kind + "\">"
         "<folderInfo id=\"" + kPrefix + "config.elf." + kind + ".1.\" name=\"/\">"
         "<toolChain id=\"tc\">" +
         Option("optimization.level", "") +
         "<tool id=\"c.compiler\">" +
         Option("c.compiler.include.paths",
                "<!-- kept --><listOptionValue builtIn=\"false\" value=\"&quot;old&quot;\"/>") +
         Option("c.compiler.defs", "<listOptionValue builtIn=\"false\" value=\"OLD\"/>"
                                   "<listOptionValue builtIn=\"false\" value=\"OLD2\"/>") +
         "</tool><tool id=\"cpp.compiler\">" +
         Option("cpp.compiler.include.paths", "<listOptionValue builtIn=\"false\" value=\"x\"/>") +
         Option("cpp.compiler.defs", "") +
         "</tool><tool id=\"linker\">" + linkerOptions +
         "</tool></toolChain></folderInfo>" + sourceEntries +
         "</configuration></storageModule></cconfiguration>";
}

std::string CProject(const std::string& linkerOptions, bool release = true,
                     const std::string& sourceEntries = "") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
         "<cproject storage_type_id=\"org.eclipse.cdt.core.XmlProjectDescriptionStorage\">"
         "<storageModule moduleId=\"org.eclipse.cdt.core.settings\">" +
         Configuration("debug", linkerOptions, sourceEntries) +
         (release ? Configuration("release", linkerOptions, sourceEntries) : "") +
         "</storageModule></cproject>\n";
}

// The first element named `name` below `node` whose "id" contains `idPart`.
const TiXmlElement* FindWithId(const TiXmlNode* node, const char* name, const std::string& idPart) {
  for (const TiXmlElement* child = node->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    const char* id = child->Attribute("id");
    if (std::strcmp(child->Value(), name) == 0 && id != nullptr &&
        std::strstr(id, idPart.c_str()) != nullptr) {
      return child;
    }
    if (const TiXmlElement* found = FindWithId(child, name, idPart)) return found;
  }
  return nullptr;
}

// The "value" attributes of an option's child elements; "<none>" for one without it.
std::vector<std::string> Values(const TiXmlElement* option) {
  std::vector<std::string> values;
  for (const TiXmlElement* child = option->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    EXPECT_STREQ(child->Value(), "listOptionValue");
    EXPECT_STREQ(child->Attribute("builtIn"), "false");
    values.push_back(child->Attribute("value") ? child->Attribute("value") : "<none>");
  }
  return values;
}

using Strings = std::vector<std::string>;

class CProjectWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project_.chipModel = "QM26R620A";
    project_.flashSizeCode = 'G';
    project_.includePaths = {"../inc", "../libraries/cmsis"};
    project_.defines = {"QM26R620A", "NDEBUG"};
  }

  std::string Path() const { return dir_ / ".cproject"; }

  // Runs the writer on `content` (no file when empty), expecting `result`; returns its output.
  std::string Generate(const std::string& content, bool result = true) {
    if (!content.empty()) WriteFile(Path(), content);
    bool actual = !result;
    BuildSelection selection;
    selection.includePaths = project_.includePaths;
    selection.excludedPaths = excludedPaths_;
    const std::string out =
        CaptureStdout([&] { actual = GenerateCProjectFile(project_, dir_.path(), selection); });
    EXPECT_EQ(actual, result);
    return out;
  }

  // The values of option `idPart` in configuration `kind` of the saved file.
  Strings Saved(const std::string& kind, const std::string& idPart) {
    TiXmlDocument document;
    EXPECT_TRUE(document.LoadFile(Path().c_str()));
    const TiXmlElement* config =
        FindWithId(&document, "folderInfo", std::string(kPrefix) + "config.elf." + kind);
    if (config == nullptr) return {"<no configuration>"};
    const TiXmlElement* option = FindWithId(config, "option", "option." + idPart);
    return option != nullptr ? Values(option) : Strings{"<no option>"};
  }

  ProjectInfo project_;
  std::vector<std::string> excludedPaths_;
  ScopedTempDir dir_;
};

std::string ExpectedOutput(const std::string& heading, const Strings& includes,
                           const Strings& defines, const Strings& scripts) {
  std::string out = "\nModify the " + heading + " configuration\n";
  for (const std::string& i : includes) out += "Modify the include path configuration: " + i + "\n";
  for (const std::string& d : defines) out += "Modify the define configuration: " + d + "\n";
  for (const std::string& s : scripts) out += "Modify link file configuration: " + s + "\n";
  return out;
}

TEST_F(CProjectWriterTest, WritesBothConfigurations) {
  const Strings includes = {"\"../inc\"", "\"../libraries/cmsis\""};
  const Strings debugDefines = {"QM26R620A", "NDEBUG", "TRACE", "OS_USE_TRACE_SEMIHOSTING_DEBUG"};
  const Strings releaseDefines = {"QM26R620A", "NDEBUG", "NDEBUG"};
  EXPECT_EQ(Generate(CProject(CLinker(kOldScript))),
            ExpectedOutput("Debug", includes, debugDefines, {kScript}) +
                ExpectedOutput("Release", includes, releaseDefines, {kScript}));
  EXPECT_EQ(Saved("debug", "c.compiler.include.paths"), includes);
  EXPECT_EQ(Saved("debug", "c.compiler.defs"), debugDefines);
  EXPECT_EQ(Saved("debug", "c.linker.scriptfile"), Strings{kScript});
  EXPECT_EQ(Saved("release", "c.compiler.include.paths"), includes);
  EXPECT_EQ(Saved("release", "c.compiler.defs"), releaseDefines);
  EXPECT_EQ(Saved("release", "c.linker.scriptfile"), Strings{kScript});
  EXPECT_EQ(project_.defines, (Strings{"QM26R620A", "NDEBUG"}));
  // The C++ compiler gets the same include paths and defines, without lines of its own.
  EXPECT_EQ(Saved("debug", "cpp.compiler.include.paths"), includes);
  EXPECT_EQ(Saved("debug", "cpp.compiler.defs"), debugDefines);
  EXPECT_EQ(Saved("release", "cpp.compiler.defs"), releaseDefines);

  // Only child elements are replaced: the comment in the include option stays.
  TiXmlDocument document;
  ASSERT_TRUE(document.LoadFile(Path().c_str()));
  const TiXmlElement* option = FindWithId(&document, "option", "c.compiler.include.paths");
  ASSERT_NE(option->FirstChild(), nullptr);
  EXPECT_EQ(option->FirstChild()->Type(), TiXmlNode::TINYXML_COMMENT);
}

TEST_F(CProjectWriterTest, EmptyLists) {
  project_.includePaths.clear();
  project_.defines.clear();
  EXPECT_EQ(Generate(CProject(CLinker(kOldScript))),
            ExpectedOutput("Debug", {}, {"TRACE", "OS_USE_TRACE_SEMIHOSTING_DEBUG"}, {kScript}) +
                ExpectedOutput("Release", {}, {"NDEBUG"}, {kScript}));
  EXPECT_EQ(Saved("debug", "c.compiler.include.paths"), Strings{});
  EXPECT_EQ(Saved("debug", "c.compiler.defs"),
            (Strings{"TRACE", "OS_USE_TRACE_SEMIHOSTING_DEBUG"}));
  EXPECT_EQ(Saved("release", "c.compiler.defs"), Strings{"NDEBUG"});
}

TEST_F(CProjectWriterTest, ATemplateThatLacksASettingIsRefusedUntouched) {
  const std::string noValue = "<listOptionValue builtIn=\"false\"/>";
  const auto without = [](std::string text, const std::string& idPart) {
    for (size_t at = text.find(idPart); at != std::string::npos; at = text.find(idPart)) {
      text.replace(at, idPart.size(), "other.option");
    }
    return text;
  };
  const std::string full = CProject(CLinker(kOldScript));
  const struct {
    std::string content;
    std::string missing;
  } cases[] = {
      {CProject(CLinker(kOldScript), false), "no Release configuration"},
      {without(full, "config.elf.debug"), "no Debug configuration"},
      {without(full, "c.compiler.include.paths"), "no include-path option in the Debug configuration"},
      {without(full, "c.compiler.defs"), "no define option in the Debug configuration"},
      {CProject(""), "no linker-script option in the Debug configuration"},
      {CProject(CLinker(noValue)), "no value attribute in the linker-script option in the Debug "
                                   "configuration"},
      {CProject(CppLinker(noValue) + CLinker(kOldScript)),
       "no value attribute in the linker-script option in the Debug configuration"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Generate(c.content, false),
              "Incomplete project file: " + Path() + ": " + c.missing + "\n");
    EXPECT_EQ(ReadFile(Path()), c.content);
    TiXmlDocument document;
    document.Parse(c.content.c_str());
    ASSERT_FALSE(document.Error());
    EXPECT_EQ(MissingCProjectSettings(document.FirstChildElement(), project_), c.missing);
  }
}

TEST_F(CProjectWriterTest, LinkerScriptOptionChoice) {
  struct Case {
    std::string options;
    Strings cValues;
    Strings cppValues;
  };
  const Case cases[] = {
      {CLinker(kOldScript), {kScript}, {"<no option>"}},
      {CppLinker(kOldScript), {"<no option>"}, {kScript}},
      // A project with the C++ nature links with the C++ linker: both get the chip's script.
      {CppLinker(kOldScript) + CLinker(kOldScript), {kScript}, {kScript}},
      {CLinker(""), {kScript}, {"<no option>"}},
      {CLinker("<!-- empty -->"), {kScript}, {"<no option>"}},
  };
  project_.includePaths.clear();
  const Strings debug = {"QM26R620A", "NDEBUG", "TRACE", "OS_USE_TRACE_SEMIHOSTING_DEBUG"};
  const Strings release = {"QM26R620A", "NDEBUG", "NDEBUG"};
  for (const Case& c : cases) {
    EXPECT_EQ(Generate(CProject(c.options)), ExpectedOutput("Debug", {}, debug, {kScript}) +
                                                 ExpectedOutput("Release", {}, release, {kScript}))
        << c.options;
    EXPECT_EQ(Saved("debug", "c.linker.scriptfile"), c.cValues) << c.options;
    EXPECT_EQ(Saved("debug", "cpp.linker.scriptfile"), c.cppValues) << c.options;
    EXPECT_EQ(Saved("release", "c.compiler.defs"), release) << c.options;
  }
}

// The source entries of one configuration of the saved file, as written.
std::string SavedSourceEntries(const std::string& path, const std::string& kind) {
  TiXmlDocument document;
  EXPECT_TRUE(document.LoadFile(path.c_str()));
  const TiXmlElement* config =
      FindWithId(&document, "folderInfo", std::string(kPrefix) + "config.elf." + kind);
  const TiXmlElement* entries =
      config != nullptr ? config->Parent()->FirstChildElement("sourceEntries") : nullptr;
  if (entries == nullptr) return "<none>";
  TiXmlPrinter printer;
  printer.SetStreamPrinting();
  entries->Accept(&printer);
  // The printer writes empty elements as "<a />".
  std::string text = printer.CStr();
  for (size_t at = text.find(" />"); at != std::string::npos; at = text.find(" />", at)) {
    text.erase(at, 1);
  }
  return text;
}

TEST_F(CProjectWriterTest, ExcludedPathsJoinTheRootSourceEntryOfBothConfigurations) {
  const std::string rootEntry =
      "<entry flags=\"VALUE_WORKSPACE_PATH|RESOLVED\" kind=\"sourcePath\" name=\"\"/>";
  const std::string otherEntry =
      "<entry excluding=\"x.c\" flags=\"VALUE_WORKSPACE_PATH\" kind=\"sourcePath\" name=\"src\"/>";
  const std::string excludingEntry =
      "<entry flags=\"VALUE_WORKSPACE_PATH|RESOLVED\" kind=\"sourcePath\" name=\"\" "
      "excluding=\"old.c|App/a.c\" extra=\"1\"/>";
  const std::string written =
      "<entry excluding=\"App/a.c|RTE/Device/X/startup_x.s\" "
      "flags=\"VALUE_WORKSPACE_PATH|RESOLVED\" kind=\"sourcePath\" name=\"\"/>";
  struct Case {
    std::string before;  // the template's sourceEntries ("" for none)
    std::string after;
  };
  const Case cases[] = {
      {"", "<sourceEntries>" + written + "</sourceEntries>"},
      {"<sourceEntries>" + rootEntry + "</sourceEntries>",
       "<sourceEntries>" + written + "</sourceEntries>"},
      // Other entries stay; an existing list keeps its paths first and gains only new ones.
      {"<sourceEntries>" + otherEntry + excludingEntry + "</sourceEntries>",
       "<sourceEntries>" + otherEntry +
           "<entry excluding=\"old.c|App/a.c|RTE/Device/X/startup_x.s\" "
           "flags=\"VALUE_WORKSPACE_PATH|RESOLVED\" kind=\"sourcePath\" name=\"\" extra=\"1\"/>"
           "</sourceEntries>"},
  };
  excludedPaths_ = {"App/a.c", "RTE/Device/X/startup_x.s"};
  const std::string lines =
      "Exclude from the build: App/a.c\nExclude from the build: RTE/Device/X/startup_x.s\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    const std::string out = Generate(CProject(CLinker(kOldScript), true, c.before));
    ASSERT_GE(out.size(), lines.size());
    EXPECT_EQ(out.substr(out.size() - lines.size()), lines);
    EXPECT_EQ(SavedSourceEntries(Path(), "debug"), c.after);
    EXPECT_EQ(SavedSourceEntries(Path(), "release"), c.after);
  }

  // Nothing excluded: no entry is touched or created, and no line is added.
  const std::string out = Generate(CProject(CLinker(kOldScript)));
  excludedPaths_.clear();
  const std::string entries = "<sourceEntries>" + rootEntry + "</sourceEntries>";
  for (const std::string& before : {std::string(), entries}) {
    EXPECT_EQ(Generate(CProject(CLinker(kOldScript), true, before)),
              out.substr(0, out.size() - lines.size()));
    EXPECT_EQ(SavedSourceEntries(Path(), "debug"), before.empty() ? "<none>" : before);
  }
}

TEST_F(CProjectWriterTest, UnloadableFileFailsUntouched) {
  const std::string message = "Unable to load file: " + Path() + "\n";
  EXPECT_EQ(Generate("", false), message);
  EXPECT_FALSE(Exists(Path()));
  for (const char* content : {"not xml", "<?xml version=\"1.0\"?>\n", "<cproject><a></cproject>"}) {
    EXPECT_EQ(Generate(content, false), message) << content;
    EXPECT_EQ(ReadFile(Path()), content);
  }
}

TEST_F(CProjectWriterTest, FailedSaveFailsAndLeavesTheFile) {
  project_.includePaths.clear();
  project_.defines.clear();
  const std::string content = CProject(CLinker(kOldScript));
  WriteFile(Path(), content);
  ASSERT_EQ(chmod(Path().c_str(), 0444), 0);
  const std::string out = CaptureStdout(
      [&] {
        EXPECT_EQ(RunUnprivileged([&] {
                    return GenerateCProjectFile(project_, dir_.path(), BuildSelection()) ? 0 : 1;
                  }),
                  1);
      });
  EXPECT_EQ(out, ExpectedOutput("Debug", {}, {"TRACE", "OS_USE_TRACE_SEMIHOSTING_DEBUG"}, {kScript}) +
                     ExpectedOutput("Release", {}, {"NDEBUG"}, {kScript}) +
                     "Save file .cproject failed!\n");
  EXPECT_EQ(ReadFile(Path()), content);
}

}  // namespace
