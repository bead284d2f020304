// Reading one target of a Keil MDK project file into the model.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "fs/result.h"
#include "mdk/project_info.h"

/// The reason of ReadMdkProject's failure for a target name that the file does not have.
constexpr char kNoSuchTarget[] = "no target of that name";

/// Loads the MDK project file at `path` and fills `info` from the target whose TargetName is
/// `targetName` (the first target when it is ""), with its settings and the run-time environment
/// files it uses, and lists the names of all targets in `mdkTargetNames`. Fails, leaving `info`
/// unchanged, when the file cannot be loaded (LoadXmlFile says why) or `info` is null. When no
/// target has that name, fails with the reason kNoSuchTarget and the name as its path, and fills
/// only `mdkTargetNames`. Missing elements and empty texts count as empty; never crashes. Prints
/// nothing.
Result ReadMdkProject(const std::string& path, ProjectInfo* info,
                      const std::string& targetName = "");

/// The name of the MDK element that gave the first text of `info` that is not valid UTF-8, in the
/// order TargetName, Device, Define, IncludePath, GroupName, FileName, FilePath and the instance
/// of a run-time environment file; "" when all are.
/// Such a text would be written raw into the UTF-8 project files.
std::string FirstNonUtf8Element(const ProjectInfo& info);

/// Like FirstNonUtf8Element for texts that XML 1.0 cannot carry (control characters, U+FFFE,
/// U+FFFF), and a Device that holds a line break; "" when there is none.
std::string FirstNonXmlElement(const ProjectInfo& info);

/// "Define" or "IncludePath" when that list holds more than kMaxListEntries entries (the reader
/// stops splitting there), or the setting's path ("TargetArmAds/Aads/VariousControls/Define",
/// ".../IncludePath") when the assembler's list does; "" otherwise.
std::string FirstOversizedList(const ProjectInfo& info);

/// The flash origin from the first Cpu element below `root` (0x8000000 when there is none or
/// `root` is null).
uint64_t ReadFlashOrigin(TiXmlElement* root);

/// Appends one SourceGroup per leading Group child of the target's Groups, with its C (type 1) and
/// C++ (type 8) files in `files` and the others in `otherFiles`, each with its IncludeInBuild
/// switch. Never clears `groups`.
void ReadSourceGroups(TiXmlElement* target, std::vector<SourceGroup>& groups);
