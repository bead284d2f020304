// The text rules of the MDK reader, as pure functions on strings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Splits an MDK Define text at every "," and at every run of blanks or tabs outside double
/// quotes; empty pieces are dropped. `A, B C,,G="x y"` gives A, B, C and G="x y".
std::vector<std::string> SplitDefines(const std::string& text);

/// Splits an MDK IncludePath text at ";", trims blanks and tabs at both ends of each piece, drops
/// empty pieces, turns "\" into "/" and puts "../" in front: `..\inc; lib` gives ../../inc, ../lib.
std::vector<std::string> SplitIncludePaths(const std::string& text);

/// The flash origin named in an MDK Cpu text: up to eight hexadecimal characters read from seven
/// characters after the first "IROM", as strtoul reads them. 0x8000000 without "IROM", or when
/// fewer than seven characters follow its start.
uint64_t ParseFlashOrigin(const std::string& cpuText);

/// The decimal number at the start of `text`, as strtol reads it ("01" is 1, "" is 0).
int32_t ParseFileType(const std::string& text);

/// True when `text` is well-formed UTF-8: no stray or missing continuation bytes, no overlong
/// forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& text);
