// The table of what the check reports and notes: the look-ups over it.
#include "check/finding_table.h"

#include <cstring>
#include <unordered_map>

#include "check/code_text.h"

// Whether an #if or #elif condition names ARM Compiler 5 or 6.
bool NamesArmCompiler(const std::string& condition) {
  return condition.find("__CC_ARM") != std::string::npos ||
         condition.find("__ARMCC_VERSION") != std::string::npos;
}

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

// Whether a line (less its comments) may hold anything ScanCode reports or notes: every name of
// the tables above and every symbol it looks for holds "__" or "$$", or begins a retargeting hook
// or a system call without them ("fputc", "fgetc", "_sys_", "_ttywrch", "_write", "_read",
// "_exit", "_isatty"). A line without any of these is passed over.
namespace {

// Bit i set where byte i of the 16 at `bytes` (which has 18 readable) and the one or two after it
// begin "__", "$$", "fp", "fg", "_s", "_tt", "_w", "_r", "_e" or "_i".
uint32_t PairMask(const char* bytes) {
  Bytes16 b0;
  Bytes16 b1;
  Bytes16 b2;
  std::memcpy(&b0, bytes, sizeof b0);
  std::memcpy(&b1, bytes + 1, sizeof b1);
  std::memcpy(&b2, bytes + 2, sizeof b2);
  const auto is = [](const Bytes16& block, char c) {
    return block == static_cast<unsigned char>(c);
  };
  const auto afterUnderscore = is(b1, '_') | is(b1, 's') | (is(b1, 't') & is(b2, 't')) |
                               is(b1, 'w') | is(b1, 'r') | is(b1, 'e') | is(b1, 'i');
  return MaskOf((is(b0, '_') & afterUnderscore) | (is(b0, '$') & is(b1, '$')) |
                (is(b0, 'f') & (is(b1, 'p') | is(b1, 'g'))));
}

}  // namespace

bool MayHoldFinding(std::string_view text) {
  // `rest` begins with `word`, whose first byte is known to match: the next two are compared
  // before the rest, so that uint32_t's "_t" costs no call.
  const auto begins = [](std::string_view rest, std::string_view word) {
    return rest.size() >= word.size() && rest[1] == word[1] && rest[2] == word[2] &&
           std::memcmp(rest.data() + 3, word.data() + 3, word.size() - 3) == 0;
  };
  const size_t size = text.size();
  for (size_t i = 0; i < size; i += 16) {
    // Where the two bytes after a block can be read, the block's candidates are only those whose
    // next bytes fit too; uint32_t's "_t" and a name's "_f" go no further.
    uint32_t mask = size - i >= 18 ? PairMask(text.data() + i) : MatchMask<'_', '$', 'f'>(text, i);
    // Each candidate is told by the byte after its first before any comparison.
    for (; mask != 0; mask &= mask - 1) {
      const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
      if (at + 1 >= size) return false;
      const std::string_view rest = text.substr(at);
      if (rest[0] == '$') {
        if (rest[1] == '$') return true;
        continue;
      }
      if (rest[0] == 'f') {
        if ((rest[1] == 'p' && begins(rest, "fputc")) || (rest[1] == 'g' && begins(rest, "fgetc"))) {
          return true;
        }
        continue;
      }
      switch (rest[1]) {
        case '_':
          return true;
        case 's':
          if (begins(rest, "_sys_")) return true;
          continue;
        case 't':
          if (begins(rest, "_ttywrch")) return true;
          continue;
        case 'w':
        case 'r':
        case 'e':
        case 'i':
          break;
        default:
          continue;
      }
      // The system calls only as whole names: "uart_read" is not one.
      if (at > 0 && IsIdentifierChar(text[at - 1])) continue;
      if (begins(rest, "_write") || begins(rest, "_read") || begins(rest, "_exit") ||
          begins(rest, "_isatty")) {
        return true;
      }
    }
  }
  return false;
}
