// Reading one target of a Keil MDK project file into the model.
#include "mdk/mdk_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "chip/chip_catalogue.h"
#include "fs/xml_file.h"
#include "fs/xml_text.h"
#include "mdk/mdk_path.h"
#include "mdk/mdk_text.h"
#include "mdk/target_settings.h"
#include "mdk/xml_search.h"

namespace {

// Where MDK puts the files of a target's device, such as its startup file.
constexpr char kRteDeviceFolder[] = "RTE/Device/";

void AppendAll(std::vector<std::string>& list, const std::vector<std::string>& pieces) {
  list.insert(list.end(), pieces.begin(), pieces.end());
}

// MDK leaves a file or group out of the build with IncludeInBuild 0 in its CommonProperty; a
// missing value means it is built.
bool IsIncludedInBuild(TiXmlElement* options) {
  return ChildElementText(ChildElement(options, "CommonProperty"), "IncludeInBuild") != "0";
}

// True when a run-time environment file's targetInfos name `targetName` without excluded="1". A
// file without target information belongs to every target.
bool RteFileBelongsTo(TiXmlElement* file, const std::string& targetName) {
  TiXmlElement* targetInfos = ChildElement(file, "targetInfos");
  if (FirstChildElementOf(targetInfos) == nullptr) return true;
  for (TiXmlElement* info = FirstChildElementOf(targetInfos); info != nullptr;
       info = info->NextSiblingElement()) {
    const char* name = info->Attribute("name");
    const char* excluded = info->Attribute("excluded");
    if (IsElementNamed(info, "targetInfo") && name != nullptr && targetName == name &&
        (excluded == nullptr || std::strcmp(excluded, "1") != 0)) {
      return true;
    }
  }
  return false;
}

void AppendOnce(std::vector<std::string>& list, const std::string& item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

// Reads the run-time environment files that `targetName` uses (removed instances do not count):
// its C and C++ files, and the include folders MDK adds for it.
void ReadRteFiles(TiXmlElement* rte, const std::string& targetName, ProjectInfo& info) {
  std::string componentsFolder = "RTE/_" + targetName;
  std::replace(componentsFolder.begin(), componentsFolder.end(), ' ', '_');
  AppendOnce(info.rteIncludeFolders, componentsFolder);

  for (TiXmlElement* file = FirstChildElementOf(ChildElement(rte, "files")); file != nullptr;
       file = file->NextSiblingElement()) {
    if (!IsElementNamed(file, "file") || !RteFileBelongsTo(file, targetName)) continue;
    for (TiXmlElement* instance = FirstChildElementOf(file); instance != nullptr;
         instance = instance->NextSiblingElement()) {
      const char* removed = instance->Attribute("removed");
      const bool isRemoved = removed != nullptr && std::strcmp(removed, "1") == 0;
      if (!IsElementNamed(instance, "instance") || isRemoved) continue;
      const std::string path = JoinSegments(NormalizedSegments(ToForwardSlashes(ElementText(instance))));
      if (IsCompiledSourceName(path)) {
        AppendOnce(info.rteSourceFiles, path);
      } else if (IsAssemblerSourceName(path)) {
        if (info.rteStartupFile.empty() && path.rfind(kRteDeviceFolder, 0) == 0 &&
            IsStartupFileName(path)) {
          info.rteStartupFile = path;
        }
      } else if (IsHeaderName(path)) {
        const std::string::size_type slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
        AppendOnce(info.rteIncludeFolders, folder);
      }
    }
  }
}

// Reads one top-level Project element: the strings of its target named `targetName` (its first
// target for "") replace earlier values, its lists are appended. Missing elements read as empty; a
// Project without a target of that name is skipped.
void ReadProjectElement(TiXmlElement* project, const std::string& targetName, ProjectInfo& info) {
  TiXmlElement* target = FindTarget(project, targetName);
  if (target == nullptr && !targetName.empty()) return;
  info.targetName = ChildElementText(target, "TargetName");

  TiXmlElement* targetOption = ChildElement(target, "TargetOption");
  std::string device = ChildElementText(ChildElement(targetOption, "TargetCommonOption"), "Device");
  if (!device.empty() && device[0] == '-') device.erase(0, 1);
  info.deviceName = device;
  info.chipModel = ParseDeviceName(info.deviceName, &info.flashSizeCode, &info.flashSizeKb);

  TiXmlElement* cads = ChildElement(ChildElement(targetOption, "TargetArmAds"), "Cads");
  TiXmlElement* found = nullptr;
  if (FindElementByName(cads, "Define", found)) AppendAll(info.defines, SplitDefines(ElementText(found)));
  if (FindElementByName(cads, "IncludePath", found)) {
    AppendAll(info.includePaths, SplitIncludePaths(ElementText(found)));
  }

  ReadSourceGroups(target, info.groups);
  ReadRteFiles(ChildElement(project, "RTE"), info.targetName, info);
  ReadTargetSettings(target, info.settings);
  ReadOwnOptions(target, info.ownOptions);
}

}  // namespace

Result ReadMdkProject(const std::string& path, ProjectInfo* info, const std::string& targetName) {
  if (info == nullptr) return Result::Failure(path, "no model to fill");

  TiXmlDocument document;
  Result loaded = LoadXmlFile(path, document);
  if (!loaded) return loaded;

  TiXmlElement* root = document.RootElement();
  std::vector<std::string> names;
  TiXmlElement* chosen = nullptr;
  for (TiXmlElement* element = root; element != nullptr; element = element->NextSiblingElement()) {
    if (!IsElementNamed(element, "Project")) continue;
    ListTargetNames(element, names);
    if (chosen == nullptr && !targetName.empty()) chosen = FindTarget(element, targetName);
  }
  if (!targetName.empty() && chosen == nullptr) {
    info->mdkTargetNames = names;
    return Result::Failure(targetName, kNoSuchTarget);
  }
  info->mdkTargetNames = std::move(names);
  // Without a chosen name the origin comes from the first top-level element alone, whatever the
  // Projects hold; a chosen target gives its own.
  TiXmlElement* cpuScope = targetName.empty() ? root : chosen;
  info->flashOrigin = ReadFlashOrigin(cpuScope);
  TiXmlElement* cpu = nullptr;
  if (FindElementByName(cpuScope, "Cpu", cpu)) {
    const std::string cpuText = ElementText(cpu);
    info->flashLength = ParseMemoryRegion(cpuText, "IROM").length;
    const MemoryRegion ram = ParseMemoryRegion(cpuText, "IRAM");
    info->ramOrigin = ram.origin;
    info->ramLength = ram.length;
  }
  for (TiXmlElement* element = root; element != nullptr; element = element->NextSiblingElement()) {
    if (IsElementNamed(element, "Project")) ReadProjectElement(element, targetName, *info);
  }
  return Result::Success();
}

namespace {

// The element of the first text of `info` that `isValid` refuses, in the order of
// FirstNonUtf8Element; "" when it takes them all.
std::string FirstElementRefusedBy(const ProjectInfo& info, bool (*isValid)(const std::string&)) {
  const auto allValid = [isValid](const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
      if (!isValid(text)) return false;
    }
    return true;
  };
  if (!isValid(info.targetName)) return "TargetName";
  if (!isValid(info.deviceName)) return "Device";
  if (!allValid(info.defines)) return "Define";
  if (!allValid(info.includePaths)) return "IncludePath";
  for (const SourceGroup& group : info.groups) {
    if (!isValid(group.groupName)) return "GroupName";
  }
  for (const SourceGroup& group : info.groups) {
    for (const SourceFile& file : group.files) {
      if (!isValid(file.fileName)) return "FileName";
      if (!isValid(file.filePath)) return "FilePath";
    }
  }
  if (!allValid(info.rteSourceFiles) || !allValid(info.rteIncludeFolders)) return "instance";
  return "";
}

}  // namespace

std::string FirstNonUtf8Element(const ProjectInfo& info) {
  return FirstElementRefusedBy(info, IsValidUtf8);
}

std::string FirstNonXmlElement(const ProjectInfo& info) {
  // A line break in the device name would add lines to the settings file it is written to.
  if (info.deviceName.find_first_of("\r\n") != std::string::npos) return "Device";
  return FirstElementRefusedBy(info, IsXmlText);
}

std::string FirstOversizedList(const ProjectInfo& info) {
  if (info.defines.size() > kMaxListEntries) return "Define";
  if (info.includePaths.size() > kMaxListEntries) return "IncludePath";
  // The assembler's lists are split when the project file is written; the same bound holds.
  const auto setting = [&info](const char* path) {
    const auto found = info.settings.find(path);
    return found != info.settings.end() ? found->second : std::string();
  };
  constexpr char kAssemblerDefines[] = "TargetArmAds/Aads/VariousControls/Define";
  constexpr char kAssemblerIncludePaths[] = "TargetArmAds/Aads/VariousControls/IncludePath";
  if (SplitDefines(setting(kAssemblerDefines)).size() > kMaxListEntries) return kAssemblerDefines;
  if (SplitIncludePaths(setting(kAssemblerIncludePaths)).size() > kMaxListEntries) {
    return kAssemblerIncludePaths;
  }
  return "";
}

uint64_t ReadFlashOrigin(TiXmlElement* root) {
  TiXmlElement* cpu = nullptr;
  if (!FindElementByName(root, "Cpu", cpu)) return kDefaultFlashOrigin;
  return ParseFlashOrigin(ElementText(cpu));
}

void ReadSourceGroups(TiXmlElement* target, std::vector<SourceGroup>& groups) {
  // Only the leading run of Group (and File) elements counts: the first other element ends it.
  for (TiXmlElement* group = FirstChildElementOf(ChildElement(target, "Groups"));
       group != nullptr && IsElementNamed(group, "Group"); group = group->NextSiblingElement()) {
    SourceGroup sourceGroup;
    sourceGroup.groupName = ToForwardSlashes(ChildElementText(group, "GroupName"));
    const bool groupIncluded = IsIncludedInBuild(ChildElement(group, "GroupOption"));

    for (TiXmlElement* file = FirstChildElementOf(ChildElement(group, "Files"));
         file != nullptr && IsElementNamed(file, "File"); file = file->NextSiblingElement()) {
      SourceFile sourceFile;
      sourceFile.fileType = ParseFileType(ChildElementText(file, "FileType"));
      sourceFile.fileName = ChildElementText(file, "FileName");
      sourceFile.filePath = ChildElementText(file, "FilePath");
      sourceFile.includeInBuild = groupIncluded && IsIncludedInBuild(ChildElement(file, "FileOption"));
      // Type 1 marks a C source file and 8 a C++ one; assembler (written for the ARM assembler),
      // objects, libraries, headers and texts are not linked, but the checks of the run see them.
      const bool linked = sourceFile.fileType == 1 || sourceFile.fileType == 8;
      (linked ? sourceGroup.files : sourceGroup.otherFiles).push_back(std::move(sourceFile));
    }
    groups.push_back(std::move(sourceGroup));
  }
}
