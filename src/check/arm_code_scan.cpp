// Finding, line by line, the ARM Compiler constructs in C, C++ and assembler text that GCC rejects
// or ignores, with the preprocessor conditionals evaluated as GCC evaluates them.
#include "check/arm_code_scan.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "check/gcc_port.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// --- What is reported ---

constexpr char kEmbeddedAsmText[] =
    "ARM Compiler embedded assembler: GCC rejects it; rewrite with GNU inline asm (__asm volatile)";
constexpr char kInlineAsmText[] =
    "ARM Compiler inline assembler block: GCC rejects it; rewrite with GNU inline asm "
    "(__asm volatile)";
constexpr char kRegisterAsmText[] =
    "ARM Compiler named register variable: GCC rejects it; use the CMSIS __get_/__set_ functions";
constexpr char kAtAttributeText[] =
    "ARM Compiler placement at(): GCC ignores it and places the object anywhere; place it with a "
    "section of the linker script";
constexpr char kAtSectionText[] =
    "ARM linker section .ARM.__at_: GNU ld does not place it at that address; place it with a "
    "section of the linker script";
constexpr char kFileStructText[] =
    "ARM C library struct __FILE: newlib does not use it; drop it and retarget through _write and "
    "_read";
constexpr char kImportPragmaText[] =
    "ARM C library #pragma import: GCC ignores it; drop it and link with --specs=nosys.specs";
constexpr char kAnonUnionsText[] =
    "ARM Compiler #pragma anon_unions: GCC ignores it and takes anonymous unions in C11 as they "
    "are; drop it";
constexpr char kArmSectionText[] =
    "ARM Compiler #pragma arm section: GCC ignores it; write __attribute__((section(\"name\")))";
constexpr char kRegionSymbolPrefix[] = "ARM linker symbol ";
constexpr char kRegionSymbolSuffix[] =
    ": GNU ld does not define it; use a symbol defined in the linker script";
constexpr char kPatchSymbolPrefix[] = "ARM linker patch ";
constexpr char kPatchSymbolSuffix[] =
    ": GNU ld does not apply it; use ld --wrap (__wrap_ and __real_)";

struct NamedText {
  const char* name;
  const char* text;
};

// Keywords; the ones marked take an argument list and count only with one.
struct Keyword {
  const char* name;
  bool takesArguments;
  const char* text;
};
constexpr Keyword kKeywords[] = {
    {"__align", true,
     "ARM Compiler keyword __align: GCC rejects it; write __attribute__((aligned(n)))"},
    {"__packed", false,
     "ARM Compiler keyword __packed: GCC rejects it, and ignores __attribute__((packed)) before "
     "struct; write struct __attribute__((packed)) (typedef struct __attribute__((packed)) {...})"},
    {"__forceinline", false,
     "ARM Compiler keyword __forceinline: GCC rejects it; write inline "
     "__attribute__((always_inline))"},
    {"__irq", false,
     "ARM Compiler keyword __irq: GCC rejects it; drop it (Cortex-M handlers are plain functions)"},
    {"__svc", true,
     "ARM Compiler keyword __svc: GCC rejects it; write a function with __asm volatile (\"svc "
     "#n\")"},
    {"__swi", true,
     "ARM Compiler keyword __swi: GCC rejects it; write a function with __asm volatile (\"svc "
     "#n\")"},
    {"__value_in_regs", false,
     "ARM Compiler keyword __value_in_regs: GCC rejects it; drop it and return the structure "
     "through a pointer"},
    {"__weak", false, "ARM Compiler keyword __weak: GCC rejects it; write __attribute__((weak))"},
    {"__global_reg", true,
     "ARM Compiler keyword __global_reg: GCC rejects it; write register T name __asm(\"rN\")"},
    {"__pure", false, "ARM Compiler keyword __pure: GCC rejects it; write __attribute__((const))"},
    {"__softfp", false,
     "ARM Compiler keyword __softfp: GCC rejects it; drop it (-mfloat-abi sets the float ABI)"},
    {"__int64", false, "ARM Compiler keyword __int64: GCC rejects it; write long long"},
};

// Intrinsics, reported when called.
constexpr NamedText kIntrinsics[] = {
    {"__nop", "ARM Compiler intrinsic __nop: GCC does not know it; use CMSIS __NOP()"},
    {"__wfi", "ARM Compiler intrinsic __wfi: GCC does not know it; use CMSIS __WFI()"},
    {"__wfe", "ARM Compiler intrinsic __wfe: GCC does not know it; use CMSIS __WFE()"},
    {"__sev", "ARM Compiler intrinsic __sev: GCC does not know it; use CMSIS __SEV()"},
    {"__isb", "ARM Compiler intrinsic __isb: GCC does not know it; use CMSIS __ISB()"},
    {"__dsb", "ARM Compiler intrinsic __dsb: GCC does not know it; use CMSIS __DSB()"},
    {"__dmb", "ARM Compiler intrinsic __dmb: GCC does not know it; use CMSIS __DMB()"},
    {"__clz", "ARM Compiler intrinsic __clz: GCC does not know it; use CMSIS __CLZ()"},
    {"__rev", "ARM Compiler intrinsic __rev: GCC does not know it; use CMSIS __REV()"},
    {"__rev16", "ARM Compiler intrinsic __rev16: GCC does not know it; use CMSIS __REV16()"},
    {"__revsh", "ARM Compiler intrinsic __revsh: GCC does not know it; use CMSIS __REVSH()"},
    {"__rbit", "ARM Compiler intrinsic __rbit: GCC does not know it; use CMSIS __RBIT()"},
    {"__ror", "ARM Compiler intrinsic __ror: GCC does not know it; use CMSIS __ROR()"},
    {"__ssat", "ARM Compiler intrinsic __ssat: GCC does not know it; use CMSIS __SSAT()"},
    {"__usat", "ARM Compiler intrinsic __usat: GCC does not know it; use CMSIS __USAT()"},
    {"__ldrex", "ARM Compiler intrinsic __ldrex: GCC does not know it; use CMSIS __LDREXW()"},
    {"__strex", "ARM Compiler intrinsic __strex: GCC does not know it; use CMSIS __STREXW()"},
    {"__clrex", "ARM Compiler intrinsic __clrex: GCC does not know it; use CMSIS __CLREX()"},
    {"__breakpoint",
     "ARM Compiler intrinsic __breakpoint: GCC does not know it; use CMSIS __BKPT()"},
    {"__enable_fiq",
     "ARM Compiler intrinsic __enable_fiq: GCC does not know it; use CMSIS __enable_fault_irq()"},
    {"__disable_fiq",
     "ARM Compiler intrinsic __disable_fiq: GCC does not know it; use CMSIS __disable_fault_irq()"},
};

// The ARM C library's retargeting hooks. The ones marked count only where the code defines them
// (a call of fputc is fine); the others wherever they appear.
struct RetargetHook {
  const char* name;
  bool definitionOnly;
  const char* text;
};
constexpr RetargetHook kRetargetHooks[] = {
    {"fputc", true, "ARM C library retargeting fputc: newlib does not call it; implement _write"},
    {"fgetc", true, "ARM C library retargeting fgetc: newlib does not call it; implement _read"},
    {"_sys_exit", false,
     "ARM C library retargeting _sys_exit: newlib does not call it; implement _exit"},
    {"_ttywrch", false,
     "ARM C library retargeting _ttywrch: newlib does not call it; implement _write"},
    {"_sys_open", false,
     "ARM C library retargeting _sys_open: newlib does not call it; implement _open"},
    {"_sys_close", false,
     "ARM C library retargeting _sys_close: newlib does not call it; implement _close"},
    {"_sys_read", false,
     "ARM C library retargeting _sys_read: newlib does not call it; implement _read"},
    {"_sys_write", false,
     "ARM C library retargeting _sys_write: newlib does not call it; implement _write"},
    {"_sys_istty", false,
     "ARM C library retargeting _sys_istty: newlib does not call it; implement _isatty"},
    {"_sys_seek", false,
     "ARM C library retargeting _sys_seek: newlib does not call it; implement _lseek"},
    {"_sys_flen", false,
     "ARM C library retargeting _sys_flen: newlib does not call it; implement _fstat"},
    {"__user_initial_stackheap", false,
     "ARM C library retargeting __user_initial_stackheap: newlib does not call it; implement "
     "_sbrk"},
    {"__user_setup_stackheap", false,
     "ARM C library retargeting __user_setup_stackheap: newlib does not call it; implement _sbrk"},
};

constexpr NamedText kOptimizePragmas[] = {
    {"O0", "ARM Compiler #pragma O0: GCC ignores it; write #pragma GCC optimize (\"O0\")"},
    {"O1", "ARM Compiler #pragma O1: GCC ignores it; write #pragma GCC optimize (\"O1\")"},
    {"O2", "ARM Compiler #pragma O2: GCC ignores it; write #pragma GCC optimize (\"O2\")"},
    {"O3", "ARM Compiler #pragma O3: GCC ignores it; write #pragma GCC optimize (\"O3\")"},
    {"Otime", "ARM Compiler #pragma Otime: GCC ignores it; write #pragma GCC optimize (\"O2\")"},
    {"Ospace", "ARM Compiler #pragma Ospace: GCC ignores it; write #pragma GCC optimize (\"Os\")"},
};

// What may follow __asm in GNU inline assembler.
constexpr const char* kGnuAsmQualifiers[] = {"volatile", "__volatile__", "__volatile", "inline",
                                             "__inline", "__inline__",   "goto"};

// The special registers of a Cortex-M that ARM Compiler binds register variables to and GCC has
// no name for.
constexpr const char* kSystemRegisters[] = {
    "apsr",        "cpsr",      "spsr",    "ipsr",   "epsr",  "iapsr",   "eapsr",
    "iepsr",       "xpsr",      "psr",     "msp",    "psp",   "primask", "basepri",
    "basepri_max", "faultmask", "control", "msplim", "psplim"};

// The functions whose definitions the check notes, for the bridge from newlib's system calls to
// the ARM C library's hooks: the hooks themselves and the system calls a target may have already.
constexpr const char* kWatchedDefinitions[] = {"fputc", "fgetc",  "_sys_exit", "_write",
                                               "_read", "_exit", "_isatty"};

// Names that an ARM Compiler branch may define as macros and that GCC knows without them: keywords
// and the C library's own macros.
constexpr const char* kLanguageNames[] = {
    "inline",    "restrict",   "asm",       "bool",          "true",          "false",
    "alignas",   "alignof",    "noreturn",  "static_assert", "thread_local",  "typeof",
    "__inline",  "__inline__", "__asm",     "__asm__",       "__restrict",    "__restrict__",
    "__attribute__", "__attribute", "__volatile__", "NULL", "offsetof", "EOF"};

// Whether an #if or #elif condition names ARM Compiler 5 or 6.
bool NamesArmCompiler(const std::string& condition) {
  return condition.find("__CC_ARM") != std::string::npos ||
         condition.find("__ARMCC_VERSION") != std::string::npos;
}

// Words that, before a retargeting hook's name, show a call rather than a definition.
constexpr const char* kStatementWords[] = {"return", "else", "do", "case", "goto", "sizeof"};

// The entries of the tables above that an identifier of code may be; every name in them begins
// with "_" or "f", so other identifiers are passed over at once.
struct NamedFinding {
  const Keyword* keyword = nullptr;
  const NamedText* intrinsic = nullptr;
  const RetargetHook* hook = nullptr;
};

const NamedFinding* FindNamedFinding(std::string_view name) {
  if (name.empty() || (name[0] != '_' && name[0] != 'f')) return nullptr;
  static const std::unordered_map<std::string_view, NamedFinding> kNames = [] {
    std::unordered_map<std::string_view, NamedFinding> names;
    for (const Keyword& keyword : kKeywords) names[keyword.name].keyword = &keyword;
    for (const NamedText& intrinsic : kIntrinsics) names[intrinsic.name].intrinsic = &intrinsic;
    for (const RetargetHook& hook : kRetargetHooks) names[hook.name].hook = &hook;
    return names;
  }();
  const auto found = kNames.find(name);
  return found == kNames.end() ? nullptr : &found->second;
}

// The scan looks at every byte of every checked line for a few bytes: 16 at a time, compared at
// once through the compiler's vector extension.
typedef unsigned char Bytes16 __attribute__((vector_size(16)));

#if !defined(__SSE2__)
// One bit a byte of `bytes` (8 bytes of 0 or 0xFF, in memory order): bit i for byte i.
uint32_t ByteMask(uint64_t bytes) {
  if (__BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__) bytes = __builtin_bswap64(bytes);
  return static_cast<uint32_t>(((bytes & 0x8080808080808080u) * 0x0002040810204081u) >> 56);
}
#endif

// Bit i set for each of the first `count` (at most 16) bytes at `bytes` that is one of
// `kWanted` (none of them '\0').
template <char... kWanted>
uint32_t MatchMask(const char* bytes, size_t count) {
  // A short block is padded with zeros, which match nothing.
  Bytes16 block = {};
  if (count == sizeof block) {
    std::memcpy(&block, bytes, sizeof block);
  } else {
    std::memcpy(&block, bytes, count);
  }
  const auto hits = ((block == static_cast<unsigned char>(kWanted)) | ...);
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

// The position of the first of `kWanted` in `text` from `from` on; text.size() when none is.
template <char... kWanted>
size_t FindAnyOf(std::string_view text, size_t from) {
  const size_t size = text.size();
  for (size_t i = from; i < size; i += 16) {
    const uint32_t mask = MatchMask<kWanted...>(text.data() + i, size - i < 16 ? size - i : 16);
    if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(mask));
  }
  return size;
}

// Whether a line (less its comments) may hold anything ScanCode reports or notes: every name of
// the tables above and every symbol it looks for holds "__" or "$$", or begins a retargeting hook
// or a system call without them ("fputc", "fgetc", "_sys_", "_ttywrch", "_write", "_read",
// "_exit", "_isatty"). A line without any of these is passed over.
bool MayHoldFinding(std::string_view text) {
  const size_t size = text.size();
  for (size_t i = 0; i < size; i += 16) {
    uint32_t mask = MatchMask<'_', '$', 'f'>(text.data() + i, size - i < 16 ? size - i : 16);
    // Each candidate is told by the byte after its first before any comparison.
    for (; mask != 0; mask &= mask - 1) {
      const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
      if (at + 1 >= size) return false;
      const std::string_view rest = text.substr(at);
      if (rest[0] == '_') {
        if (rest[1] == '_') return true;
        if (rest[1] == 's' && rest.compare(0, 5, "_sys_") == 0) return true;
        if (rest[1] == 't' && rest.compare(0, 8, "_ttywrch") == 0) return true;
        // The system calls only as whole names: "uart_read" is not one.
        const char before = at == 0 ? ' ' : text[at - 1];
        if (std::isalnum(static_cast<unsigned char>(before)) || before == '_' || before == '$') {
          continue;
        }
        if (rest[1] == 'w' && rest.compare(0, 6, "_write") == 0) return true;
        if (rest[1] == 'r' && rest.compare(0, 5, "_read") == 0) return true;
        if (rest[1] == 'e' && rest.compare(0, 5, "_exit") == 0) return true;
        if (rest[1] == 'i' && rest.compare(0, 7, "_isatty") == 0) return true;
      } else if (rest[0] == '$') {
        if (rest[1] == '$') return true;
      } else if (rest.size() >= 5 && (rest[1] == 'p' || rest[1] == 'g') &&
                 (rest.compare(0, 5, "fputc") == 0 || rest.compare(0, 5, "fgetc") == 0)) {
        return true;
      }
    }
  }
  return false;
}

// A definition's parameters and body must follow its name within this many lines.
constexpr int kRetargetLineSpan = 8;

// --- Text helpers ---

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
constexpr CharClasses kCharClasses;

uint8_t ClassOf(char c) { return kCharClasses.of[static_cast<unsigned char>(c)]; }
bool IsIdentifierStart(char c) { return (ClassOf(c) & kIdentifierStart) != 0; }
bool IsDigit(char c) { return (ClassOf(c) & kDigitClass) != 0; }
bool IsIdentifierChar(char c) { return (ClassOf(c) & (kIdentifierStart | kDigitClass)) != 0; }
bool IsSpace(char c) { return (ClassOf(c) & kSpaceClass) != 0; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

template <typename List>
bool Contains(const List& list, std::string_view word) {
  for (const char* entry : list) {
    if (word == entry) return true;
  }
  return false;
}

bool StartsWith(std::string_view text, const char* prefix) {
  return text.compare(0, strlen(prefix), prefix) == 0;
}

bool IsAssembler(SourceLanguage language) {
  return language == SourceLanguage::kPreprocessedAssembler ||
         language == SourceLanguage::kAssembler;
}

// A quote that continues a number rather than opening a character literal: C++14's digit
// separator (1'000'000).
bool IsDigitSeparator(std::string_view line, size_t quote) {
  size_t start = quote;
  while (start > 0 && IsIdentifierChar(line[start - 1])) --start;
  return start < quote && IsDigit(line[start]);
}

// Fills `text` with `line` less its comments, and `code` with that less the contents of string
// and character literals too; both keep the columns of `line`, with spaces where something was
// taken out. `inBlockComment` carries an open "/*" from line to line.
void CleanLine(std::string_view line, SourceLanguage language, bool* inBlockComment,
               std::string* text, std::string* code) {
  text->assign(line.data(), line.size());
  code->assign(line.data(), line.size());
  const size_t size = line.size();
  char* const textBytes = text->data();
  char* const codeBytes = code->data();
  auto blank = [&](size_t from, size_t to) {
    std::memset(textBytes + from, ' ', to - from);
    std::memset(codeBytes + from, ' ', to - from);
  };
  const bool assembler = IsAssembler(language);
  if (language == SourceLanguage::kAssembler && !*inBlockComment) {
    // Without the preprocessor, a line that opens with "#" is a comment to the assembler.
    const size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '#') {
      blank(0, size);
      return;
    }
  }
  size_t i = 0;
  while (i < size) {
    if (*inBlockComment) {
      const size_t close = line.find("*/", i);
      if (close == std::string::npos) {
        blank(i, size);
        return;
      }
      blank(i, close + 2);
      i = close + 2;
      *inBlockComment = false;
      continue;
    }
    // Most of a line is neither comment nor literal.
    i = FindAnyOf<'/', '"', '\'', '@'>(line, i);
    if (i == size) break;
    const char c = line[i];
    if (c == '/' && i + 1 < size && line[i + 1] == '/') {
      blank(i, size);
      return;
    }
    if (c == '/' && i + 1 < size && line[i + 1] == '*') {
      *inBlockComment = true;
      blank(i, i + 2);
      i += 2;
      continue;
    }
    if (assembler && c == '@') {
      blank(i, size);
      return;
    }
    if (c == '"' || (c == '\'' && !assembler && !IsDigitSeparator(line, i))) {
      size_t j = i + 1;
      while (j < size && line[j] != c) j += (line[j] == '\\' && j + 1 < size) ? 2 : 1;
      const size_t end = j < size ? j : size;
      if (end > i + 1) std::memset(codeBytes + i + 1, ' ', end - i - 1);
      i = j < size ? j + 1 : size;
      continue;
    }
    ++i;
  }
}

// --- Tokens of code ---

using Token = CodeToken;

// Fills `tokens` with the tokens of `code` from `from` on.
void TokenizeCode(std::string_view code, size_t from, std::vector<Token>* tokens) {
  tokens->clear();
  const size_t size = code.size();
  // Room for a token a byte, the most a line can hold, so that a long line's tokens are never
  // moved: only the part that they fill is ever touched.
  if (size > from) tokens->reserve(size - from);
  size_t i = from;
  while (i < size) {
    const char c = code[i];
    if (IsSpace(c)) {
      ++i;
      continue;
    }
    size_t j = i + 1;
    Token::Kind kind = Token::Kind::kPunctuator;
    if (IsIdentifierStart(c)) {
      kind = Token::Kind::kIdentifier;
      while (j < size && IsIdentifierChar(code[j])) ++j;
    } else if (IsDigit(c) || (c == '.' && j < size && IsDigit(code[j]))) {
      kind = Token::Kind::kNumber;
      while (j < size) {
        const char d = code[j];
        const char before = code[j - 1];
        const bool exponentSign = (d == '+' || d == '-') && (before == 'e' || before == 'E' ||
                                                             before == 'p' || before == 'P');
        if (!IsIdentifierChar(d) && d != '.' && d != '\'' && !exponentSign) break;
        ++j;
      }
    } else if (c == '"' || c == '\'') {
      // The contents are blanked, so the next quote of the same kind closes the literal.
      kind = c == '"' ? Token::Kind::kString : Token::Kind::kCharacter;
      const size_t close = code.find(c, j);
      j = close == std::string::npos ? size : close + 1;
    }
    // Filled in place: a token built aside and copied in costs a stall per token.
    Token& token = tokens->emplace_back();
    token.kind = kind;
    token.begin = static_cast<uint32_t>(i);
    token.end = static_cast<uint32_t>(j);
    i = j;
  }
}

std::vector<Token> TokenizeCode(const std::string& code, size_t from) {
  std::vector<Token> tokens;
  TokenizeCode(code, from, &tokens);
  return tokens;
}

std::string_view TokenText(const std::string& code, const Token& token) {
  return std::string_view(code).substr(token.begin, token.end - token.begin);
}

bool IsPunctuator(const std::string& code, const Token* token, char c) {
  return token != nullptr && token->kind == Token::Kind::kPunctuator && code[token->begin] == c;
}

// The finding for the __asm (or CMSIS __ASM) at `tokens[index]`, which has a token after it;
// nullptr for GNU inline assembler. `sawRegister`: "register" stands before it on the line.
const char* AsmFinding(const std::string& text, const std::string& code,
                       const std::vector<Token>& tokens, size_t index, bool sawRegister) {
  const Token& next = tokens[index + 1];
  if (IsPunctuator(code, &next, '{')) return kInlineAsmText;
  if (next.kind == Token::Kind::kIdentifier) {
    // GNU asm takes only its qualifiers here; ARM's embedded assembler a function's type.
    return Contains(kGnuAsmQualifiers, TokenText(code, next)) ? nullptr : kEmbeddedAsmText;
  }
  if (IsPunctuator(code, &next, '(') && sawRegister && index + 2 < tokens.size() &&
      tokens[index + 2].kind == Token::Kind::kString) {
    const Token& literal = tokens[index + 2];
    if (literal.end - literal.begin < 2) return nullptr;
    std::string name = text.substr(literal.begin + 1, literal.end - literal.begin - 2);
    std::transform(name.begin(), name.end(), name.begin(), LowerAscii);
    if (Contains(kSystemRegisters, name)) return kRegisterAsmText;
  }
  return nullptr;
}

// Marks, for each "(" of `tokens`, whether an at( stands directly inside a "(" directly inside
// it: the place of ARM's at(address) in __attribute__((name(...), at(address))). One pass over
// the line, however many attributes it holds or leaves open.
void MarkAtAttributeLists(const std::string& code, const std::vector<Token>& tokens,
                          std::vector<char>* holdsAt) {
  holdsAt->assign(tokens.size(), 0);
  std::vector<size_t> open;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (IsPunctuator(code, &tokens[i], '(')) {
      open.push_back(i);
    } else if (IsPunctuator(code, &tokens[i], ')')) {
      if (!open.empty()) open.pop_back();
    } else if (open.size() >= 2 && tokens[i].kind == Token::Kind::kIdentifier &&
               TokenText(code, tokens[i]) == "at" &&
               IsPunctuator(code, i + 1 < tokens.size() ? &tokens[i + 1] : nullptr, '(')) {
      (*holdsAt)[open[open.size() - 2]] = 1;
    }
  }
}

// Whether the __attribute__ at `tokens[index]` names ARM's at(address); `holdsAt` as
// MarkAtAttributeLists leaves it.
bool HasAtAttribute(const std::string& code, const std::vector<Token>& tokens, size_t index,
                    const std::vector<char>& holdsAt) {
  return index + 1 < tokens.size() && IsPunctuator(code, &tokens[index + 1], '(') &&
         holdsAt[index + 1] != 0;
}

// --- #if expressions ---

struct ExpressionToken {
  enum class Kind { kNumber, kIdentifier, kOperator };
  Kind kind;
  std::string text;
  int64_t value = 0;
};

// The integer value of a preprocessing number: decimal, hex, octal or binary, with any u/l suffix.
bool ParseInteger(const std::string& text, int64_t* value) {
  size_t i = 0;
  int base = 10;
  if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    i = 2;
  } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
    base = 2;
    i = 2;
  } else if (text.size() > 1 && text[0] == '0') {
    base = 8;
    i = 1;
  }
  uint64_t result = 0;
  size_t digits = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\'') continue;
    int digit = -1;
    if (IsDigit(c))
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    if (digit < 0 || digit >= base) break;
    result = result * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    ++digits;
  }
  if (digits == 0 && base != 8) return false;
  for (; i < text.size(); ++i) {
    const char c = LowerAscii(text[i]);
    if (c != 'u' && c != 'l') return false;
  }
  *value = static_cast<int64_t>(result);
  return true;
}

// Splits an #if expression into tokens; false when a number is no integer (1.5, 1e3). A string
// or a character no operator has becomes an operator token that no rule accepts, so it can only
// stand in the arguments that a __has_include or a function-like macro passes over.
bool TokenizeExpression(const std::string& text, std::vector<ExpressionToken>* tokens) {
  static const char* const kTwoCharOperators[] = {"&&", "||", "==", "!=", "<=", ">=", "<<", ">>"};
  const size_t size = text.size();
  size_t i = 0;
  while (i < size) {
    const char c = text[i];
    if (IsSpace(c)) {
      ++i;
      continue;
    }
    if (IsIdentifierStart(c)) {
      size_t j = i + 1;
      while (j < size && IsIdentifierChar(text[j])) ++j;
      tokens->push_back({ExpressionToken::Kind::kIdentifier, text.substr(i, j - i)});
      i = j;
      continue;
    }
    if (IsDigit(c)) {
      size_t j = i + 1;
      while (j < size && (IsIdentifierChar(text[j]) || text[j] == '\'')) ++j;
      ExpressionToken token{ExpressionToken::Kind::kNumber, text.substr(i, j - i)};
      if (!ParseInteger(token.text, &token.value)) return false;
      tokens->push_back(token);
      i = j;
      continue;
    }
    if (c == '\'') {
      // A character constant of one character or a simple escape.
      size_t j = i + 1;
      int64_t value = 0;
      if (j < size && text[j] == '\\' && j + 1 < size) {
        const char e = text[j + 1];
        value = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e == '0' ? 0 : e;
        j += 2;
      } else if (j < size) {
        value = static_cast<unsigned char>(text[j]);
        ++j;
      }
      if (j >= size || text[j] != '\'') return false;
      tokens->push_back({ExpressionToken::Kind::kNumber, text.substr(i, j + 1 - i), value});
      i = j + 1;
      continue;
    }
    if (c == '"') {
      const size_t close = text.find('"', i + 1);
      const size_t end = close == std::string::npos ? size : close + 1;
      tokens->push_back({ExpressionToken::Kind::kOperator, text.substr(i, end - i)});
      i = end;
      continue;
    }
    std::string op(1, c);
    if (i + 1 < size) {
      const std::string two = text.substr(i, 2);
      for (const char* candidate : kTwoCharOperators) {
        if (two == candidate) op = two;
      }
    }
    tokens->push_back({ExpressionToken::Kind::kOperator, op});
    i += op.size();
  }
  return true;
}

// GCC's own operators that look like function-like macros.
constexpr const char* kBuiltinTests[] = {"__has_include",       "__has_include_next",
                                         "__has_builtin",       "__has_attribute",
                                         "__has_cpp_attribute", "__has_c_attribute"};

// Parentheses nested deeper than this, or macros expanded deeper, end the evaluation as an error.
constexpr int kMaxExpressionDepth = 200;
// The macro text one #if may expand, in all: past it the scan no longer follows the condition.
// Real conditions expand a few hundred bytes; macros that each use the one before twice expand
// 2^n names, which would take the scan minutes where GCC takes them in seconds.
constexpr size_t kMaxConditionExpansion = 64 * 1024;
constexpr char kExpansionBoundSuffix[] =
    " expands more than 64 KiB of macros: the check cannot tell whether GCC takes this branch "
    "and skips it; check the branch by hand";

// What the macros of one condition may still expand, and whether they wanted more.
struct ExpansionBudget {
  size_t left = kMaxConditionExpansion;
  bool exceeded = false;
};

int BinaryPrecedence(const std::string& op) {
  if (op == "||") return 1;
  if (op == "&&") return 2;
  if (op == "|") return 3;
  if (op == "^") return 4;
  if (op == "&") return 5;
  if (op == "==" || op == "!=") return 6;
  if (op == "<" || op == ">" || op == "<=" || op == ">=") return 7;
  if (op == "<<" || op == ">>") return 8;
  if (op == "+" || op == "-") return 9;
  if (op == "*" || op == "/" || op == "%") return 10;
  return 0;
}

// Arithmetic wraps in 64 bits, as unsigned arithmetic does, and never overflows a signed type.
// `evaluated`: false for the right operand that && or || skips, where GCC lets a division by zero
// pass.
bool ApplyBinary(const std::string& op, int64_t a, int64_t b, bool evaluated, int64_t* result) {
  const uint64_t ua = static_cast<uint64_t>(a);
  const uint64_t ub = static_cast<uint64_t>(b);
  if (op == "||")
    *result = (a != 0 || b != 0) ? 1 : 0;
  else if (op == "&&")
    *result = (a != 0 && b != 0) ? 1 : 0;
  else if (op == "|")
    *result = static_cast<int64_t>(ua | ub);
  else if (op == "^")
    *result = static_cast<int64_t>(ua ^ ub);
  else if (op == "&")
    *result = static_cast<int64_t>(ua & ub);
  else if (op == "==")
    *result = a == b;
  else if (op == "!=")
    *result = a != b;
  else if (op == "<")
    *result = a < b;
  else if (op == ">")
    *result = a > b;
  else if (op == "<=")
    *result = a <= b;
  else if (op == ">=")
    *result = a >= b;
  else if (op == "<<")
    *result = (b < 0 || b >= 64) ? 0 : static_cast<int64_t>(ua << b);
  else if (op == ">>")
    *result = (b < 0 || b >= 64) ? (a < 0 ? -1 : 0) : (a >> b);
  else if (op == "+")
    *result = static_cast<int64_t>(ua + ub);
  else if (op == "-")
    *result = static_cast<int64_t>(ua - ub);
  else if (op == "*")
    *result = static_cast<int64_t>(ua * ub);
  else if (op == "/" || op == "%") {
    if (b == 0) {
      *result = 0;
      return !evaluated;  // GCC stops at a division by zero it evaluates
    }
    if (a == INT64_MIN && b == -1)
      *result = op == "/" ? a : 0;
    else
      *result = op == "/" ? a / b : a % b;
  } else {
    return false;
  }
  return true;
}

class ConditionParser {
 public:
  ConditionParser(const std::vector<ExpressionToken>& tokens, const MacroState& macros,
                  std::set<std::string>* expanding, ExpansionBudget* budget, int depth)
      : tokens_(tokens), macros_(macros), expanding_(expanding), budget_(budget), depth_(depth) {}

  // The value of the whole token list; false when it is no complete expression.
  bool Parse(int64_t* value) {
    return !tokens_.empty() && Conditional(value) && position_ == tokens_.size();
  }

 private:
  const ExpressionToken* Peek() const {
    return position_ < tokens_.size() ? &tokens_[position_] : nullptr;
  }
  bool PeekOperator(const char* op) const {
    const ExpressionToken* token = Peek();
    return token != nullptr && token->kind == ExpressionToken::Kind::kOperator && token->text == op;
  }
  bool Expect(const char* op) {
    if (!PeekOperator(op)) return false;
    ++position_;
    return true;
  }
  // Steps over a parenthesized argument list, if one follows.
  bool SkipArguments() {
    if (!PeekOperator("(")) return false;
    int depth = 0;
    while (position_ < tokens_.size()) {
      const ExpressionToken& token = tokens_[position_++];
      if (token.kind != ExpressionToken::Kind::kOperator) continue;
      if (token.text == "(") ++depth;
      if (token.text == ")" && --depth == 0) return true;
    }
    return false;
  }

  bool Conditional(int64_t* value) {
    if (++depth_ > kMaxExpressionDepth) return false;
    int64_t condition = 0;
    if (!Binary(1, &condition)) return false;
    if (Expect("?")) {
      int64_t whenTrue = 0;
      int64_t whenFalse = 0;
      const int skipTrue = condition == 0 ? 1 : 0;
      unevaluated_ += skipTrue;
      const bool first = Conditional(&whenTrue);
      unevaluated_ += 1 - 2 * skipTrue;  // now the other operand is the skipped one
      const bool second = first && Expect(":") && Conditional(&whenFalse);
      unevaluated_ -= 1 - skipTrue;
      if (!second) return false;
      condition = condition != 0 ? whenTrue : whenFalse;
    }
    --depth_;
    *value = condition;
    return true;
  }

  bool Binary(int minPrecedence, int64_t* value) {
    int64_t left = 0;
    if (!Unary(&left)) return false;
    for (;;) {
      const ExpressionToken* token = Peek();
      if (token == nullptr || token->kind != ExpressionToken::Kind::kOperator) break;
      const std::string op = token->text;
      const int precedence = BinaryPrecedence(op);
      if (precedence == 0 || precedence < minPrecedence) break;
      ++position_;
      const bool skipped = (op == "&&" && left == 0) || (op == "||" && left != 0);
      unevaluated_ += skipped ? 1 : 0;
      int64_t right = 0;
      const bool parsed = Binary(precedence + 1, &right);
      unevaluated_ -= skipped ? 1 : 0;
      if (!parsed || !ApplyBinary(op, left, right, unevaluated_ == 0, &left)) return false;
    }
    *value = left;
    return true;
  }

  bool Unary(int64_t* value) {
    if (++depth_ > kMaxExpressionDepth) return false;
    const ExpressionToken* token = Peek();
    if (token == nullptr) return false;
    bool ok = true;
    if (token->kind == ExpressionToken::Kind::kOperator &&
        (token->text == "!" || token->text == "~" || token->text == "-" || token->text == "+")) {
      const std::string op = token->text;
      ++position_;
      int64_t operand = 0;
      ok = Unary(&operand);
      if (op == "!")
        *value = operand == 0;
      else if (op == "~")
        *value = static_cast<int64_t>(~static_cast<uint64_t>(operand));
      else if (op == "-")
        *value = static_cast<int64_t>(0 - static_cast<uint64_t>(operand));
      else
        *value = operand;
    } else {
      ok = Primary(value);
    }
    --depth_;
    return ok;
  }

  bool Primary(int64_t* value) {
    const ExpressionToken token = tokens_[position_++];
    if (token.kind == ExpressionToken::Kind::kNumber) {
      *value = token.value;
      return true;
    }
    if (token.kind == ExpressionToken::Kind::kOperator) {
      return token.text == "(" && Conditional(value) && Expect(")");
    }
    if (token.text == "defined") {
      const bool parenthesized = Expect("(");
      const ExpressionToken* name = Peek();
      if (name == nullptr || name->kind != ExpressionToken::Kind::kIdentifier) return false;
      ++position_;
      *value = (macros_.Find(name->text) != nullptr || Contains(kBuiltinTests, name->text)) ? 1 : 0;
      return !parenthesized || Expect(")");
    }
    if (Contains(kBuiltinTests, token.text)) {
      *value = 0;
      return SkipArguments();
    }
    const MacroDefinition* macro = macros_.Find(token.text);
    if (macro == nullptr || expanding_->count(token.text) != 0) {
      // An unknown name is 0; one applied to arguments is an error to GCC.
      *value = 0;
      return !PeekOperator("(");
    }
    if (macro->functionLike) {
      // Without its arguments the name is not expanded and is 0.
      *value = SkipArguments() ? 1 : 0;
      return true;
    }
    *value = 1;
    // Every expansion costs at least a byte, an empty body too.
    const size_t cost = macro->body.size() + 1;
    if (cost > budget_->left) {
      budget_->exceeded = true;
      return false;
    }
    budget_->left -= cost;
    std::vector<ExpressionToken> body;
    if (!TokenizeExpression(macro->body, &body)) return true;
    expanding_->insert(token.text);
    int64_t bodyValue = 0;
    ConditionParser inner(body, macros_, expanding_, budget_, depth_);
    if (inner.Parse(&bodyValue)) *value = bodyValue;
    expanding_->erase(token.text);
    return !budget_->exceeded;
  }

  const std::vector<ExpressionToken>& tokens_;
  const MacroState& macros_;
  std::set<std::string>* expanding_;
  ExpansionBudget* budget_;
  int depth_;
  size_t position_ = 0;
  int unevaluated_ = 0;  // > 0 inside an operand GCC does not evaluate
};

}  // namespace

// --- Languages and macros ---

SourceLanguage LanguageOfPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return SourceLanguage::kC;
  }
  const std::string extension = path.substr(dot + 1);
  if (extension == "cpp" || extension == "cc" || extension == "cxx" || extension == "c++" ||
      extension == "C") {
    return SourceLanguage::kCxx;
  }
  if (extension == "S" || extension == "sx") return SourceLanguage::kPreprocessedAssembler;
  if (extension == "s" || extension == "asm") return SourceLanguage::kAssembler;
  return SourceLanguage::kC;
}

MacroState::MacroState(const std::vector<std::string>& targetDefines) {
  static const NamedText kPredefined[] = {
      {"__GNUC__", "12"},
      {"__GNUC_MINOR__", "2"},
      {"__GNUC_PATCHLEVEL__", "1"},
      {"__STDC__", "1"},
      {"__STDC_HOSTED__", "1"},
      {"__arm__", "1"},
      {"__thumb__", "1"},
      {"__thumb2__", "1"},
      {"__ARMEL__", "1"},
      {"__ARM_EABI__", "1"},
      {"__ELF__", "1"},
      {"__ARM_ARCH", "7"},
      {"__ARM_ARCH_ISA_THUMB", "2"},
      {"__ARM_ARCH_PROFILE", "77"},
      {"__APCS_32__", "1"},
      {"__CHAR_BIT__", "8"},
      {"__CHAR_UNSIGNED__", "1"},
      {"__SIZEOF_SHORT__", "2"},
      {"__SIZEOF_INT__", "4"},
      {"__SIZEOF_LONG__", "4"},
      {"__SIZEOF_LONG_LONG__", "8"},
      {"__SIZEOF_POINTER__", "4"},
      {"__ORDER_LITTLE_ENDIAN__", "1234"},
      {"__ORDER_BIG_ENDIAN__", "4321"},
      {"__BYTE_ORDER__", "1234"},
  };
  for (const NamedText& macro : kPredefined) Define(macro.name, macro.text, false);
  SetLanguage(SourceLanguage::kC);
  for (const std::string& define : targetDefines) {
    const size_t equals = define.find('=');
    std::string name = Trim(define.substr(0, equals));
    const std::string body = equals == std::string::npos ? "1" : Trim(define.substr(equals + 1));
    const size_t paren = name.find('(');
    const bool functionLike = paren != std::string::npos;
    if (functionLike) name = name.substr(0, paren);
    if (!name.empty()) Define(name, body, functionLike);
  }
}

void MacroState::SetLanguage(SourceLanguage language) {
  Undefine("__STDC_VERSION__");
  Undefine("__cplusplus");
  Undefine("__ASSEMBLER__");
  if (language == SourceLanguage::kC) Define("__STDC_VERSION__", "201710L", false);
  if (language == SourceLanguage::kCxx) Define("__cplusplus", "201703L", false);
  if (IsAssembler(language)) Define("__ASSEMBLER__", "1", false);
}

void MacroState::Define(const std::string& name, const std::string& body, bool functionLike) {
  macros_[name] = MacroDefinition{body, functionLike};
  if (!skipped_.empty()) skipped_.erase(name);
}

void MacroState::NoteSkippedDefinition(const std::string& name, std::string where) {
  if (Find(name) == nullptr) skipped_.emplace(name, std::move(where));
}

bool MacroState::MayUseSkippedDefinition(std::string_view text) const {
  // A search per name is cheaper than the tokens of the line, as long as the names are few.
  constexpr size_t kSearchedNames = 8;
  if (skipped_.size() > kSearchedNames) return true;
  for (const auto& [name, where] : skipped_) {
    if (text.find(name) != std::string_view::npos) return true;
  }
  return false;
}

const std::string* MacroState::SkippedDefinition(const std::string& name) const {
  const auto found = skipped_.find(name);
  return found == skipped_.end() ? nullptr : &found->second;
}

void MacroState::Undefine(const std::string& name) { macros_.erase(name); }

const MacroDefinition* MacroState::Find(const std::string& name) const {
  const auto found = macros_.find(name);
  return found == macros_.end() ? nullptr : &found->second;
}

bool MacroState::EvaluateCondition(const std::string& expression, bool* beyondBound) const {
  std::vector<ExpressionToken> tokens;
  if (!TokenizeExpression(expression, &tokens)) return false;
  std::set<std::string> expanding;
  ExpansionBudget budget;
  int64_t value = 0;
  ConditionParser parser(tokens, *this, &expanding, &budget, 0);
  const bool parsed = parser.Parse(&value);
  if (beyondBound != nullptr) *beyondBound = budget.exceeded;
  return parsed && !budget.exceeded && value != 0;
}

// --- The scanner ---

ArmCodeScanner::ArmCodeScanner(MacroState* macros, SourceLanguage language)
    : macros_(macros), language_(language) {}

bool ArmCodeScanner::Active() const { return branches_.empty() || branches_.back().active; }

bool ArmCodeScanner::Active(size_t depth) const {
  return depth == 0 || branches_[depth - 1].active;
}

void ArmCodeScanner::ReportSkippedOnlyMacros(const std::string& code, size_t from,
                                             int lineNumber) {
  TokenizeCode(code, from, &tokens_);
  std::string name;
  std::string_view before = previousIdentifier_;
  for (const Token& token : tokens_) {
    if (token.kind != Token::Kind::kIdentifier) {
      before = std::string_view();
      continue;
    }
    name.assign(code, token.begin, token.end - token.begin);
    const std::string* where = macros_->SkippedDefinition(name);
    if (where != nullptr && !before.empty() && !Contains(kStatementWords, before)) {
      macros_->ForgetSkippedDefinition(name);
    } else if (where != nullptr) {
      Report(lineNumber, token.begin, name,
             "macro " + name + " is defined only in a branch GCC skips (" + *where +
                 "): GCC takes it for an unknown name; define it for GCC too");
    }
    before = TokenText(code, token);
  }
}

void ArmCodeScanner::AddLine(const std::string& line) {
  ++physicalLine_;
  if (continued_.empty()) logicalStart_ = physicalLine_;
  size_t end = line.size();
  if (end > 0 && line[end - 1] == '\r') --end;
  if (language_ != SourceLanguage::kAssembler) {
    // GCC joins a line that ends with a backslash (spaces after it too) to the next.
    size_t last = end;
    while (last > 0 && (line[last - 1] == ' ' || line[last - 1] == '\t')) --last;
    if (last > 0 && line[last - 1] == '\\') {
      continued_.append(line, 0, last - 1);
      return;
    }
  }
  if (continued_.empty()) {
    ScanLogicalLine(std::string_view(line).substr(0, end), logicalStart_);
    return;
  }
  continued_.append(line, 0, end);
  ScanLogicalLine(continued_, logicalStart_);
  continued_.clear();
}

void ArmCodeScanner::Finish() {
  if (!continued_.empty()) {
    ScanLogicalLine(continued_, logicalStart_);
    continued_.clear();
  }
  asmPending_ = false;
  retargetStage_ = RetargetStage::kNone;
  std::stable_sort(findings_.begin(), findings_.end(),
                   [](const CodeFinding& a, const CodeFinding& b) {
                     return a.line != b.line ? a.line < b.line : a.column < b.column;
                   });
}

std::vector<IncludeDirective> ArmCodeScanner::TakeIncludes() {
  std::vector<IncludeDirective> taken;
  taken.swap(includes_);
  return taken;
}

void ArmCodeScanner::UndoOwnMacros() {
  for (const auto& [name, before] : ownMacros_) {
    if (before)
      macros_->Define(name, before->body, before->functionLike);
    else
      macros_->Undefine(name);
  }
  ownMacros_.clear();
}

void ArmCodeScanner::RememberOwnMacro(const std::string& name) {
  if (ownMacros_.count(name) != 0) return;
  const MacroDefinition* before = macros_->Find(name);
  ownMacros_[name] = before ? std::optional<MacroDefinition>(*before) : std::nullopt;
}

void ArmCodeScanner::Report(int line, size_t column, std::string_view name, std::string text) {
  findings_.push_back({line, column, std::string(name), std::move(text), std::string(name)});
}

void ArmCodeScanner::ScanLogicalLine(std::string_view line, int lineNumber) {
  // Most lines hold nothing to report and nothing waits on them: they only pass their last
  // identifier on to the next line.
  const auto passesItsLastIdentifierOnly = [this](std::string_view text) {
    return !asmPending_ && retargetStage_ == RetargetStage::kNone && !MayHoldFinding(text) &&
           !(macros_->HasSkippedDefinitions() && macros_->MayUseSkippedDefinition(text));
  };
  // And most lines of C hold no comment and no literal: such a line is its own text and code,
  // and is looked at where it is.
  if (!inBlockComment_ && !IsAssembler(language_) &&
      FindAnyOf<'/', '"', '\'', '@'>(line, 0) == line.size()) {
    const size_t first = line.find_first_not_of(" \t\f\v");
    if (first == std::string_view::npos) return;
    if (line[first] != '#') {
      if (!Active()) return;
      if (passesItsLastIdentifierOnly(line)) {
        KeepLastIdentifier(line, first);
        return;
      }
    }
  }
  // The buffers of the scanner keep their room from line to line.
  std::string& text = text_;
  std::string& code = code_;
  CleanLine(line, language_, &inBlockComment_, &text, &code);
  const size_t first = code.find_first_not_of(" \t\f\v");
  if (first == std::string::npos) return;
  if (code[first] == '#' && language_ != SourceLanguage::kAssembler) {
    previousIdentifier_.clear();
    previousPunctuator_ = '\0';
    HandleDirective(text, code, first + 1, lineNumber);
    return;
  }
  if (!Active()) return;
  if (macros_->HasSkippedDefinitions() && macros_->MayUseSkippedDefinition(code)) {
    ReportSkippedOnlyMacros(code, first, lineNumber);
  }
  if (passesItsLastIdentifierOnly(text)) {
    KeepLastIdentifier(code, first);
    return;
  }
  ScanCode(text, code, first, lineNumber, false);
}

void ArmCodeScanner::KeepLastIdentifier(std::string_view code, size_t from) {
  size_t end = code.size();
  while (end > from && IsSpace(code[end - 1])) --end;
  if (end == from || !IsIdentifierChar(code[end - 1])) {
    previousIdentifier_.clear();
    const char last = end == from ? '\0' : code[end - 1];
    previousPunctuator_ = (last == '"' || last == '\'') ? '\0' : last;
    return;
  }
  previousPunctuator_ = '\0';
  // Back to where the last token may begin: a number such as 1.5e+3f runs through ".", "'" and an
  // exponent's sign, and only the tokens from there tell whether the line ends with a name.
  size_t start = end;
  while (start > from) {
    const char c = code[start - 1];
    const bool sign = (c == '+' || c == '-') && start - 1 > from &&
                      std::strchr("eEpP", code[start - 2]) != nullptr;
    if (!IsIdentifierChar(c) && c != '.' && c != '\'' && !sign) break;
    --start;
  }
  TokenizeCode(code, start, &tokens_);
  const Token& last = tokens_.back();
  if (last.kind == Token::Kind::kIdentifier) {
    previousIdentifier_.assign(code, last.begin, last.end - last.begin);
  } else {
    previousIdentifier_.clear();
  }
}

void ArmCodeScanner::HandleDirective(const std::string& text, const std::string& code, size_t from,
                                     int lineNumber) {
  size_t begin = from;
  while (begin < code.size() && IsSpace(code[begin])) ++begin;
  size_t end = begin;
  while (end < code.size() && IsIdentifierChar(code[end])) ++end;
  const std::string directive = code.substr(begin, end - begin);
  const std::string rest = text.substr(end);
  auto firstName = [&]() {
    const std::vector<Token> tokens = TokenizeCode(code, end);
    if (tokens.empty() || tokens[0].kind != Token::Kind::kIdentifier) return std::string();
    return std::string(TokenText(code, tokens[0]));
  };

  if (directive == "if" || directive == "ifdef" || directive == "ifndef") {
    const bool parentActive = Active();
    bool condition = false;
    if (parentActive) {
      if (directive == "if")
        condition = EvaluateCondition(directive, rest, lineNumber, begin);
      else
        condition = (macros_->Find(firstName()) != nullptr) == (directive == "ifdef");
    }
    // Inside a skipped branch the whole chain counts as taken, so none of its branches is.
    branches_.push_back({!parentActive || condition, parentActive && condition,
                         NamesArmCompiler(rest)});
    return;
  }
  if (directive == "elif" || directive == "elifdef" || directive == "elifndef") {
    if (branches_.empty()) return;
    Branch& branch = branches_.back();
    if (branch.taken) {
      branch.active = false;
      return;
    }
    bool condition = false;
    if (directive == "elif")
      condition = EvaluateCondition(directive, rest, lineNumber, begin);
    else
      condition = (macros_->Find(firstName()) != nullptr) == (directive == "elifdef");
    branch.active = condition;
    branch.forArmCompiler = NamesArmCompiler(rest);
    branch.taken = condition;
    return;
  }
  if (directive == "else") {
    if (branches_.empty()) return;
    branches_.back().forArmCompiler = false;
    branches_.back().active = !branches_.back().taken;
    branches_.back().taken = true;
    return;
  }
  if (directive == "endif") {
    if (!branches_.empty()) branches_.pop_back();
    return;
  }
  if (!Active()) {
    if (directive == "define" && branches_.back().forArmCompiler &&
        Active(branches_.size() - 1)) {
      // Defined for ARM Compiler only; GCC's code may use it all the same.
      const std::string name = firstName();
      if (!name.empty() && !Contains(kLanguageNames, name)) {
        macros_->NoteSkippedDefinition(name, shownPath_ + ":" + std::to_string(lineNumber));
      }
    }
    return;
  }

  if (directive == "define") {
    size_t nameBegin = end;
    while (nameBegin < code.size() && IsSpace(code[nameBegin])) ++nameBegin;
    size_t nameEnd = nameBegin;
    while (nameEnd < code.size() && IsIdentifierChar(code[nameEnd])) ++nameEnd;
    if (nameEnd == nameBegin) return;
    const std::string name = code.substr(nameBegin, nameEnd - nameBegin);
    size_t bodyBegin = nameEnd;
    const bool functionLike = nameEnd < code.size() && code[nameEnd] == '(';
    if (functionLike) {
      const size_t close = code.find(')', nameEnd);
      bodyBegin = close == std::string::npos ? code.size() : close + 1;
    }
    RememberOwnMacro(name);
    macros_->Define(name, Trim(text.substr(bodyBegin)), functionLike);
    definedNames_.insert(name);
    // The body is what the macro's users compile.
    ScanCode(text, code, bodyBegin, lineNumber, true);
    return;
  }
  if (directive == "undef") {
    const std::string name = firstName();
    if (name.empty()) return;
    RememberOwnMacro(name);
    macros_->Undefine(name);
    return;
  }
  if (directive == "include") {
    const size_t open = text.find_first_not_of(" \t", end);
    if (open == std::string::npos || (text[open] != '"' && text[open] != '<')) return;
    const char closeChar = text[open] == '"' ? '"' : '>';
    const size_t close = text.find(closeChar, open + 1);
    if (close == std::string::npos || close == open + 1) return;
    includes_.push_back({lineNumber, text.substr(open + 1, close - open - 1), closeChar == '>'});
    return;
  }
  if (directive == "pragma") HandlePragma(code, end, lineNumber);
}

bool ArmCodeScanner::EvaluateCondition(const std::string& directive,
                                       const std::string& expression, int lineNumber,
                                       size_t column) {
  bool beyondBound = false;
  const bool condition = macros_->EvaluateCondition(expression, &beyondBound);
  if (beyondBound) Report(lineNumber, column, "", "#" + directive + kExpansionBoundSuffix);
  return condition;
}

void ArmCodeScanner::HandlePragma(const std::string& code, size_t from, int lineNumber) {
  const std::vector<Token> tokens = TokenizeCode(code, from);
  if (tokens.empty() || tokens[0].kind != Token::Kind::kIdentifier) return;
  const std::string_view word = TokenText(code, tokens[0]);
  const size_t column = tokens[0].begin;
  if (word == "anon_unions" || word == "no_anon_unions") {
    Report(lineNumber, column, "", kAnonUnionsText);
  } else if (word == "arm" && tokens.size() > 1 && TokenText(code, tokens[1]) == "section") {
    Report(lineNumber, column, "", kArmSectionText);
  } else if (word == "import") {
    Report(lineNumber, column, "", kImportPragmaText);
    findings_.back().port = kImportPragmaKey;
  } else {
    for (const NamedText& pragma : kOptimizePragmas) {
      if (word == pragma.name) Report(lineNumber, column, "", pragma.text);
    }
  }
}

void ArmCodeScanner::ScanCode(const std::string& text, const std::string& code, size_t from,
                              int lineNumber, bool inDefine) {
  std::vector<Token>& tokens = tokens_;
  TokenizeCode(code, from, &tokens);
  bool sawRegister = false;
  // Filled at the line's first __attribute__.
  std::vector<char> holdsAt;
  // The identifier before the current token, kept as a view while the line lasts.
  std::string_view previous = previousIdentifier_;
  // The token before the current one, for the uses of keywords and intrinsics: an identifier or a
  // punctuator, also inside a #define's body.
  std::string_view before = inDefine ? std::string_view() : std::string_view(previousIdentifier_);
  char punctuatorBefore = inDefine ? '\0' : previousPunctuator_;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    const Token* next = i + 1 < tokens.size() ? &tokens[i + 1] : nullptr;
    if (!inDefine) {
      if (asmPending_) {
        if (IsPunctuator(code, &token, '{')) Report(asmLine_, asmColumn_, "", kInlineAsmText);
        asmPending_ = false;
      }
      if (retargetStage_ != RetargetStage::kNone) {
        const char c = code[token.begin];
        const bool structural =
            token.kind == Token::Kind::kPunctuator && (c == '(' || c == ')' || c == '{');
        AdvanceRetarget(structural ? c : '\0', lineNumber);
      }
    }
    if (token.kind == Token::Kind::kString &&
        TokenText(text, token).find(".ARM.__at_") != std::string_view::npos) {
      Report(lineNumber, token.begin, "", kAtSectionText);
    }
    if (token.kind != Token::Kind::kIdentifier) {
      if (!inDefine) previous = std::string_view();
      before = std::string_view();
      punctuatorBefore = token.kind == Token::Kind::kPunctuator ? code[token.begin] : '\0';
      continue;
    }
    const std::string_view name = TokenText(code, token);
    // Every name looked for below begins with one of a few letters; most identifiers end here.
    if ((ClassOf(name[0]) & kFindingStart) == 0) {
      if (!inDefine) previous = name;
      before = name;
      punctuatorBefore = '\0';
      continue;
    }
    const bool called = IsPunctuator(code, next, '(');
    if (name == "register") sawRegister = true;

    if (name == "__asm" || name == "__ASM") {
      if (next == nullptr) {
        if (!inDefine) {
          asmPending_ = true;
          asmLine_ = lineNumber;
          asmColumn_ = token.begin;
        }
      } else if (const char* finding = AsmFinding(text, code, tokens, i, sawRegister)) {
        Report(lineNumber, token.begin, "", finding);
      }
    } else if (name == "__attribute__" || name == "__attribute") {
      if (holdsAt.empty()) MarkAtAttributeLists(code, tokens, &holdsAt);
      if (HasAtAttribute(code, tokens, i, holdsAt)) {
        Report(lineNumber, token.begin, "", kAtAttributeText);
      }
    } else if (name == "__FILE" && previous == "struct") {
      Report(lineNumber, token.begin, name, kFileStructText);
    } else if ((name[0] == 'I' || name[0] == 'L') &&
               (StartsWith(name, "Image$$") || StartsWith(name, "Load$$"))) {
      Report(lineNumber, token.begin, name,
             kRegionSymbolPrefix + std::string(name) + kRegionSymbolSuffix);
    } else if (name[0] == '$' && (StartsWith(name, "$Sub$$") || StartsWith(name, "$Super$$"))) {
      Report(lineNumber, token.begin, name,
             kPatchSymbolPrefix + std::string(name) + kPatchSymbolSuffix);
    } else if (const NamedFinding* named = FindNamedFinding(name)) {
      if (named->keyword != nullptr || named->intrinsic != nullptr) {
        ConstructUse& use = uses_.emplace_back();
        use.line = lineNumber;
        use.name = name;
        use.previous = before.empty() && punctuatorBefore != '\0' ? std::string(1, punctuatorBefore)
                                                                   : std::string(before);
        use.called = called;
      }
      const Keyword* keyword = named->keyword;
      if (keyword != nullptr && (called || !keyword->takesArguments)) {
        Report(lineNumber, token.begin, name, keyword->text);
      }
      if (named->intrinsic != nullptr && called) {
        Report(lineNumber, token.begin, name, named->intrinsic->text);
      }
      const RetargetHook* hook = named->hook;
      if (hook != nullptr && !hook->definitionOnly) {
        Report(lineNumber, token.begin, name, hook->text);
      }
    }
    if (!inDefine && (name[0] == '_' || name[0] == 'f') && !previous.empty() &&
        Contains(kWatchedDefinitions, name) && !Contains(kStatementWords, previous)) {
      // A type name before it: a declaration or a definition, told apart by what follows the
      // parameters.
      retargetStage_ = RetargetStage::kParameters;
      retargetName_ = name;
      retargetLine_ = lineNumber;
      retargetColumn_ = token.begin;
      retargetDepth_ = 0;
    }
    if (!inDefine) previous = name;
    before = name;
    punctuatorBefore = '\0';
  }
  if (!inDefine && previous.data() != previousIdentifier_.data()) {
    previousIdentifier_.assign(previous.data(), previous.size());
  }
  if (!inDefine) previousPunctuator_ = before.empty() ? punctuatorBefore : '\0';
}

void ArmCodeScanner::AdvanceRetarget(char punctuator, int lineNumber) {
  if (retargetStage_ == RetargetStage::kNone) return;
  if (lineNumber - retargetLine_ > kRetargetLineSpan) {
    retargetStage_ = RetargetStage::kNone;
    return;
  }
  if (retargetStage_ == RetargetStage::kParameters) {
    if (punctuator == '(') {
      ++retargetDepth_;
    } else if (punctuator == ')') {
      if (--retargetDepth_ == 0) retargetStage_ = RetargetStage::kBody;
    } else if (retargetDepth_ == 0) {
      retargetStage_ = RetargetStage::kNone;  // no parameter list after the name
    }
    return;
  }
  if (punctuator == '{') {
    definedFunctions_.insert(retargetName_);
    for (const RetargetHook& hook : kRetargetHooks) {
      if (retargetName_ == hook.name && hook.definitionOnly) {
        Report(retargetLine_, retargetColumn_, retargetName_, hook.text);
      }
    }
  }
  retargetStage_ = RetargetStage::kNone;
}

std::vector<CodeFinding> SelectReportedFindings(std::vector<CodeFinding> findings,
                                                const std::set<std::string>& macroNames,
                                                const std::set<std::string>& ported) {
  std::stable_sort(findings.begin(), findings.end(),
                   [](const CodeFinding& a, const CodeFinding& b) {
                     return a.line != b.line ? a.line < b.line : a.column < b.column;
                   });
  std::vector<CodeFinding> reported;
  for (CodeFinding& finding : findings) {
    if (!finding.name.empty() && macroNames.count(finding.name) != 0) continue;
    if (!finding.port.empty() && ported.count(finding.port) != 0) continue;
    if (!reported.empty() && reported.back().line == finding.line) continue;
    reported.push_back(std::move(finding));
  }
  return reported;
}

bool IsArmSyntaxAssemblerLine(const std::string& line, bool* inBlockComment) {
  static const char* const kArmDirectives[] = {"area", "export", "import", "preserve8", "require8"};
  std::string visible;
  size_t i = 0;
  while (i < line.size()) {
    if (*inBlockComment) {
      const size_t close = line.find("*/", i);
      if (close == std::string::npos) break;
      *inBlockComment = false;
      visible += ' ';
      i = close + 2;
      continue;
    }
    if (line[i] == ';') break;
    if (line.compare(i, 2, "/*") == 0) {
      *inBlockComment = true;
      i += 2;
      continue;
    }
    visible += line[i++];
  }
  size_t begin = 0;
  while (begin < visible.size() && IsSpace(visible[begin])) ++begin;
  size_t end = begin;
  while (end < visible.size() && IsIdentifierChar(visible[end])) ++end;
  if (end == begin || (end < visible.size() && !IsSpace(visible[end]))) return false;
  std::string word = visible.substr(begin, end - begin);
  std::transform(word.begin(), word.end(), word.begin(), LowerAscii);
  return Contains(kArmDirectives, word);
}
