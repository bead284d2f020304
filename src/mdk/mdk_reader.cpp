// Reading the first target of a Keil MDK project file into the model.
#include "mdk/mdk_reader.h"

#include <cstring>
#include <utility>

#include "app/console.h"
#include "chip/chip_catalogue.h"
#include "mdk/mdk_lists.h"
#include "mdk/xml_file.h"
#include "mdk/xml_search.h"

namespace {

constexpr char kLoadFailed[] = "Unable to load file: ";
constexpr char kReadSucceeded[] = "Success to read MDK project file: ";
constexpr uint64_t kDefaultFlashOrigin = 0x8000000;

bool IsNamed(const TiXmlElement* element, const char* name) {
  return std::strcmp(element->Value(), name) == 0;
}

TiXmlElement* FirstChild(TiXmlElement* parent) {
  return parent != nullptr ? parent->FirstChildElement() : nullptr;
}

// The first child element of `parent` named exactly `name`; null when `parent` is null or has none.
TiXmlElement* Child(TiXmlElement* parent, const char* name) {
  for (TiXmlElement* child = FirstChild(parent); child != nullptr;
       child = child->NextSiblingElement()) {
    if (IsNamed(child, name)) return child;
  }
  return nullptr;
}

// The text of `element`; a missing element or one without text reads as "".
std::string Text(const TiXmlElement* element) {
  if (element == nullptr) return "";
  const char* text = element->GetText();
  return text != nullptr ? text : "";
}

std::string ChildText(TiXmlElement* parent, const char* name) {
  return Text(Child(parent, name));
}

void ReplaceBackslashes(std::string& text) {
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
}

void AppendAll(std::vector<std::string>& list, const std::vector<std::string>& pieces) {
  list.insert(list.end(), pieces.begin(), pieces.end());
}

// Reads one top-level Project element: its first target's strings replace earlier values, its
// lists are appended. Missing elements read as empty.
void ReadProjectElement(TiXmlElement* project, ProjectInfo& info) {
  TiXmlElement* target = Child(Child(project, "Targets"), "Target");
  info.targetName = ChildText(target, "TargetName");

  TiXmlElement* targetOption = Child(target, "TargetOption");
  std::string device = ChildText(Child(targetOption, "TargetCommonOption"), "Device");
  if (!device.empty() && device[0] == '-') device.erase(0, 1);
  info.deviceName = device;
  info.chipModel = ParseDeviceName(info.deviceName, &info.flashSizeCode, &info.flashSizeKb);

  TiXmlElement* cads = Child(Child(targetOption, "TargetArmAds"), "Cads");
  TiXmlElement* found = nullptr;
  if (FindElementByName(cads, "Define", found)) AppendAll(info.defines, SplitDefines(Text(found)));
  if (FindElementByName(cads, "IncludePath", found)) {
    AppendAll(info.includePaths, SplitIncludePaths(Text(found)));
  }

  ReadSourceGroups(target, info.groups);
}

}  // namespace

bool ReadMdkProject(const std::string& path, ProjectInfo* info) {
  if (info == nullptr) return false;

  TiXmlDocument document;
  if (!LoadXmlFile(path, document)) {
    PrintLine(kLoadFailed + path);
    return false;
  }

  TiXmlElement* root = document.RootElement();
  // The origin comes from the first top-level element alone, whatever the Projects hold.
  info->flashOrigin = ReadFlashOrigin(root);
  for (TiXmlElement* element = root; element != nullptr; element = element->NextSiblingElement()) {
    if (IsNamed(element, "Project")) ReadProjectElement(element, *info);
  }

  PrintLine(kReadSucceeded + path);
  return true;
}

std::string FirstNonUtf8Element(const ProjectInfo& info) {
  const auto allValid = [](const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
      if (!IsValidUtf8(text)) return false;
    }
    return true;
  };
  if (!IsValidUtf8(info.targetName)) return "TargetName";
  if (!IsValidUtf8(info.deviceName)) return "Device";
  if (!allValid(info.defines)) return "Define";
  if (!allValid(info.includePaths)) return "IncludePath";
  for (const SourceGroup& group : info.groups) {
    if (!IsValidUtf8(group.groupName)) return "GroupName";
  }
  for (const SourceGroup& group : info.groups) {
    for (const SourceFile& file : group.files) {
      if (!IsValidUtf8(file.fileName)) return "FileName";
      if (!IsValidUtf8(file.filePath)) return "FilePath";
    }
  }
  return "";
}

uint64_t ReadFlashOrigin(TiXmlElement* root) {
  TiXmlElement* cpu = nullptr;
  if (!FindElementByName(root, "Cpu", cpu)) return kDefaultFlashOrigin;
  return ParseFlashOrigin(Text(cpu));
}

bool ReadSourceGroups(TiXmlElement* target, std::vector<SourceGroup>& groups) {
  // Only the leading run of Group (and File) elements counts: the first other element ends it.
  for (TiXmlElement* group = FirstChild(Child(target, "Groups"));
       group != nullptr && IsNamed(group, "Group"); group = group->NextSiblingElement()) {
    SourceGroup sourceGroup;
    sourceGroup.groupName = ChildText(group, "GroupName");
    ReplaceBackslashes(sourceGroup.groupName);

    for (TiXmlElement* file = FirstChild(Child(group, "Files"));
         file != nullptr && IsNamed(file, "File"); file = file->NextSiblingElement()) {
      const int32_t fileType = ParseFileType(ChildText(file, "FileType"));
      // Type 1 marks a C source file; assembler, headers, libraries and texts are not linked.
      if (fileType != 1) continue;
      SourceFile sourceFile;
      sourceFile.fileType = fileType;
      sourceFile.fileName = ChildText(file, "FileName");
      sourceFile.filePath = ChildText(file, "FilePath");
      sourceGroup.files.push_back(std::move(sourceFile));
    }
    groups.push_back(std::move(sourceGroup));
  }
  return true;
}
