// The in-memory model of the one MDK target that a run converts.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

/// One file of an MDK group, of the MDK file type `fileType` (1 C, 8 C++). `filePath` is kept
/// exactly as the MDK file writes it. `includeInBuild` is false when MDK leaves the file out of the
/// target's build (IncludeInBuild 0 on the file or on its group).
struct SourceFile {
  int32_t fileType = 0;
  std::string fileName;
  std::string filePath;
  bool includeInBuild = true;
};

/// One MDK source group; `groupName` carries "/" where the MDK file had "\". `files` holds its C
/// and C++ files, `otherFiles` the rest (assembler 2, object 3, library 4, text 5, header 6...),
/// which are never linked; the driver moves a GNU-syntax assembler file to `files`.
struct SourceGroup {
  std::string groupName;
  std::vector<SourceFile> files;
  std::vector<SourceFile> otherFiles = {};
};

/// The options that one group of the target, or one file of a group, sets for itself
/// (GroupOption, FileOption): the text of each leaf element, keyed by its path below that element
/// ("GroupArmAds/Cads/Optim", "CommonProperty/AlwaysBuild").
struct OwnOptions {
  std::string groupName;  // with "/" where the MDK file had "\"
  std::string fileName;   // "" for the options of the group itself
  std::map<std::string, std::string> values;
  /// False when MDK leaves the group, or the file or its group, out of the build.
  bool includeInBuild = true;
};

/// The converted target. Created empty by the driver, filled once by the MDK reader; the driver
/// hands it to every later step.
struct ProjectInfo {
  std::string targetName;
  std::string deviceName;
  std::string chipModel;
  char flashSizeCode = '\0';
  int32_t flashSizeKb = 0;
  uint64_t flashOrigin = 0;
  /// The size in bytes of the flash region the MDK target names (its Cpu text's IROM); 0 when it
  /// names none, and the chip's whole flash (flashSizeKb) counts.
  uint64_t flashLength = 0;
  /// The RAM region the MDK target names (its Cpu text's first IRAM); a length of 0 when it names
  /// none it can read, and the linker script's RAM region counts.
  uint64_t ramOrigin = 0;
  uint64_t ramLength = 0;
  std::vector<SourceGroup> groups;
  std::vector<std::string> includePaths;
  std::vector<std::string> defines;
  /// The C and C++ files that the target takes from MDK's run-time environment (RTE), relative to
  /// the MDK folder with "/" separators, in document order.
  std::vector<std::string> rteSourceFiles;
  /// The folders MDK adds to the include path of an RTE-managed target, relative to the MDK folder:
  /// "RTE/_<target name, blanks as _>" and the folder of each of its RTE headers; each once.
  std::vector<std::string> rteIncludeFolders;
  /// The target's RTE startup file, relative to the MDK folder with "/": its first assembler file
  /// below "RTE/Device/" whose name begins with "startup" (any case); "" when it has none.
  std::string rteStartupFile;
  /// The TargetName of every target of the MDK file, in document order.
  std::vector<std::string> mdkTargetNames;
  /// The converted target's settings: the text of each leaf element below its TargetOption, keyed
  /// by its path there ("TargetArmAds/Cads/Optim"), and of each leaf child of the Target itself
  /// ("TargetName", "uAC6"). A setting whose element is missing has no key.
  std::map<std::string, std::string> settings;
  /// The groups and files of the converted target that carry options of their own, in document
  /// order.
  std::vector<OwnOptions> ownOptions;
};

/// The scatter file of the user's own that the target links with instead of the memory layout of
/// its target dialog (umfTarg 0), as the MDK file writes it; "" when it links with that layout.
std::string OwnScatterFile(const ProjectInfo& project);

/// The run's model; null before the driver creates it and after it destroys it.
extern ProjectInfo* g_project;
