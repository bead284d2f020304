// The MDK target's build settings in the IDE project: one table from MDK elements to the options of
// the GNU ARM Eclipse plug-in, and the writing of those options into a configuration.
#include "ide/build_settings.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "app/console.h"
#include "chip/chip_catalogue.h"
#include "fs/case_match.h"
#include "fs/xml_text.h"
#include "mdk/mdk_text.h"
#include "mdk/xml_search.h"

namespace {

constexpr char kOptionPrefix[] = "ilg.gnuarmeclipse.managedbuild.cross.option.";
constexpr char kToolPrefix[] = "ilg.gnuarmeclipse.managedbuild.cross.tool.";
constexpr char kMissing[] = "Missing in ";

// When a row applies: always, for one of MDK's two ARM compilers (the Target's uAC6 is missing or
// 0 for ARM Compiler 5, 1 for ARM Compiler 6), or for a chip with an FPU.
enum class When { kAlways, kArmCompiler5, kArmCompiler6, kChipWithFpu };
// Which configurations a row writes.
enum class Where { kBoth, kDebugOnly };
// How a row turns its MDK text into option values: the choice whose MDK value it is, the
// configuration's artifact name, or a list split like the C compiler's defines or include paths.
enum class Form { kChoice, kArtifactName, kDefines, kIncludePaths };

// One option a choice writes. `value` is "true" or "false" for a boolean option; for an
// enumerated one, the last part of the value's id, which is the option's id, ".", and that part.
struct OptionWrite {
  OptionOwner owner;
  const char* option;  // the option's id after kOptionPrefix
  const char* valueType;
  const char* value;
};

// What one MDK value gives. No options: the template's settings are what MDK's value means.
struct Choice {
  const char* mdkValue;  // null for the one choice of a list row
  std::vector<OptionWrite> options;
  const char* shown;  // the end of the printed line: the flag GCC gets
};

// One MDK setting.
struct Row {
  const char* mdkPath;  // the key of ProjectInfo::settings
  When when;
  Where where;
  Form form;
  const char* line;  // the printed line up to the value shown
  const char* what;  // names the setting in "Not carried over" lines
  std::vector<Choice> choices;
};

OptionWrite Level(const char* level) {
  return {OptionOwner::kToolChain, "optimization.level", "enumerated", level};
}

OptionWrite CStandard(const char* standard) {
  return {OptionOwner::kCCompiler, "c.compiler.std", "enumerated", standard};
}

// The MDK settings the IDE project takes over, in the order their lines are printed. Values of
// Optim 1-2, uC99 1 and v6Lang 3 are what uVision's own build logs show, 3-4 of Optim follow by
// order, and 0 is the compiler's documented default level.
const std::vector<Row>& Rows() {
  static const std::vector<Row> kRows = {
      {"TargetArmAds/Cads/Optim", When::kArmCompiler5, Where::kDebugOnly, Form::kChoice,
       "Modify the optimization configuration: ", "optimization (Optim)",
       {{"0", {Level("more")}, "-O2"},
        {"1", {Level("none")}, "-O0"},
        {"2", {Level("optimize")}, "-O1"},
        {"3", {Level("more")}, "-O2"},
        {"4", {Level("most")}, "-O3"}}},
      {"TargetArmAds/Cads/Optim", When::kArmCompiler6, Where::kDebugOnly, Form::kChoice,
       "Modify the optimization configuration: ", "optimization (Optim)",
       {{"0", {Level("none")}, "-O0"},
        {"1", {Level("none")}, "-O0"},
        {"2", {Level("optimize")}, "-O1"},
        {"3", {Level("more")}, "-O2"},
        {"4", {Level("most")}, "-O3"}}},
      {"TargetArmAds/Cads/PlainCh", When::kAlways, Where::kBoth, Form::kChoice,
       "Modify the char signedness configuration: ", "plain char is signed (PlainCh)",
       {{"1", {{OptionOwner::kToolChain, "optimization.signedchar", "boolean", "true"}},
         "-fsigned-char"},
        {"0", {{OptionOwner::kToolChain, "optimization.signedchar", "boolean", "false"}},
         "unsigned (GCC's default for ARM)"}}},
      {"TargetArmAds/Cads/uC99", When::kArmCompiler5, Where::kBoth, Form::kChoice,
       "Modify the C language standard configuration: ", "C99 mode (uC99)",
       {{"1", {CStandard("gnu99")}, "-std=gnu99"},
        {"0", {CStandard("default")}, "GCC's default (no -std)"}}},
      {"TargetArmAds/Cads/v6Lang", When::kArmCompiler6, Where::kBoth, Form::kChoice,
       "Modify the C language standard configuration: ", "language C (v6Lang)",
       {{"3", {CStandard("c99")}, "-std=c99"}}},
      {"TargetArmAds/ArmAdsMisc/RvdsVP", When::kChipWithFpu, Where::kBoth, Form::kChoice,
       "Modify the float ABI configuration: ", "floating point hardware (RvdsVP)",
       {{"0", {}, ""},
        {"1", {{OptionOwner::kToolChain, "arm.target.fpu.abi", "enumerated", "soft"}},
         "-mfloat-abi=soft"},
        {"2", {}, ""},
        {"3", {}, ""}}},
      {"TargetArmAds/ArmAdsMisc/useUlib", When::kAlways, Where::kBoth, Form::kChoice,
       "Modify the C library configuration: ", "use MicroLIB (useUlib)",
       {{"1",
         {{OptionOwner::kCLinker, "c.linker.usenewlibnano", "boolean", "true"},
          {OptionOwner::kCppLinker, "cpp.linker.usenewlibnano", "boolean", "true"}},
         "--specs=nano.specs"},
        {"0",
         {{OptionOwner::kCLinker, "c.linker.usenewlibnano", "boolean", "false"},
          {OptionOwner::kCppLinker, "cpp.linker.usenewlibnano", "boolean", "false"}},
         "full newlib (no --specs=nano.specs)"}}},
      {"TargetCommonOption/CreateHexFile", When::kAlways, Where::kBoth, Form::kChoice,
       "Modify the flash image configuration: ", "create HEX file (CreateHexFile)",
       {{"0", {}, ""},
        {"1",
         {{OptionOwner::kToolChain, "addtools.createflash", "boolean", "true"},
          {OptionOwner::kCreateFlash, "createflash.choice", "enumerated", "ihex"}},
         "objcopy -O ihex"}}},
      {"TargetCommonOption/OutputName", When::kAlways, Where::kBoth, Form::kArtifactName,
       "Modify the artifact name configuration: ", "name of executable (OutputName)", {}},
      {"TargetArmAds/Aads/VariousControls/Define", When::kAlways, Where::kBoth, Form::kDefines,
       "Modify the assembler define configuration: ", "assembler defines (Define)",
       {{nullptr, {{OptionOwner::kAssembler, "assembler.defs", "definedSymbols", nullptr}}, ""}}},
      {"TargetArmAds/Aads/VariousControls/IncludePath", When::kAlways, Where::kBoth,
       Form::kIncludePaths, "Modify the assembler include path configuration: ",
       "assembler include paths (IncludePath)",
       {{nullptr, {{OptionOwner::kAssembler, "assembler.include.paths", "includePath", nullptr}},
         ""}}},
  };
  return kRows;
}

// A tool a configuration may lack, by the id after kToolPrefix, with the name CDT gives it.
struct OwnerTool {
  OptionOwner owner;
  const char* tool;
  const char* name;
};

constexpr OwnerTool kTools[] = {
    {OptionOwner::kCCompiler, "c.compiler", "Cross ARM C Compiler"},
    {OptionOwner::kCppCompiler, "cpp.compiler", "Cross ARM C++ Compiler"},
    {OptionOwner::kCLinker, "c.linker", "Cross ARM C Linker"},
    {OptionOwner::kCppLinker, "cpp.linker", "Cross ARM C++ Linker"},
    {OptionOwner::kAssembler, "assembler", "Cross ARM GNU Assembler"},
    {OptionOwner::kCreateFlash, "createflash", "Cross ARM GNU Create Flash Image"},
};

std::string Setting(const ProjectInfo& project, const std::string& path) {
  const auto found = project.settings.find(path);
  return found != project.settings.end() ? found->second : "";
}

bool Applies(When when, const ProjectInfo& project) {
  const auto compiler = project.settings.find("uAC6");
  const bool missing = compiler == project.settings.end();
  switch (when) {
    case When::kAlways:
      return true;
    case When::kArmCompiler5:
      return missing || compiler->second == "0";
    case When::kArmCompiler6:
      return !missing && compiler->second == "1";
    case When::kChipWithFpu: {
      const ChipModelEntry* chip = FindChipModel(project.chipModel);
      return chip != nullptr && chip->hasFpu;
    }
  }
  return false;
}

OptionValue ValueOf(const OptionWrite& option) {
  OptionValue value;
  value.owner = option.owner;
  value.superClass = std::string(kOptionPrefix) + option.option;
  value.valueType = option.valueType;
  if (option.value != nullptr) {
    value.value = std::strcmp(option.valueType, "enumerated") == 0
                      ? value.superClass + "." + option.value
                      : option.value;
  }
  return value;
}

// The list values a list row gives one configuration, written as the C compiler's are: defines
// with the configuration's own ones after them, include paths in double quotes.
std::vector<std::string> ListValues(Form form, const std::string& text, bool debug) {
  std::vector<std::string> values;
  if (form == Form::kDefines) {
    values = LiteralDefines(SplitDefines(text));
    if (values.empty()) return values;
    if (debug) {
      values.push_back("TRACE");
      values.push_back("OS_USE_TRACE_SEMIHOSTING_DEBUG");
    } else {
      values.push_back("NDEBUG");
    }
    return values;
  }
  for (const std::string& path : SplitIncludePaths(text)) values.push_back("\"" + path + "\"");
  return values;
}

// Adds what `row` makes of `text` to one configuration.
void AddToConfiguration(const Row& row, const std::string& text, const Choice& choice, bool debug,
                        const ProjectInfo& project, ConfigurationSettings& settings) {
  switch (row.form) {
    case Form::kChoice:
      for (const OptionWrite& option : choice.options) settings.options.push_back(ValueOf(option));
      settings.lines.push_back(row.line + std::string(choice.shown));
      return;
    case Form::kArtifactName: {
      // MDK names the image after the target unless OutputName says otherwise.
      const std::string name = ArtifactNameOf(text);
      if (name == Setting(project, "TargetName")) return;
      settings.artifactName = name;
      settings.lines.push_back(row.line + name);
      return;
    }
    case Form::kDefines:
    case Form::kIncludePaths: {
      OptionValue value = ValueOf(choice.options.front());
      value.values = ListValues(row.form, text, debug);
      if (value.values.empty()) return;
      for (const std::string& item : value.values) settings.lines.push_back(row.line + item);
      settings.options.push_back(std::move(value));
      return;
    }
  }
}

// The choice of `row` for `text`: the one with that MDK value, or a list row's only one; null when
// the row does not carry the value.
const Choice* FindChoice(const Row& row, const std::string& text) {
  for (const Choice& choice : row.choices) {
    if (choice.mdkValue == nullptr || text == choice.mdkValue) return &choice;
  }
  return nullptr;
}

// True when `element` is of the plug-in class `superClass`: its superClass names it, or, without
// one, its id is that name and a number.
bool IsOfClass(const TiXmlElement* element, const std::string& superClass) {
  if (const char* named = element->Attribute("superClass")) return superClass == named;
  const char* id = element->Attribute("id");
  if (id == nullptr || std::strncmp(id, superClass.c_str(), superClass.size()) != 0) return false;
  const char* rest = id + superClass.size();
  if (*rest == '\0') return true;
  if (*rest != '.' || rest[1] == '\0') return false;
  return std::all_of(rest + 1, rest + std::strlen(rest),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// The last child element of `parent` named `name`, or null.
TiXmlElement* LastChildNamed(TiXmlElement* parent, const char* name) {
  TiXmlElement* last = nullptr;
  for (TiXmlElement* child = parent->FirstChildElement(name); child != nullptr;
       child = child->NextSiblingElement(name)) {
    last = child;
  }
  return last;
}

// The child element of `parent` named `name` and of the class `superClass`, or null.
TiXmlElement* ChildOfClass(TiXmlElement* parent, const char* name, const std::string& superClass) {
  for (TiXmlElement* child = parent->FirstChildElement(name); child != nullptr;
       child = child->NextSiblingElement(name)) {
    if (IsOfClass(child, superClass)) return child;
  }
  return nullptr;
}

// A number for a new id that no id of the file uses: derived from `seed`, so a run writes the same
// file each time.
std::string NewIdNumber(const std::string& seed, std::set<std::string>& usedNumbers) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : seed) hash = (hash ^ c) * 16777619u;
  uint64_t number = 100000000u + hash % 1900000000u;
  while (usedNumbers.count(std::to_string(number)) != 0) ++number;
  usedNumbers.insert(std::to_string(number));
  return std::to_string(number);
}

// Sets the "value" attribute, keeping CDT's alphabetical order when it has to be added.
void SetValueAttribute(TiXmlElement* element, const std::string& value) {
  if (element->Attribute("value") != nullptr) {
    element->SetAttribute("value", value);
    return;
  }
  std::vector<std::pair<std::string, std::string>> attributes = {{"value", value}};
  for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute != nullptr;
       attribute = attribute->Next()) {
    attributes.emplace_back(attribute->Name(), attribute->Value());
  }
  std::stable_sort(attributes.begin(), attributes.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [name, ignored] : attributes) element->RemoveAttribute(name.c_str());
  for (const auto& [name, text] : attributes) element->SetAttribute(name, text);
}

// The element that owns options of `owner` in the configuration of `toolChain`; a missing tool is
// added as CDT writes it, after the toolChain's last tool.
TiXmlElement* OwnerElement(TiXmlElement* toolChain, OptionOwner owner,
                           std::set<std::string>& usedNumbers) {
  if (owner == OptionOwner::kToolChain) return toolChain;
  const OwnerTool* missing = std::find_if(
      std::begin(kTools), std::end(kTools),
      [owner](const OwnerTool& tool) { return tool.owner == owner; });
  const std::string superClass = std::string(kToolPrefix) + missing->tool;
  if (TiXmlElement* tool = ChildOfClass(toolChain, "tool", superClass)) return tool;

  TiXmlElement tool("tool");
  tool.SetAttribute("id", superClass + "." + NewIdNumber(superClass, usedNumbers));
  tool.SetAttribute("name", missing->name);
  tool.SetAttribute("superClass", superClass);
  TiXmlElement* lastTool = LastChildNamed(toolChain, "tool");
  TiXmlNode* added = lastTool != nullptr ? toolChain->InsertAfterChild(lastTool, tool)
                                         : toolChain->InsertEndChild(tool);
  return added->ToElement();
}

void AddUsedIdNumbers(const TiXmlElement* element, std::set<std::string>& numbers) {
  for (; element != nullptr; element = element->NextSiblingElement()) {
    if (const char* id = element->Attribute("id")) {
      const char* dot = std::strrchr(id, '.');
      const std::string number = dot != nullptr ? dot + 1 : "";
      if (!number.empty() && std::all_of(number.begin(), number.end(),
                                         [](char c) { return c >= '0' && c <= '9'; })) {
        numbers.insert(number);
      }
    }
    AddUsedIdNumbers(element->FirstChildElement(), numbers);
  }
}

}  // namespace

bool IsLiteralDefine(const std::string& define) {
  return define.find_first_of("$`") == std::string::npos;
}

std::vector<std::string> LiteralDefines(const std::vector<std::string>& defines) {
  std::vector<std::string> literal;
  for (const std::string& define : defines) {
    if (IsLiteralDefine(define)) literal.push_back(define);
  }
  return literal;
}

std::string ArtifactNameOf(const std::string& outputName) {
  for (const char* ending : {".elf", ".axf"}) {
    const size_t size = std::strlen(ending);
    if (outputName.size() > size &&
        EqualIgnoringCase(outputName.substr(outputName.size() - size), ending)) {
      return outputName.substr(0, outputName.size() - size);
    }
  }
  return outputName;
}

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name[0] == '-' || name[0] == '.' || name.find("..") != std::string::npos) {
    return false;
  }
  return std::all_of(name.begin(), name.end(), [](char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == '+';
  });
}

BuildSettings ChooseBuildSettings(const ProjectInfo& project) {
  BuildSettings chosen;
  for (const Row& row : Rows()) {
    const std::string text = Setting(project, row.mdkPath);
    if (text.empty() || !Applies(row.when, project)) continue;
    const Choice* choice = FindChoice(row, text);
    if ((choice == nullptr && row.form == Form::kChoice) ||
        (row.form == Form::kArtifactName && !IsPlainFileName(ArtifactNameOf(text)))) {
      chosen.kept.push_back(std::string(row.what) + ": " + text);
      continue;
    }
    if (row.form == Form::kDefines) {
      for (const std::string& define : SplitDefines(text)) {
        if (!IsLiteralDefine(define)) chosen.kept.push_back(std::string(row.what) + ": " + define);
      }
    }
    if (row.form == Form::kChoice && choice->options.empty()) continue;
    static const Choice kNoChoice{nullptr, {}, ""};
    const Choice& carried = choice != nullptr ? *choice : kNoChoice;
    AddToConfiguration(row, text, carried, true, project, chosen.debug);
    if (row.where == Where::kBoth) {
      AddToConfiguration(row, text, carried, false, project, chosen.release);
    }
  }
  return chosen;
}

std::string FirstCarriedSettingRefusedBy(const ProjectInfo& project,
                                         bool (*isValid)(const std::string&)) {
  for (const Row& row : Rows()) {
    if (row.form != Form::kChoice && !isValid(Setting(project, row.mdkPath))) {
      return row.mdkPath;
    }
  }
  return "";
}

std::set<std::string> UsedIdNumbers(const TiXmlElement* root) {
  std::set<std::string> numbers;
  AddUsedIdNumbers(root, numbers);
  return numbers;
}

void SetOption(TiXmlElement* owner, const OptionValue& option, std::set<std::string>& usedNumbers) {
  const bool isList = option.valueType == "definedSymbols" || option.valueType == "includePath" ||
                      option.valueType == "includeFiles";
  TiXmlElement* element = ChildOfClass(owner, "option", option.superClass);
  if (element == nullptr) {
    TiXmlElement added("option");
    added.SetAttribute("id", option.superClass + "." + NewIdNumber(option.superClass, usedNumbers));
    added.SetAttribute("superClass", option.superClass);
    if (!isList) added.SetAttribute("value", option.value);
    added.SetAttribute("valueType", option.valueType);
    // CDT writes a tool's or toolChain's options before its other children.
    TiXmlElement* lastOption = LastChildNamed(owner, "option");
    TiXmlNode* node = lastOption != nullptr            ? owner->InsertAfterChild(lastOption, added)
                      : owner->FirstChild() != nullptr ? owner->InsertBeforeChild(
                                                             owner->FirstChild(), added)
                                                       : owner->InsertEndChild(added);
    element = node->ToElement();
  } else if (!isList) {
    SetValueAttribute(element, option.value);
  }
  if (!isList) return;
  for (TiXmlElement* child = element->FirstChildElement(); child != nullptr;) {
    TiXmlElement* next = child->NextSiblingElement();
    element->RemoveChild(child);
    child = next;
  }
  for (const std::string& value : option.values) {
    TiXmlElement* item = new TiXmlElement("listOptionValue");
    item->SetAttribute("builtIn", "false");
    item->SetAttribute("value", value);
    element->LinkEndChild(item);
  }
}

bool WriteConfigurationSettings(TiXmlElement* root, const char* configPattern,
                                const std::string& configurationName,
                                const ConfigurationSettings& settings, const std::string& path) {
  if (settings.options.empty() && settings.artifactName.empty()) return true;
  const std::string configuration = "the " + configurationName + " configuration";
  TiXmlElement* folderInfo = nullptr;
  FindElementByAttribute(root, "folderInfo", "id", configPattern, folderInfo);
  if (folderInfo == nullptr) {
    PrintLine(kMissing + path + ": " + configuration);
    return false;
  }
  TiXmlElement* toolChain = folderInfo->FirstChildElement("toolChain");
  if (toolChain == nullptr && !settings.options.empty()) {
    PrintLine(kMissing + path + ": the toolChain of " + configuration);
    return false;
  }
  TiXmlNode* parent = folderInfo->Parent();
  TiXmlElement* element = parent != nullptr ? parent->ToElement() : nullptr;
  if (!settings.artifactName.empty() &&
      (element == nullptr || std::strcmp(element->Value(), "configuration") != 0)) {
    PrintLine(kMissing + path + ": the configuration element of " + configuration);
    return false;
  }

  std::set<std::string> usedNumbers = UsedIdNumbers(root);
  for (const OptionValue& option : settings.options) {
    SetOption(OwnerElement(toolChain, option.owner, usedNumbers), option, usedNumbers);
  }
  if (!settings.artifactName.empty()) element->SetAttribute("artifactName", settings.artifactName);
  for (const std::string& line : settings.lines) PrintLine(line);
  return true;
}
