// The text rules of the MDK reader, as pure functions on strings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// The flash origin of a chip whose MDK file names none.
constexpr uint64_t kDefaultFlashOrigin = 0x8000000;

/// Appends to `pieces` every non-empty run of characters of `text` that are not in `delimiters`.
void SplitString(const std::string& text, const std::string& delimiters,
                 std::vector<std::string>& pieces);

/// The most entries a list of the MDK file (defines, include paths) may hold. Real projects hold a
/// few dozen; each entry costs the writers far more memory than it takes in the file.
constexpr size_t kMaxListEntries = 10000;

/// Splits an MDK Define text at every "," and at every run of blanks or tabs outside double
/// quotes; empty pieces are dropped. `A, B C,,G="x y",V="1,2"` gives A, B, C, G="x y" and V="1,2".
/// Stops after `limit` + 1 pieces, so that an oversized list shows without being built whole.
std::vector<std::string> SplitDefines(const std::string& text, size_t limit = kMaxListEntries);

/// Splits an MDK IncludePath text at ";", trims blanks and tabs at both ends of each piece, drops
/// empty pieces, turns "\" into "/" and puts "../" in front of each relative one: `..\inc; lib;
/// C:\Keil\inc` gives ../../inc, ../lib and C:/Keil/inc. Stops after `limit` + 1 paths.
std::vector<std::string> SplitIncludePaths(const std::string& text,
                                           size_t limit = kMaxListEntries);

/// The flash origin named in an MDK Cpu text: up to eight hexadecimal characters read from seven
/// characters after the first "IROM", as strtoul reads them. 0x8000000 without "IROM", or when
/// fewer than seven characters follow its start.
uint64_t ParseFlashOrigin(const std::string& cpuText);

/// A memory region named in an MDK Cpu text, "<name>(<origin>,<size>)".
struct MemoryRegion {
  uint64_t origin = 0;
  uint64_t length = 0;  // in bytes; 0 when the text names no such region or it cannot be read
};

/// The first region called `name` ("IROM", "IRAM") in an MDK Cpu text: "IRAM(" does not match
/// "IRAM2(". Its origin and size must each be a whole hexadecimal number (blanks around them
/// allowed); otherwise, and without such a region, the length is 0.
MemoryRegion ParseMemoryRegion(const std::string& cpuText, const std::string& name);

/// The decimal number at the start of `text`, as strtol reads it ("01" is 1, "" is 0).
int32_t ParseFileType(const std::string& text);
