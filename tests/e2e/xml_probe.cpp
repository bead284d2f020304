// Reading generated XML files in tests: parsed with TinyXML, never compared as raw text.
#include "e2e/xml_probe.h"

#include <tinyxml.h>

namespace {

TiXmlElement* FindFirst(TiXmlElement* start, const std::string& name, const std::string& pattern) {
  for (TiXmlElement* child = start->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    const char* id = child->Attribute("id");
    if (child->ValueStr() == name && id != nullptr && std::string(id).find(pattern) != std::string::npos) {
      return child;
    }
    if (TiXmlElement* below = FindFirst(child, name, pattern)) return below;
  }
  return nullptr;
}

std::string TextOf(TiXmlElement* parent, const char* name) {
  TiXmlElement* child = parent->FirstChildElement(name);
  if (child == nullptr || child->GetText() == nullptr) return "";
  return child->GetText();
}

}  // namespace

std::vector<std::string> OptionValues(const std::string& cprojectPath, const std::string& configPattern,
                                      const std::string& optionPattern) {
  std::vector<std::string> values;
  TiXmlDocument doc;
  if (!doc.LoadFile(cprojectPath.c_str()) || doc.RootElement() == nullptr) return values;
  TiXmlElement* config = FindFirst(doc.RootElement(), "folderInfo", configPattern);
  if (config == nullptr) return values;
  TiXmlElement* option = FindFirst(config, "option", optionPattern);
  if (option == nullptr) return values;
  for (TiXmlElement* value = option->FirstChildElement("listOptionValue"); value != nullptr;
       value = value->NextSiblingElement("listOptionValue")) {
    const char* text = value->Attribute("value");
    values.push_back(text != nullptr ? text : "<no value>");
  }
  return values;
}

std::string OptionValue(const std::string& cprojectPath, const std::string& configPattern,
                        const std::string& optionPattern) {
  TiXmlDocument doc;
  if (!doc.LoadFile(cprojectPath.c_str()) || doc.RootElement() == nullptr) return "<none>";
  TiXmlElement* config = FindFirst(doc.RootElement(), "folderInfo", configPattern);
  TiXmlElement* option = config != nullptr ? FindFirst(config, "option", optionPattern) : nullptr;
  const char* value = option != nullptr ? option->Attribute("value") : nullptr;
  return value != nullptr ? value : "<none>";
}

std::string ConfigurationAttribute(const std::string& cprojectPath, const std::string& configPattern,
                                   const std::string& name) {
  TiXmlDocument doc;
  if (!doc.LoadFile(cprojectPath.c_str()) || doc.RootElement() == nullptr) return "<none>";
  TiXmlElement* config = FindFirst(doc.RootElement(), "folderInfo", configPattern);
  TiXmlNode* parent = config != nullptr ? config->Parent() : nullptr;
  TiXmlElement* element = parent != nullptr ? parent->ToElement() : nullptr;
  if (element == nullptr || element->ValueStr() != "configuration") return "<none>";
  const char* value = element->Attribute(name.c_str());
  return value != nullptr ? value : "<none>";
}

ProjectDescription ReadProjectDescription(const std::string& projectPath) {
  ProjectDescription description;
  TiXmlDocument doc;
  if (!doc.LoadFile(projectPath.c_str()) || doc.RootElement() == nullptr) return description;
  description.loaded = true;
  TiXmlElement* root = doc.RootElement();
  description.name = TextOf(root, "name");
  TiXmlElement* resources = nullptr;
  for (TiXmlElement* child = root->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    description.rootChildren.push_back(child->ValueStr());
    if (child->ValueStr() == "linkedResources") resources = child;
  }
  if (resources == nullptr) return description;
  for (TiXmlElement* link = resources->FirstChildElement("link"); link != nullptr;
       link = link->NextSiblingElement("link")) {
    description.links.push_back({TextOf(link, "name"), TextOf(link, "type"), TextOf(link, "locationURI")});
  }
  return description;
}
