// The device settings file "preferences.ini" of the generated project.
#pragma once

#include <string>

/// "G" for the flash-size code 'G', "M" for 'M', "O" for any other.
std::string SizeTypeFor(char flashSizeCode);

/// Writes "chipTarget=<deviceName>" to line 2 and "chipSizeType=<type>" to line 3 of the project's
/// "preferences.ini". Prints nothing and reports nothing.
void UpdateSettingsFile();
