// The ARM Compiler constructs that GCC can be given exactly, by a definition in the compatibility
// header the project forces into every C and C++ compile: one row per construct.
#include "check/port_table.h"

#include <unordered_map>

namespace {

// The helpers are named __qm26_port_...: only names reserved to the implementation are safe from
// a clash with the code of a target.
#define QM26_INLINE "static __inline__ __attribute__((always_inline)) "

// The test of the run that proves every row: the fixture uses each construct, the converted
// project is built as the IDE builds it and run under QEMU, and the lines it prints are checked.
constexpr char kRunTest[] = "tests/e2e/port_run_test.cpp (PortRunTest.PortedFixtureRunsUnderQemu)";

// An intrinsic without arguments that is one instruction.
#define QM26_INSTRUCTION(name, instruction)                                              \
  "#define " name "() __qm26_port_" instruction "()\n" QM26_INLINE "void __qm26_port_"      \
  instruction "(void) { __asm__ volatile (\"" instruction "\"); }\n"

// A barrier with its option as ARM Compiler takes it (15 for SY); a compiler barrier too.
#define QM26_BARRIER(name, instruction)                                                   \
  "#define " name "(option) (__extension__ ({ __asm__ volatile (\"" instruction           \
  " %0\" : : \"i\" (option) : \"memory\"); }))\n"

}  // namespace

const std::vector<PortRow>& PortRows() {
  static const std::vector<PortRow> kRows = {
      {"__align", AcceptedUses::kCalled, "#define __align(n) __attribute__((aligned(n)))\n",
       kRunTest},
      // GCC lays the structure out packed only when the attribute follows struct or union, or
      // the closing brace; before the keyword it warns and ignores it.
      {"__packed", AcceptedUses::kAfterStructOrBrace, "#define __packed __attribute__((packed))\n",
       "tests/unit/gcc_port_test.cpp (GccPortTest.PackedIsPortedOnlyAfterStructOrBrace)"},
      {"__weak", AcceptedUses::kAnywhere, "#define __weak __attribute__((weak))\n", kRunTest},
      // ARM Compiler gives a function it always inlines an out-of-line copy for other files, as
      // GNU C's inline does; a header's non-static one would give every file its own copy.
      {"__forceinline", AcceptedUses::kStaticOrInSource,
       "#ifdef __cplusplus\n"
       "#define __forceinline inline __attribute__((always_inline))\n"
       "#else\n"
       "#define __forceinline __inline__ __attribute__((always_inline, gnu_inline))\n"
       "#endif\n",
       kRunTest},
      // A Cortex-M saves the registers of an interrupt itself: a handler is a plain function.
      {"__irq", AcceptedUses::kAnywhere, "#define __irq\n", kRunTest},
      {"__nop", AcceptedUses::kCallNotDeclaration, QM26_INSTRUCTION("__nop", "nop"), kRunTest},
      {"__wfi", AcceptedUses::kCallNotDeclaration, QM26_INSTRUCTION("__wfi", "wfi"), kRunTest},
      {"__wfe", AcceptedUses::kCallNotDeclaration, QM26_INSTRUCTION("__wfe", "wfe"), kRunTest},
      {"__sev", AcceptedUses::kCallNotDeclaration, QM26_INSTRUCTION("__sev", "sev"), kRunTest},
      {"__isb", AcceptedUses::kCallNotDeclaration, QM26_BARRIER("__isb", "isb"), kRunTest},
      {"__dsb", AcceptedUses::kCallNotDeclaration, QM26_BARRIER("__dsb", "dsb"), kRunTest},
      {"__dmb", AcceptedUses::kCallNotDeclaration, QM26_BARRIER("__dmb", "dmb"), kRunTest},
      // CLZ gives 32 for 0, where __builtin_clz is undefined.
      {"__clz", AcceptedUses::kCallNotDeclaration,
       "#define __clz(x) __qm26_port_clz(x)\n" QM26_INLINE
       "unsigned char __qm26_port_clz(unsigned int x) { return x == 0u ? 32u : (unsigned "
       "char)__builtin_clz(x); }\n",
       kRunTest},
      {"__rev", AcceptedUses::kCallNotDeclaration,
       "#define __rev(x) __qm26_port_rev(x)\n" QM26_INLINE
       "unsigned int __qm26_port_rev(unsigned int x) { return __builtin_bswap32(x); }\n",
       kRunTest},
      // The access width comes from the pointer's type, as ARM Compiler takes it.
      {"__ldrex", AcceptedUses::kCallNotDeclaration,
       "#define __ldrex(p) (sizeof(*(p)) == 1u ? __qm26_port_ldrexb((volatile void *)(p)) : "
       "sizeof(*(p)) == 2u ? __qm26_port_ldrexh((volatile void *)(p)) : "
       "__qm26_port_ldrex((volatile void *)(p)))\n" QM26_INLINE
       "unsigned int __qm26_port_ldrexb(volatile void *p) { unsigned int v; __asm__ volatile "
       "(\"ldrexb %0, %1\" : \"=r\" (v) : \"Q\" (*(volatile unsigned char *)p) : \"memory\"); "
       "return v; }\n" QM26_INLINE
       "unsigned int __qm26_port_ldrexh(volatile void *p) { unsigned int v; __asm__ volatile "
       "(\"ldrexh %0, %1\" : \"=r\" (v) : \"Q\" (*(volatile unsigned short *)p) : \"memory\"); "
       "return v; }\n" QM26_INLINE
       "unsigned int __qm26_port_ldrex(volatile void *p) { unsigned int v; __asm__ volatile "
       "(\"ldrex %0, %1\" : \"=r\" (v) : \"Q\" (*(volatile unsigned int *)p) : \"memory\"); "
       "return v; }\n",
       kRunTest},
      // 0 when the store took place, 1 when the exclusive access was lost.
      {"__strex", AcceptedUses::kCallNotDeclaration,
       "#define __strex(v, p) (sizeof(*(p)) == 1u ? __qm26_port_strexb((unsigned int)(v), "
       "(volatile void *)(p)) : sizeof(*(p)) == 2u ? __qm26_port_strexh((unsigned int)(v), "
       "(volatile void *)(p)) : __qm26_port_strex((unsigned int)(v), (volatile void *)(p)))\n"
       QM26_INLINE
       "int __qm26_port_strexb(unsigned int v, volatile void *p) { int failed; __asm__ volatile "
       "(\"strexb %0, %2, %1\" : \"=&r\" (failed), \"=Q\" (*(volatile unsigned char *)p) : \"r\" "
       "(v) : \"memory\"); return failed; }\n" QM26_INLINE
       "int __qm26_port_strexh(unsigned int v, volatile void *p) { int failed; __asm__ volatile "
       "(\"strexh %0, %2, %1\" : \"=&r\" (failed), \"=Q\" (*(volatile unsigned short *)p) : \"r\" "
       "(v) : \"memory\"); return failed; }\n" QM26_INLINE
       "int __qm26_port_strex(unsigned int v, volatile void *p) { int failed; __asm__ volatile "
       "(\"strex %0, %2, %1\" : \"=&r\" (failed), \"=Q\" (*(volatile unsigned int *)p) : \"r\" "
       "(v) : \"memory\"); return failed; }\n",
       kRunTest},
  };
  return kRows;
}

const PortRow* FindPortRow(std::string_view name) {
  static const std::unordered_map<std::string_view, const PortRow*> kByName = [] {
    std::unordered_map<std::string_view, const PortRow*> rows;
    for (const PortRow& row : PortRows()) rows[row.name] = &row;
    return rows;
  }();
  const auto found = kByName.find(name);
  return found == kByName.end() ? nullptr : found->second;
}

bool AcceptsUse(const PortRow& row, const UseContext& context) {
  // Words that may stand before a call where no declaration can.
  static const char* const kStatementWords[] = {"return", "else", "do", "case", "goto", "sizeof"};
  switch (row.accepts) {
    case AcceptedUses::kAnywhere:
      return true;
    case AcceptedUses::kCalled:
      return context.called;
    case AcceptedUses::kAfterStructOrBrace:
      return context.previous == "struct" || context.previous == "union" ||
             context.previous == "}";
    case AcceptedUses::kStaticOrInSource:
      return context.previous == "static" || !context.inHeader;
    case AcceptedUses::kCallNotDeclaration: {
      if (!context.called) return false;
      const std::string& before = context.previous;
      // A type name before the name declares or defines a function of the code's own.
      const char first = before.empty() ? '\0' : before[0];
      const bool identifier =
          first == '_' || (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
      if (!identifier) return true;
      for (const char* word : kStatementWords) {
        if (before == word) return true;
      }
      return false;
    }
  }
  return false;
}
