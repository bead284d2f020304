// The device settings file "preferences.ini" of the generated project.
#pragma once

#include <string>

/// "G" for the flash-size code 'G', "M" for 'M', "O" for any other.
std::string SizeTypeFor(char flashSizeCode);

/// Writes "chipTarget=<deviceName>" to line 2 and "chipSizeType=<type>" to line 3 of the project's
/// "preferences.ini" (a missing file is created empty). Returns false after
/// "Failed to write file: <path>" when the file cannot be read or rewritten whole.
bool UpdateSettingsFile();
