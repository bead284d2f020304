// Reading the settings of the converted target: the texts of its option elements, as they stand.
#include "mdk/target_settings.h"

#include <utility>

#include "mdk/mdk_path.h"
#include "mdk/xml_search.h"

namespace {

// Adds the text of every leaf element below `parent`, keyed by `prefix` and its path from there;
// a key already held keeps its first text.
void AddLeafTexts(TiXmlElement* parent, const std::string& prefix,
                  std::map<std::string, std::string>& values) {
  for (TiXmlElement* child = FirstChildElementOf(parent); child != nullptr;
       child = child->NextSiblingElement()) {
    const std::string path = prefix + child->Value();
    if (child->FirstChildElement() == nullptr) {
      values.emplace(path, ElementText(child));
    } else {
      AddLeafTexts(child, path + "/", values);
    }
  }
}

// The options element (GroupOption or FileOption) of a group or file, as an entry; `included`
// says whether MDK builds what it belongs to.
void AddOwnOptions(TiXmlElement* options, const std::string& groupName,
                   const std::string& fileName, bool included, std::vector<OwnOptions>& list) {
  if (options == nullptr) return;
  OwnOptions entry;
  entry.groupName = groupName;
  entry.fileName = fileName;
  entry.includeInBuild = included;
  AddLeafTexts(options, "", entry.values);
  list.push_back(std::move(entry));
}

bool IsIncludedInBuild(TiXmlElement* options) {
  return ElementText(ChildElement(ChildElement(options, "CommonProperty"), "IncludeInBuild")) != "0";
}

}  // namespace

TiXmlElement* FindTarget(TiXmlElement* project, const std::string& name) {
  TiXmlElement* targets = ChildElement(project, "Targets");
  if (name.empty()) return ChildElement(targets, "Target");
  for (TiXmlElement* target = FirstChildElementOf(targets); target != nullptr;
       target = target->NextSiblingElement()) {
    if (IsElementNamed(target, "Target") && ElementText(ChildElement(target, "TargetName")) == name) return target;
  }
  return nullptr;
}

void ListTargetNames(TiXmlElement* project, std::vector<std::string>& names) {
  for (TiXmlElement* target = FirstChildElementOf(ChildElement(project, "Targets")); target != nullptr;
       target = target->NextSiblingElement()) {
    if (IsElementNamed(target, "Target")) names.push_back(ElementText(ChildElement(target, "TargetName")));
  }
}

void ReadTargetSettings(TiXmlElement* target, std::map<std::string, std::string>& settings) {
  settings.clear();
  for (TiXmlElement* child = FirstChildElementOf(target); child != nullptr;
       child = child->NextSiblingElement()) {
    if (child->FirstChildElement() == nullptr) settings.emplace(child->Value(), ElementText(child));
  }
  AddLeafTexts(ChildElement(target, "TargetOption"), "", settings);
}

void ReadOwnOptions(TiXmlElement* target, std::vector<OwnOptions>& options) {
  options.clear();
  // The same walk as the reader's: the leading run of Group elements, and of File elements.
  for (TiXmlElement* group = FirstChildElementOf(ChildElement(target, "Groups"));
       group != nullptr && IsElementNamed(group, "Group"); group = group->NextSiblingElement()) {
    const std::string groupName = ToForwardSlashes(ElementText(ChildElement(group, "GroupName")));
    TiXmlElement* groupOptions = ChildElement(group, "GroupOption");
    const bool groupIncluded = IsIncludedInBuild(groupOptions);
    AddOwnOptions(groupOptions, groupName, "", groupIncluded, options);
    for (TiXmlElement* file = FirstChildElementOf(ChildElement(group, "Files"));
         file != nullptr && IsElementNamed(file, "File"); file = file->NextSiblingElement()) {
      TiXmlElement* fileOptions = ChildElement(file, "FileOption");
      AddOwnOptions(fileOptions, groupName, ElementText(ChildElement(file, "FileName")),
                    groupIncluded && IsIncludedInBuild(fileOptions), options);
    }
  }
}
