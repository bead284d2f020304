// The text rules of the MDK reader, as pure functions on strings.
#include "mdk/mdk_lists.h"

#include <cstdlib>
#include <limits>

namespace {

constexpr uint64_t kDefaultFlashOrigin = 0x8000000;
// "IROM(0x" comes before the address digits.
constexpr std::string::size_type kIromPrefixLength = 7;
constexpr std::string::size_type kMaxAddressDigits = 8;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> SplitDefines(const std::string& text) {
  std::vector<std::string> defines;
  std::string piece;
  bool inQuotes = false;
  for (char c : text) {
    if (c == '"') inQuotes = !inQuotes;
    // MDK separates defines with commas, with blanks, or with both; a quoted value keeps its
    // blanks (G="x y" is one define).
    const bool separator = c == ',' || (!inQuotes && IsBlank(c));
    if (!separator) {
      piece += c;
      continue;
    }
    if (!piece.empty()) defines.push_back(piece);
    piece.clear();
  }
  if (!piece.empty()) defines.push_back(piece);
  return defines;
}

std::vector<std::string> SplitIncludePaths(const std::string& text) {
  std::vector<std::string> paths;
  std::string::size_type begin = 0;
  while (begin <= text.size()) {
    std::string::size_type end = text.find(';', begin);
    if (end == std::string::npos) end = text.size();
    std::string::size_type first = begin;
    std::string::size_type last = end;
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    if (first < last) {
      std::string path = text.substr(first, last - first);
      for (char& c : path) {
        if (c == '\\') c = '/';
      }
      // MDK paths are relative to the MDK folder; the IDE project sits one folder beside it.
      paths.push_back("../" + path);
    }
    begin = end + 1;
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

int32_t ParseFileType(const std::string& text) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  // Clamp rather than wrap, so that a huge number can never turn into type 1.
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

bool IsValidUtf8(const std::string& text) {
  const size_t size = text.size();
  for (size_t i = 0; i < size;) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = 1;
    // The bounds of the first continuation byte rule out overlong forms, surrogates and code
    // points above U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (size - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return true;
}
