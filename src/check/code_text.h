// The lexer of the check: the classes of bytes, comments and literals taken out of a line, and
// the tokens of a line of code. Internal to the check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "check/arm_code_scan.h"

// The scan looks at every byte of every checked line for a few bytes: 16 at a time, compared at
// once through the compiler's vector extension.
typedef unsigned char Bytes16 __attribute__((vector_size(16)));

#if !defined(__SSE2__)
// One bit a byte of `bytes` (8 bytes of 0 or 0xFF, in memory order): bit i for byte i.
inline uint32_t ByteMask(uint64_t bytes) {
  if (__BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__) bytes = __builtin_bswap64(bytes);
  return static_cast<uint32_t>(((bytes & 0x8080808080808080u) * 0x0002040810204081u) >> 56);
}
#endif

// Bit i set for each byte i of `hits` that is 0xFF (each is 0 or 0xFF, as comparisons give).
template <typename Hits>
uint32_t MaskOf(const Hits& hits) {
  static_assert(sizeof hits == 16, "16 comparisons");
#if defined(__SSE2__)
  __m128i matched;
  std::memcpy(&matched, &hits, sizeof matched);
  return static_cast<uint32_t>(_mm_movemask_epi8(matched));
#else
  uint64_t halves[2];
  std::memcpy(halves, &hits, sizeof halves);
  return ByteMask(halves[0]) | ByteMask(halves[1]) << 8;
#endif
}

// Bit i set for each byte at + i of `text` (i < 16, at + i < text.size()) that is one of
// `kWanted`. Every line goes through here a few times: the bytes are loaded 16 at a time, the
// last ones as the 16 that end the text, never copied a byte at a time.
template <char... kWanted>
uint32_t MatchMask(std::string_view text, size_t at) {
  const size_t size = text.size();
  Bytes16 block;
  if (size - at >= sizeof block) {
    std::memcpy(&block, text.data() + at, sizeof block);
    return MaskOf(((block == static_cast<unsigned char>(kWanted)) | ...));
  }
  if (size >= sizeof block) {
    std::memcpy(&block, text.data() + size - sizeof block, sizeof block);
    return MaskOf(((block == static_cast<unsigned char>(kWanted)) | ...)) >>
           (at - (size - sizeof block));
  }
  uint32_t mask = 0;
  for (size_t i = at; i < size; ++i) {
    if (((text[i] == kWanted) || ...)) mask |= 1u << (i - at);
  }
  return mask;
}

// The position of the first of `kWanted` in `text` from `from` on; text.size() when none is.
template <char... kWanted>
size_t FindAnyOf(std::string_view text, size_t from) {
  const size_t size = text.size();
  for (size_t i = from; i < size; i += 16) {
    const uint32_t mask = MatchMask<kWanted...>(text, i);
    if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(mask));
  }
  return size;
}

// The classes of a byte, looked up rather than compared: the scan asks them of every byte.
enum CharClass : uint8_t {
  kIdentifierStart = 1,
  kDigitClass = 2,
  kSpaceClass = 4,
  kFindingStart = 16,  // begins a name the scan looks for
};

struct CharClasses {
  uint8_t of[256] = {};
  constexpr CharClasses() {
    for (int c = 'a'; c <= 'z'; ++c) of[c] = kIdentifierStart;
    for (int c = 'A'; c <= 'Z'; ++c) of[c] = kIdentifierStart;
    of[static_cast<unsigned char>('_')] = kIdentifierStart;
    of[static_cast<unsigned char>('$')] = kIdentifierStart;
    for (int c = '0'; c <= '9'; ++c) of[c] = kDigitClass;
    for (const char c : {' ', '\t', '\f', '\v', '\r'}) of[static_cast<unsigned char>(c)] = kSpaceClass;
    for (const char c : {'_', 'f', 'I', 'L', 'r', '$'}) of[static_cast<unsigned char>(c)] |= kFindingStart;
  }
};
inline constexpr CharClasses kCharClasses;

inline uint8_t ClassOf(char c) { return kCharClasses.of[static_cast<unsigned char>(c)]; }
inline bool IsIdentifierStart(char c) { return (ClassOf(c) & kIdentifierStart) != 0; }
inline bool IsDigit(char c) { return (ClassOf(c) & kDigitClass) != 0; }
inline bool IsIdentifierChar(char c) { return (ClassOf(c) & (kIdentifierStart | kDigitClass)) != 0; }
inline bool IsSpace(char c) { return (ClassOf(c) & kSpaceClass) != 0; }

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

template <typename List>
bool Contains(const List& list, std::string_view word) {
  for (const char* entry : list) {
    if (word == entry) return true;
  }
  return false;
}

std::string Trim(const std::string& text);

bool StartsWith(std::string_view text, const char* prefix);

bool IsAssembler(SourceLanguage language);

// A quote that continues a number rather than opening a character literal: C++14's digit
// separator (1'000'000).
bool IsDigitSeparator(std::string_view line, size_t quote);

// Fills `text` with `line` less its comments, and `code` with that less the contents of string
// and character literals too; both keep the columns of `line`, with spaces where something was
// taken out. `inBlockComment` carries an open "/*" from line to line.
void CleanLine(std::string_view line, SourceLanguage language, bool* inBlockComment,
               std::string* text, std::string* code);

using Token = CodeToken;

// Fills `tokens` with the tokens of `code` from `from` on.
void TokenizeCode(std::string_view code, size_t from, std::vector<Token>* tokens);

std::vector<Token> TokenizeCode(const std::string& code, size_t from);

std::string_view TokenText(const std::string& code, const Token& token);

bool IsPunctuator(const std::string& code, const Token* token, char c);
