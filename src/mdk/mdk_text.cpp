// The text rules of the MDK reader, as pure functions on strings.
#include "mdk/mdk_text.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "mdk/mdk_path.h"

namespace {

// "IROM(0x" comes before the address digits.
constexpr std::string::size_type kIromPrefixLength = 7;
constexpr std::string::size_type kMaxAddressDigits = 8;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Reads `text` as one hexadecimal number with blanks around it and nothing else; "0x" alone, a
// sign or other words do not count.
bool ParseWholeHex(const std::string& text, uint64_t* value) {
  const std::string::size_type first = text.find_first_not_of(" \t");
  if (first == std::string::npos || text[first] == '-' || text[first] == '+') return false;
  const char* start = text.c_str() + first;
  char* end = nullptr;
  errno = 0;
  *value = std::strtoull(start, &end, 16);
  if (end == start || errno == ERANGE) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

}  // namespace

void SplitString(const std::string& text, const std::string& delimiters,
                 std::vector<std::string>& pieces) {
  std::string::size_type start = text.find_first_not_of(delimiters);
  while (start != std::string::npos) {
    const std::string::size_type end = text.find_first_of(delimiters, start);
    pieces.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    start = end == std::string::npos ? end : text.find_first_not_of(delimiters, end);
  }
}

std::vector<std::string> SplitDefines(const std::string& text, size_t limit) {
  std::vector<std::string> defines;
  std::string piece;
  bool inQuotes = false;
  for (char c : text) {
    if (c == '"') inQuotes = !inQuotes;
    // MDK separates defines with commas, with blanks, or with both; a quoted value keeps its
    // commas and blanks (G="x y" and V="1,2" are one define each).
    const bool separator = !inQuotes && (c == ',' || IsBlank(c));
    if (!separator) {
      piece += c;
      continue;
    }
    if (!piece.empty()) defines.push_back(piece);
    piece.clear();
    if (defines.size() > limit) return defines;
  }
  if (!piece.empty()) defines.push_back(piece);
  return defines;
}

std::vector<std::string> SplitIncludePaths(const std::string& text, size_t limit) {
  std::vector<std::string> paths;
  for (std::string::size_type begin = 0; begin <= text.size() && paths.size() <= limit;) {
    std::string::size_type end = text.find(';', begin);
    if (end == std::string::npos) end = text.size();
    std::string::size_type first = begin;
    std::string::size_type last = end;
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    begin = end + 1;
    if (first == last) continue;
    const std::string path = ToForwardSlashes(text.substr(first, last - first));
    // MDK paths are relative to the MDK folder and the build folder sits one level deeper; an
    // absolute path stands as it is.
    paths.push_back(IsAbsoluteMdkPath(path) ? path : "../" + path);
  }
  return paths;
}

uint64_t ParseFlashOrigin(const std::string& cpuText) {
  const std::string::size_type irom = cpuText.find("IROM");
  if (irom == std::string::npos) return kDefaultFlashOrigin;
  const std::string::size_type digits = irom + kIromPrefixLength;
  if (digits > cpuText.size()) return kDefaultFlashOrigin;
  const std::string address = cpuText.substr(digits, kMaxAddressDigits);
  return std::strtoul(address.c_str(), nullptr, 16);
}

MemoryRegion ParseMemoryRegion(const std::string& cpuText, const std::string& name) {
  const std::string::size_type open = cpuText.find(name + "(");
  if (open == std::string::npos) return {};
  const std::string::size_type first = open + name.size() + 1;
  const std::string::size_type comma = cpuText.find(',', first);
  const std::string::size_type close = cpuText.find(')', first);
  if (comma == std::string::npos || close == std::string::npos || comma > close) return {};
  MemoryRegion region;
  if (!ParseWholeHex(cpuText.substr(first, comma - first), &region.origin) ||
      !ParseWholeHex(cpuText.substr(comma + 1, close - comma - 1), &region.length)) {
    return {};
  }
  return region;
}

int32_t ParseFileType(const std::string& text) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  // Clamp rather than wrap, so that a huge number can never turn into type 1.
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}
