// The table of what the check reports and notes: the texts of its findings, the ARM Compiler
// keywords, intrinsics and C library hooks it knows, and the names it passes over. Adding a
// construct is adding a row here and a case to its test.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr char kEmbeddedAsmText[] =
    "ARM Compiler embedded assembler: GCC rejects it; rewrite with GNU inline asm (__asm volatile)";
inline constexpr char kInlineAsmText[] =
    "ARM Compiler inline assembler block: GCC rejects it; rewrite with GNU inline asm "
    "(__asm volatile)";
inline constexpr char kRegisterAsmText[] =
    "ARM Compiler named register variable: GCC rejects it; use the CMSIS __get_/__set_ functions";
inline constexpr char kAtAttributeText[] =
    "ARM Compiler placement at(): GCC ignores it and places the object anywhere; place it with a "
    "section of the linker script";
inline constexpr char kAtSectionText[] =
    "ARM linker section .ARM.__at_: GNU ld does not place it at that address; place it with a "
    "section of the linker script";
inline constexpr char kFileStructText[] =
    "ARM C library struct __FILE: newlib does not use it; drop it and retarget through _write and "
    "_read";
inline constexpr char kImportPragmaText[] =
    "ARM C library #pragma import: GCC ignores it; drop it and link with --specs=nosys.specs";
inline constexpr char kAnonUnionsText[] =
    "ARM Compiler #pragma anon_unions: GCC ignores it and takes anonymous unions in C11 as they "
    "are; drop it";
inline constexpr char kArmSectionText[] =
    "ARM Compiler #pragma arm section: GCC ignores it; write __attribute__((section(\"name\")))";
inline constexpr char kRegionSymbolPrefix[] = "ARM linker symbol ";
inline constexpr char kRegionSymbolSuffix[] =
    ": GNU ld does not define it; use a symbol defined in the linker script";
inline constexpr char kPatchSymbolPrefix[] = "ARM linker patch ";
inline constexpr char kPatchSymbolSuffix[] =
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
inline constexpr Keyword kKeywords[] = {
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
inline constexpr NamedText kIntrinsics[] = {
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
inline constexpr RetargetHook kRetargetHooks[] = {
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

inline constexpr NamedText kOptimizePragmas[] = {
    {"O0", "ARM Compiler #pragma O0: GCC ignores it; write #pragma GCC optimize (\"O0\")"},
    {"O1", "ARM Compiler #pragma O1: GCC ignores it; write #pragma GCC optimize (\"O1\")"},
    {"O2", "ARM Compiler #pragma O2: GCC ignores it; write #pragma GCC optimize (\"O2\")"},
    {"O3", "ARM Compiler #pragma O3: GCC ignores it; write #pragma GCC optimize (\"O3\")"},
    {"Otime", "ARM Compiler #pragma Otime: GCC ignores it; write #pragma GCC optimize (\"O2\")"},
    {"Ospace", "ARM Compiler #pragma Ospace: GCC ignores it; write #pragma GCC optimize (\"Os\")"},
};

// What may follow __asm in GNU inline assembler.
inline constexpr const char* kGnuAsmQualifiers[] = {"volatile", "__volatile__", "__volatile", "inline",
                                             "__inline", "__inline__",   "goto"};

// The special registers of a Cortex-M that ARM Compiler binds register variables to and GCC has
// no name for.
inline constexpr const char* kSystemRegisters[] = {
    "apsr",        "cpsr",      "spsr",    "ipsr",   "epsr",  "iapsr",   "eapsr",
    "iepsr",       "xpsr",      "psr",     "msp",    "psp",   "primask", "basepri",
    "basepri_max", "faultmask", "control", "msplim", "psplim"};

// The functions whose definitions the check notes, for the bridge from newlib's system calls to
// the ARM C library's hooks: the hooks themselves and the system calls a target may have already.
inline constexpr const char* kWatchedDefinitions[] = {"fputc", "fgetc",  "_sys_exit", "_write",
                                               "_read", "_exit", "_isatty"};

// Names that an ARM Compiler branch may define as macros and that GCC knows without them: keywords
// and the C library's own macros.
inline constexpr const char* kLanguageNames[] = {
    "inline",    "restrict",   "asm",       "bool",          "true",          "false",
    "alignas",   "alignof",    "noreturn",  "static_assert", "thread_local",  "typeof",
    "__inline",  "__inline__", "__asm",     "__asm__",       "__restrict",    "__restrict__",
    "__attribute__", "__attribute", "__volatile__", "NULL", "offsetof", "EOF"};

// Words that, before a retargeting hook's name, show a call rather than a definition.
inline constexpr const char* kStatementWords[] = {"return", "else", "do", "case", "goto", "sizeof"};

// The entries of the tables above that an identifier of code may be; every name in them begins
// with "_" or "f", so other identifiers are passed over at once.
struct NamedFinding {
  const Keyword* keyword = nullptr;
  const NamedText* intrinsic = nullptr;
  const RetargetHook* hook = nullptr;
};

inline constexpr char kExpansionBoundSuffix[] =
    " expands more than 64 KiB of macros: the check cannot tell whether GCC takes this branch "
    "and skips it; check the branch by hand";

// A definition's parameters and body must follow its name within this many lines.
inline constexpr int kRetargetLineSpan = 8;

// Whether an #if or #elif condition names ARM Compiler 5 or 6.
bool NamesArmCompiler(const std::string& condition);

/// The keyword, intrinsic or retargeting hook `name` is, or nullptr.
const NamedFinding* FindNamedFinding(std::string_view name);

// Whether a line (less its comments) may hold anything ScanCode reports or notes: every name of
// the tables above and every symbol it looks for holds "__" or "$$", or begins a retargeting hook
// or a system call without them ("fputc", "fgetc", "_sys_", "_ttywrch", "_write", "_read",
// "_exit", "_isatty"). A line without any of these is passed over.
bool MayHoldFinding(std::string_view text);
