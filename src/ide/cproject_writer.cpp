// Writing the generated ".cproject": include paths, defines and linker script per configuration.
#include "ide/cproject_writer.h"

#include <vector>

#include "app/console.h"
#include "chip/chip_catalogue.h"
#include "fs/project_path.h"
#include "mdk/project_info.h"
#include "mdk/xml_file.h"
#include "mdk/xml_search.h"

namespace {

constexpr char kCProjectFileName[] = "/.cproject";
constexpr char kUnableToLoad[] = "Unable to load file: ";
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

constexpr char kValueElement[] = "listOptionValue";
constexpr char kIncludeMessage[] = "Modify the include path configuration: ";
constexpr char kDefineMessage[] = "Modify the define configuration: ";
constexpr char kLinkFileMessage[] = "Modify link file configuration: ";

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

// Replaces the values of `option` with `values`, printing `message` and each value.
void WriteOptionValues(TiXmlElement* option, const std::vector<std::string>& values,
                       const char* message) {
  RemoveChildElements(option);
  for (const std::string& value : values) {
    TiXmlElement* element = new TiXmlElement(kValueElement);
    element->SetAttribute("builtIn", "false");
    element->SetAttribute("value", value);
    option->LinkEndChild(element);
    PrintLine(message + value);
  }
}

std::string LinkerScriptValue() {
  return "\"${workspace_loc:/${ProjName}}/ldscripts/" +
         LinkerScriptName(g_project->chipModel, g_project->flashSizeCode) + "\"";
}

void WriteLinkerScript(TiXmlElement* option) {
  const std::string script = LinkerScriptValue();
  TiXmlElement* value = option->FirstChildElement(kValueElement);
  if (value == nullptr) {
    // An option left without a value would build with no linker script at all.
    TiXmlElement* element = new TiXmlElement(kValueElement);
    element->SetAttribute("builtIn", "false");
    element->SetAttribute("value", script);
    option->LinkEndChild(element);
    PrintLine(kLinkFileMessage + script);
    return;
  }
  for (TiXmlAttribute* attribute = value->FirstAttribute(); attribute != nullptr;
       attribute = attribute->Next()) {
    if (std::string(attribute->Name()) == "value") {
      attribute->SetValue(script);
      PrintLine(kLinkFileMessage + script);
    }
  }
}

void ModifyConfiguration(TiXmlElement* root, const char* pattern, const char* heading,
                         const std::string& configurationName) {
  TiXmlElement* configuration = FindById(root, "folderInfo", pattern);
  if (configuration == nullptr) return;
  PrintLine("");
  PrintLine(heading);
  ModifyBuildOptions(configuration, configurationName);
}

}  // namespace

bool GenerateCProjectFile() {
  const std::string path = g_projectPath + kCProjectFileName;
  TiXmlDocument document;
  TiXmlElement* root = LoadXmlFile(path, document) ? document.FirstChildElement() : nullptr;
  if (root == nullptr) {
    PrintLine(kUnableToLoad + path);
    return false;
  }
  ModifyConfiguration(root, kDebugConfigId, "Modify the Debug configuration", "debug");
  ModifyConfiguration(root, kReleaseConfigId, "Modify the Release configuration", "release");
  if (!SaveXmlFile(document, path)) {
    PrintLine(kSaveFailed);
    return false;
  }
  return true;
}

bool ModifyBuildOptions(TiXmlElement* configuration, const std::string& configurationName) {
  if (configuration == nullptr) return false;

  if (TiXmlElement* option = FindById(configuration, "option", kIncludePathsId)) {
    std::vector<std::string> quoted;
    for (const std::string& includePath : g_project->includePaths) {
      quoted.push_back("\"" + includePath + "\"");
    }
    WriteOptionValues(option, quoted, kIncludeMessage);
  }

  if (TiXmlElement* option = FindById(configuration, "option", kDefinesId)) {
    // A fresh copy per configuration, so one configuration's extra defines never reach the other.
    std::vector<std::string> defines = g_project->defines;
    if (configurationName == "debug") {
      defines.push_back("TRACE");
      defines.push_back("OS_USE_TRACE_SEMIHOSTING_DEBUG");
    } else {
      defines.push_back("NDEBUG");
    }
    WriteOptionValues(option, defines, kDefineMessage);
  }

  TiXmlElement* linkerScript = FindById(configuration, "option", kCLinkerScriptId);
  if (linkerScript == nullptr) linkerScript = FindById(configuration, "option", kCppLinkerScriptId);
  if (linkerScript != nullptr) WriteLinkerScript(linkerScript);
  return true;
}
