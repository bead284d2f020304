// The table of what the check reports and notes: the look-ups over it.
#include "check/finding_table.h"

#include <cctype>
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

