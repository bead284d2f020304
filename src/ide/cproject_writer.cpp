// Writing the generated ".cproject": include paths, defines and linker script per configuration.
#include "ide/cproject_writer.h"

#include <unordered_set>
#include <utility>
#include <vector>

#include "app/console.h"
#include "chip/chip_catalogue.h"
#include "chip/linker_script.h"
#include "fs/xml_file.h"
#include "ide/build_settings.h"
#include "mdk/mdk_text.h"
#include "mdk/xml_search.h"

namespace {

constexpr char kCProjectFileName[] = "/.cproject";
constexpr char kSaveFailed[] = "Save file .cproject failed!";

constexpr char kDebugConfigId[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.debug";
constexpr char kReleaseConfigId[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.release";
constexpr char kIncludePathsId[] =
    "ilg.gnuarmeclipse.managedbuild.cross.option.c.compiler.include.paths";
constexpr char kDefinesId[] = "ilg.gnuarmeclipse.managedbuild.cross.option.c.compiler.defs";
constexpr char kCLinkerScriptId[] =
    "ilg.gnuarmeclipse.managedbuild.cross.option.c.linker.scriptfile";
constexpr char kCppLinkerScriptId[] =
    "ilg.gnuarmeclipse.managedbuild.cross.option.cpp.linker.scriptfile";
constexpr char kCppIncludePathsId[] =
    "ilg.gnuarmeclipse.managedbuild.cross.option.cpp.compiler.include.paths";
constexpr char kCppDefinesId[] = "ilg.gnuarmeclipse.managedbuild.cross.option.cpp.compiler.defs";
constexpr char kIncludeFilesId[] =
    "ilg.gnuarmeclipse.managedbuild.cross.option.c.compiler.include.files";
constexpr char kCppIncludeFilesId[] =
    "ilg.gnuarmeclipse.managedbuild.cross.option.cpp.compiler.include.files";

constexpr char kValueElement[] = "listOptionValue";
constexpr char kIncludeMessage[] = "Modify the include path configuration: ";
constexpr char kDefineMessage[] = "Modify the define configuration: ";
constexpr char kLinkFileMessage[] = "Modify link file configuration: ";
constexpr char kExcludeMessage[] = "Exclude from the build: ";

// The element named `elementName` below `start` whose "id" holds `pattern`, or null.
TiXmlElement* FindById(TiXmlNode* start, const char* elementName, const char* pattern) {
  TiXmlElement* found = nullptr;
  if (!FindElementByAttribute(start, elementName, "id", pattern, found)) return nullptr;
  return found;
}

void RemoveChildElements(TiXmlElement* option) {
  TiXmlElement* child = option->FirstChildElement();
  while (child != nullptr) {
    TiXmlElement* next = child->NextSiblingElement();
    option->RemoveChild(child);
    child = next;
  }
}

// Replaces the values of `option` with `values`.
void SetOptionValues(TiXmlElement* option, const std::vector<std::string>& values) {
  RemoveChildElements(option);
  for (const std::string& value : values) {
    TiXmlElement* element = new TiXmlElement(kValueElement);
    element->SetAttribute("builtIn", "false");
    element->SetAttribute("value", value);
    option->LinkEndChild(element);
  }
}

// Replaces the values of `option` with `values`, printing `message` and each value.
void WriteOptionValues(TiXmlElement* option, const std::vector<std::string>& values,
                       const char* message) {
  SetOptionValues(option, values);
  for (const std::string& value : values) PrintLine(message + value);
}

std::string LinkerScriptValue(const ProjectInfo& project) {
  return std::string("\"${workspace_loc:/${ProjName}}/") + kLinkerScriptFolder + "/" +
         LinkerScriptName(project.chipModel, project.flashSizeCode) + "\"";
}

// Sets `script` as the value of the option's first listOptionValue, adding one when the option has
// none. Returns false, changing nothing, when that value element has no "value" attribute.
bool SetLinkerScript(TiXmlElement* option, const std::string& script) {
  TiXmlElement* value = option->FirstChildElement(kValueElement);
  if (value == nullptr) {
    // An option left without a value would build with no linker script at all.
    TiXmlElement* element = new TiXmlElement(kValueElement);
    element->SetAttribute("builtIn", "false");
    element->SetAttribute("value", script);
    option->LinkEndChild(element);
    return true;
  }
  for (TiXmlAttribute* attribute = value->FirstAttribute(); attribute != nullptr;
       attribute = attribute->Next()) {
    if (std::string(attribute->Name()) == "value") {
      attribute->SetValue(script);
      return true;
    }
  }
  return false;
}

// True when SetLinkerScript can set the option's value: it has no value element yet, or its first
// one has a "value" attribute.
bool LinkerScriptSettable(const TiXmlElement* option) {
  const TiXmlElement* value = option->FirstChildElement(kValueElement);
  return value == nullptr || value->Attribute("value") != nullptr;
}

// What `root` lacks of what the writer sets, `settings` among it, as "no ..."; "" when it holds
// all of it.
std::string MissingSettings(TiXmlElement* root, const BuildSettings& settings) {
  const struct {
    const char* id;
    const char* name;
    const ConfigurationSettings& settings;
  } configurations[] = {{kDebugConfigId, "Debug", settings.debug},
                        {kReleaseConfigId, "Release", settings.release}};
  for (const auto& configuration : configurations) {
    const std::string in = std::string(" in the ") + configuration.name + " configuration";
    TiXmlElement* folderInfo = FindById(root, "folderInfo", configuration.id);
    if (folderInfo == nullptr) return std::string("no ") + configuration.name + " configuration";
    if (FindById(folderInfo, "option", kIncludePathsId) == nullptr) {
      return "no include-path option" + in;
    }
    if (FindById(folderInfo, "option", kDefinesId) == nullptr) return "no define option" + in;
    if (!configuration.settings.options.empty() &&
        folderInfo->FirstChildElement("toolChain") == nullptr) {
      return "no toolChain" + in;
    }
    const TiXmlNode* parent = folderInfo->Parent();
    const TiXmlElement* element = parent != nullptr ? parent->ToElement() : nullptr;
    if (!configuration.settings.artifactName.empty() &&
        (element == nullptr || std::string(element->Value()) != "configuration")) {
      return std::string("no configuration element around the ") + configuration.name +
             " configuration";
    }
    const TiXmlElement* cScript = FindById(folderInfo, "option", kCLinkerScriptId);
    const TiXmlElement* cppScript = FindById(folderInfo, "option", kCppLinkerScriptId);
    if (cScript == nullptr && cppScript == nullptr) return "no linker-script option" + in;
    for (const TiXmlElement* script : {cScript, cppScript}) {
      if (script != nullptr && !LinkerScriptSettable(script)) {
        return "no value attribute in the linker-script option" + in;
      }
    }
  }
  return "";
}

// CDT's source entry for the whole project: kind "sourcePath" with an empty name.
bool IsRootSourceEntry(const TiXmlElement* entry) {
  const char* kind = entry->Attribute("kind");
  const char* name = entry->Attribute("name");
  return kind != nullptr && std::string(kind) == "sourcePath" && name != nullptr && *name == '\0';
}

// Adds `paths` to the "excluding" list of CDT's root source entry below `configuration`, after
// the paths it already holds; the entry, and its "sourceEntries", are created when missing.
void AddExclusions(TiXmlElement* configuration, const std::vector<std::string>& paths) {
  TiXmlElement* sourceEntries = configuration->FirstChildElement("sourceEntries");
  if (sourceEntries == nullptr) {
    sourceEntries = new TiXmlElement("sourceEntries");
    configuration->LinkEndChild(sourceEntries);
  }
  TiXmlElement* root = sourceEntries->FirstChildElement("entry");
  while (root != nullptr && !IsRootSourceEntry(root)) root = root->NextSiblingElement("entry");
  std::vector<std::string> excluding;
  std::string flags = "VALUE_WORKSPACE_PATH|RESOLVED";
  if (root == nullptr) {
    root = new TiXmlElement("entry");
    sourceEntries->LinkEndChild(root);
  } else {
    if (const char* old = root->Attribute("excluding")) SplitString(old, "|", excluding);
    if (const char* oldFlags = root->Attribute("flags")) flags = oldFlags;
  }
  // A project lists thousands of copies to leave out: each is looked up once, not against all.
  std::unordered_set<std::string> listed(excluding.begin(), excluding.end());
  for (const std::string& path : paths) {
    if (listed.insert(path).second) excluding.push_back(path);
  }
  std::string joined;
  for (const std::string& path : excluding) joined += (joined.empty() ? "" : "|") + path;
  // CDT writes these four attributes first, in this order; any others follow as they were.
  std::vector<std::pair<std::string, std::string>> others;
  for (const TiXmlAttribute* attribute = root->FirstAttribute(); attribute != nullptr;
       attribute = attribute->Next()) {
    const std::string name = attribute->Name();
    if (name != "excluding" && name != "flags" && name != "kind" && name != "name") {
      others.emplace_back(name, attribute->Value());
    }
  }
  while (root->FirstAttribute() != nullptr) {
    const std::string name = root->FirstAttribute()->Name();
    root->RemoveAttribute(name.c_str());
  }
  root->SetAttribute("excluding", joined);
  root->SetAttribute("flags", flags);
  root->SetAttribute("kind", "sourcePath");
  root->SetAttribute("name", "");
  for (const auto& [name, value] : others) root->SetAttribute(name, value);
}

// Edits the configuration whose folderInfo id holds `pattern`; returns its "configuration"
// element (the folderInfo's parent, where CDT keeps the source entries), or null when the
// configuration is missing or has no such parent.
TiXmlElement* ModifyConfiguration(TiXmlElement* root, const char* pattern, const char* heading,
                                  const std::string& configurationName,
                                  const ProjectInfo& project,
                                  const std::vector<std::string>& includePaths) {
  TiXmlElement* configuration = FindById(root, "folderInfo", pattern);
  if (configuration == nullptr) return nullptr;
  PrintLine("");
  PrintLine(heading);
  ModifyBuildOptions(configuration, configurationName, project, includePaths);
  TiXmlNode* parent = configuration->Parent();
  TiXmlElement* element = parent != nullptr ? parent->ToElement() : nullptr;
  return element != nullptr && std::string(element->Value()) == "configuration" ? element : nullptr;
}

// Leaves `paths` out of the build of each configuration that was found, then names each path.
void ExcludeFromBuild(const std::vector<TiXmlElement*>& configurations,
                      const std::vector<std::string>& paths) {
  bool written = false;
  for (TiXmlElement* configuration : configurations) {
    if (configuration == nullptr || paths.empty()) continue;
    AddExclusions(configuration, paths);
    written = true;
  }
  if (!written) return;
  for (const std::string& path : paths) PrintLine(kExcludeMessage + path);
}

}  // namespace

std::string MissingCProjectSettings(TiXmlElement* root, const ProjectInfo& project) {
  return MissingSettings(root, ChooseBuildSettings(project));
}

bool GenerateCProjectFile(const ProjectInfo& project, const std::string& projectFolder,
                          const BuildSelection& selection) {
  const std::string path = projectFolder + kCProjectFileName;
  TiXmlDocument document;
  TiXmlElement* root = LoadXmlFile(path, document) ? document.FirstChildElement() : nullptr;
  if (root == nullptr) {
    PrintLine(kUnableToLoadFile + path);
    return false;
  }
  // Nothing is written unless every setting has its place: a project missing one would not build
  // as the MDK target does.
  BuildSettings settings = ChooseBuildSettings(project);
  if (!selection.includeFiles.empty()) {
    // The port's header goes into every C and C++ compile of both configurations.
    for (ConfigurationSettings* configuration : {&settings.debug, &settings.release}) {
      configuration->options.push_back(
          {OptionOwner::kCCompiler, kIncludeFilesId, "includeFiles", "", selection.includeFiles});
      configuration->options.push_back({OptionOwner::kCppCompiler, kCppIncludeFilesId,
                                        "includeFiles", "", selection.includeFiles});
    }
  }
  const std::string missing = MissingSettings(root, settings);
  if (!missing.empty()) {
    PrintLine(kIncompleteProjectFile + path + ": " + missing);
    return false;
  }
  TiXmlElement* debug = ModifyConfiguration(root, kDebugConfigId, "Modify the Debug configuration",
                                            "debug", project, selection.includePaths);
  if (!WriteConfigurationSettings(root, kDebugConfigId, "Debug", settings.debug, path)) {
    return false;
  }
  TiXmlElement* release =
      ModifyConfiguration(root, kReleaseConfigId, "Modify the Release configuration", "release",
                          project, selection.includePaths);
  if (!WriteConfigurationSettings(root, kReleaseConfigId, "Release", settings.release, path)) {
    return false;
  }
  ExcludeFromBuild({debug, release}, selection.excludedPaths);
  if (!SaveXmlFile(document, path)) {
    PrintLine(kSaveFailed);
    return false;
  }
  return true;
}

void ModifyBuildOptions(TiXmlElement* configuration, const std::string& configurationName,
                        const ProjectInfo& project, const std::vector<std::string>& includePaths) {
  std::vector<std::string> quoted;
  for (const std::string& includePath : includePaths) {
    quoted.push_back("\"" + includePath + "\"");
  }
  if (TiXmlElement* option = FindById(configuration, "option", kIncludePathsId)) {
    WriteOptionValues(option, quoted, kIncludeMessage);
  }

  // A fresh copy per configuration, so one configuration's extra defines never reach the other.
  std::vector<std::string> defines = LiteralDefines(project.defines);
  if (configurationName == "debug") {
    defines.push_back("TRACE");
    defines.push_back("OS_USE_TRACE_SEMIHOSTING_DEBUG");
  } else {
    defines.push_back("NDEBUG");
  }
  if (TiXmlElement* option = FindById(configuration, "option", kDefinesId)) {
    WriteOptionValues(option, defines, kDefineMessage);
  }

  // MDK compiles C++ files with the same include paths and defines as C files.
  if (TiXmlElement* option = FindById(configuration, "option", kCppIncludePathsId)) {
    SetOptionValues(option, quoted);
  }
  if (TiXmlElement* option = FindById(configuration, "option", kCppDefinesId)) {
    SetOptionValues(option, defines);
  }

  const std::string script = LinkerScriptValue(project);
  TiXmlElement* cScript = FindById(configuration, "option", kCLinkerScriptId);
  TiXmlElement* cppScript = FindById(configuration, "option", kCppLinkerScriptId);
  TiXmlElement* shown = cScript != nullptr ? cScript : cppScript;
  if (shown != nullptr && SetLinkerScript(shown, script)) PrintLine(kLinkFileMessage + script);
  // A project with the C++ nature links with the C++ linker, so it needs the chip's script too;
  // its line is the C linker's.
  if (cScript != nullptr && cppScript != nullptr) SetLinkerScript(cppScript, script);
}
