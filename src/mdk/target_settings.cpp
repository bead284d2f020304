// Reading the settings of the converted target: the texts of its option elements, as they stand.
#include "mdk/target_settings.h"

#include <cstring>
#include <utility>

#include "mdk/mdk_path.h"

namespace {

bool IsNamed(const TiXmlElement* element, const char* name) {
  return std::strcmp(element->Value(), name) == 0;
}

TiXmlElement* FirstChild(TiXmlElement* parent) {
  return parent != nullptr ? parent->FirstChildElement() : nullptr;
}

TiXmlElement* Child(TiXmlElement* parent, const char* name) {
  for (TiXmlElement* child = FirstChild(parent); child != nullptr;
       child = child->NextSiblingElement()) {
    if (IsNamed(child, name)) return child;
  }
  return nullptr;
}

std::string Text(const TiXmlElement* element) {
  const char* text = element != nullptr ? element->GetText() : nullptr;
  return text != nullptr ? text : "";
}

// Adds the text of every leaf element below `parent`, keyed by `prefix` and its path from there;
// a key already held keeps its first text.
void AddLeafTexts(TiXmlElement* parent, const std::string& prefix,
                  std::map<std::string, std::string>& values) {
  for (TiXmlElement* child = FirstChild(parent); child != nullptr;
       child = child->NextSiblingElement()) {
    const std::string path = prefix + child->Value();
    if (child->FirstChildElement() == nullptr) {
      values.emplace(path, Text(child));
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
  return Text(Child(Child(options, "CommonProperty"), "IncludeInBuild")) != "0";
}

}  // namespace

TiXmlElement* FindTarget(TiXmlElement* project, const std::string& name) {
  TiXmlElement* targets = Child(project, "Targets");
  if (name.empty()) return Child(targets, "Target");
  for (TiXmlElement* target = FirstChild(targets); target != nullptr;
       target = target->NextSiblingElement()) {
    if (IsNamed(target, "Target") && Text(Child(target, "TargetName")) == name) return target;
  }
  return nullptr;
}

void ListTargetNames(TiXmlElement* project, std::vector<std::string>& names) {
  for (TiXmlElement* target = FirstChild(Child(project, "Targets")); target != nullptr;
       target = target->NextSiblingElement()) {
    if (IsNamed(target, "Target")) names.push_back(Text(Child(target, "TargetName")));
  }
}

void ReadTargetSettings(TiXmlElement* target, std::map<std::string, std::string>& settings) {
  settings.clear();
  for (TiXmlElement* child = FirstChild(target); child != nullptr;
       child = child->NextSiblingElement()) {
    if (child->FirstChildElement() == nullptr) settings.emplace(child->Value(), Text(child));
  }
  AddLeafTexts(Child(target, "TargetOption"), "", settings);
}

void ReadOwnOptions(TiXmlElement* target, std::vector<OwnOptions>& options) {
  options.clear();
  // The same walk as the reader's: the leading run of Group elements, and of File elements.
  for (TiXmlElement* group = FirstChild(Child(target, "Groups"));
       group != nullptr && IsNamed(group, "Group"); group = group->NextSiblingElement()) {
    const std::string groupName = ToForwardSlashes(Text(Child(group, "GroupName")));
    TiXmlElement* groupOptions = Child(group, "GroupOption");
    const bool groupIncluded = IsIncludedInBuild(groupOptions);
    AddOwnOptions(groupOptions, groupName, "", groupIncluded, options);
    for (TiXmlElement* file = FirstChild(Child(group, "Files"));
         file != nullptr && IsNamed(file, "File"); file = file->NextSiblingElement()) {
      TiXmlElement* fileOptions = Child(file, "FileOption");
      AddOwnOptions(fileOptions, groupName, Text(Child(file, "FileName")),
                    groupIncluded && IsIncludedInBuild(fileOptions), options);
    }
  }
}
