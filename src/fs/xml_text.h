// What text an XML file of the project can carry.
#pragma once

#include <string>

/// True when `text` is well-formed UTF-8: no stray or missing continuation bytes, no overlong
/// forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& text);

/// True when `text` is valid UTF-8 and every character is one XML 1.0 allows: tab, line feed,
/// carriage return, U+0020 to U+D7FF, U+E000 to U+FFFD and U+10000 to U+10FFFF. A control
/// character, even written as a character reference, makes a file no XML reader takes back.
bool IsXmlText(const std::string& text);
