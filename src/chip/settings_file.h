// The device settings file "preferences.ini" of the generated project.
#pragma once

#include <string>

#include "fs/result.h"
#include "mdk/project_info.h"

/// The device settings file, in the project folder.
constexpr char kSettingsFileName[] = "preferences.ini";

/// "G" for the flash-size code 'G', "M" for 'M', "O" for any other.
std::string SizeTypeFor(char flashSizeCode);

/// Succeeds when the settings file at `path` can be read and holds the lines the run rewrites;
/// otherwise fails, naming the file and what it lacks.
Result CheckSettingsFile(const std::string& path);

/// Writes "chipTarget=<deviceName>" to line 2 and "chipSizeType=<type>" to line 3 of the
/// "preferences.ini" in `projectFolder`. Fails, naming the file, when it is missing, lacks those
/// lines (CheckSettingsFile), cannot be read or cannot be rewritten whole. Prints nothing.
Result UpdateSettingsFile(const std::string& projectFolder, const ProjectInfo& project);
