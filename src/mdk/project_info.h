// The in-memory model of the one MDK target that a run converts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// One C source file of an MDK group. `filePath` is kept exactly as the MDK file writes it.
struct SourceFile {
  int32_t fileType = 0;
  std::string fileName;
  std::string filePath;
};

/// One MDK source group; `groupName` carries "/" where the MDK file had "\".
struct SourceGroup {
  std::string groupName;
  std::vector<SourceFile> files;
};

/// The converted target. Created empty by the driver, filled once by the MDK reader, read by
/// every later step through `g_project`.
struct ProjectInfo {
  std::string targetName;
  std::string deviceName;
  std::string chipModel;
  char flashSizeCode = '\0';
  int32_t flashSizeKb = 0;
  uint64_t flashOrigin = 0;
  std::vector<SourceGroup> groups;
  std::vector<std::string> includePaths;
  std::vector<std::string> defines;
};

/// The run's model; null before the driver creates it and after it destroys it.
extern ProjectInfo* g_project;
