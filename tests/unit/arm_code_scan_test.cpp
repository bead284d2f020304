// Tests of the ARM Compiler code scan on text: what GCC takes, what it skips, what is reported.
#include "check/arm_code_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "check/finding_table.h"

namespace {

// Scans `files` in order with one macro state, as a run does, and returns what is reported, as
// "<file index>:<line>: <text>"; a name that any file defines as a macro is reported nowhere.
std::vector<std::string> ScanTexts(const std::vector<std::string>& files,
                                   const std::vector<std::string>& defines) {
  MacroState macros(defines);
  std::set<std::string> macroNames;
  std::vector<std::vector<CodeFinding>> found;
  for (const std::string& file : files) {
    ArmCodeScanner scanner(&macros, SourceLanguage::kC);
    std::istringstream in(file);
    std::string line;
    while (std::getline(in, line)) scanner.AddLine(line);
    scanner.Finish();
    found.push_back(scanner.findings());
    macroNames.insert(scanner.definedNames().begin(), scanner.definedNames().end());
  }
  std::vector<std::string> reported;
  for (size_t file = 0; file < found.size(); ++file) {
    for (const CodeFinding& finding : SelectReportedFindings(found[file], macroNames)) {
      reported.push_back(std::to_string(file) + ":" + std::to_string(finding.line) + ": " +
                         finding.text);
    }
  }
  return reported;
}

const std::string kPacked =
    "ARM Compiler keyword __packed: GCC rejects it, and ignores __attribute__((packed)) before "
    "struct; write struct __attribute__((packed)) (typedef struct __attribute__((packed)) {...})";
const std::string kForceinline =
    "ARM Compiler keyword __forceinline: GCC rejects it; write inline "
    "__attribute__((always_inline))";
const std::string kInlineAsm =
    "ARM Compiler inline assembler block: GCC rejects it; rewrite with GNU inline asm "
    "(__asm volatile)";

std::string Intrinsic(const std::string& name, const std::string& cmsis) {
  return "ARM Compiler intrinsic " + name + ": GCC does not know it; use CMSIS " + cmsis;
}

// `levels` macros after M0, each the one before twice: M<n> expands 2^n names.
std::string DoublingMacros(int levels) {
  std::string text = "#define M0 1\n";
  for (int i = 1; i <= levels; ++i) {
    text += "#define M" + std::to_string(i) + " (M" + std::to_string(i - 1) + " + M" +
            std::to_string(i - 1) + ")\n";
  }
  return text;
}

TEST(ArmCodeScanTest, ReportsWhatGccCompilesOncePerLine) {
  struct Case {
    const char* what;
    std::vector<std::string> files;
    std::vector<std::string> defines;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"comments, literals and #if 0 are no code",
       {"// __nop();\n"
        "/* __packed\n"
        "   __irq */ int a;\n"
        "const char *s = \"__weak __asm { } \\\" __nop()\";\n"
        "char c = '\"'; char d = '\\''; int e = __NOP_COUNT;\n"
        "// a comment goes on \\\n"
        "__forceinline void f(void);\n"
        "#if 0\n"
        "__align(8) int b;\n"
        "#if 1\n"
        "__nop();\n"
        "#endif\n"
        "#else\n"
        "int g;\n"
        "#endif\n"},
       {},
       {}},
      {"a continued line is one line, reported at its first",
       {"typedef __pa\\\n"
        "cked struct { int a; } T;\n"
        "int x; __nop();\r\n"},
       {},
       {"0:1: " + kPacked, "0:3: " + Intrinsic("__nop", "__NOP()")}},
      {"only the branch GCC takes is scanned",
       {"#if defined(__CC_ARM)\n"
        "__asm void Reset(void) { bx lr }\n"
        "#elif defined(__GNUC__) && (__GNUC__ >= 5)\n"
        "__asm volatile (\"cpsid i\" ::: \"memory\");\n"
        "__ASM volatile (\"nop\");\n"
        "__asm__ __volatile__ (\"wfi\");\n"
        "__NOP(); __WFI(); x = __CLZ(x);\n"
        "__packed struct S { int a; };\n"
        "#endif\n"
        "#if defined (__ARMCC_VERSION) && (__ARMCC_VERSION >= 6010050)\n"
        "__irq void Handler(void);\n"
        "#elif !defined(__ICCARM__) && __ARM_ARCH == 7 && __thumb2__\n"
        "__wfi();\n"
        "#endif\n"},
       {},
       {"0:8: " + kPacked, "0:13: " + Intrinsic("__wfi", "__WFI()")}},
      {"the target's defines take branches",
       {"#ifdef rvmdk\n"
        "__wfe();\n"
        "#endif\n"
        "#if HSE_VALUE > 12000000UL\n"
        "__sev();\n"
        "#elif (HSE_VALUE / 1000000) == 0x8 && defined USE_HAL_DRIVER\n"
        "__isb(0xF);\n"
        "#endif\n"
        "#ifndef USE_HAL_DRIVER\n"
        "__dsb(0xF);\n"
        "#endif\n"},
       {"rvmdk", "HSE_VALUE=8000000", "USE_HAL_DRIVER"},
       {"0:2: " + Intrinsic("__wfe", "__WFE()"), "0:7: " + Intrinsic("__isb", "__ISB()")}},
      {"#define and #undef change later conditionals",
       {"#define USE_ARM_LIB\n"
        "#define LEVEL (3U)\n"
        "#if defined(USE_ARM_LIB) && LEVEL * 2 + 1 == 7 && (1 << 4) == 0x10 && -1 < 0\n"
        "__dmb(0xF);\n"
        "#endif\n"
        "#undef USE_ARM_LIB\n"
        "#ifdef USE_ARM_LIB\n"
        "__rev(x);\n"
        "#elif LEVEL > 3 || UNKNOWN_NAME || !(5 % 3 == 2)\n"
        "__clz(x);\n"
        "#elif LEVEL ? 1 : 1 / 0\n"
        "__ldrex(p);\n"
        "#endif\n"},
       {},
       {"0:4: " + Intrinsic("__dmb", "__DMB()"), "0:12: " + Intrinsic("__ldrex", "__LDREXW()")}},
      {"a keyword defined as a macro in a GCC branch counts nowhere, also in earlier files",
       {"__weak void SysTick_Handler(void) {}\n"
        "__packed struct P { int a; };\n"
        "__weak __forceinline void f(void);\n"
        "__packed __align(8) struct Q { int a; };\n",
        "#if defined(__GNUC__) && !defined(__CC_ARM)\n"
        "#ifndef __weak\n"
        "#define __weak __attribute__((weak))\n"
        "#endif\n"
        "#elif defined(__CC_ARM)\n"
        "#define __packed __attribute__((packed))\n"
        "#endif\n"
        "#define BARRIER() __dsb(0xF)\n"},
       {},
       {"0:2: " + kPacked, "0:3: " + kForceinline, "0:4: " + kPacked,
        "1:8: " + Intrinsic("__dsb", "__DSB()")}},
      {"ARM assembler forms; GNU inline asm and asm labels are fine",
       {"__asm { mov r0, r1 }\n"
        "void g(void) { __asm\n"
        "{\n"
        "  nop\n"
        "} }\n"
        "register unsigned int primask __asm(\"primask\");\n"
        "register unsigned int r0v __asm(\"r0\");\n"
        "int sym __asm(\"label\");\n"
        "__asm int Add(int a, int b) { add r0, r0, r1 }\n"
        "__asm__ volatile (\"nop\");\n"
        "void h(void) { __asm\n"
        "  volatile (\"nop\"); }\n"},
       {},
       {"0:1: " + kInlineAsm, "0:2: " + kInlineAsm,
        "0:6: ARM Compiler named register variable: GCC rejects it; use the CMSIS __get_/__set_ "
        "functions",
        "0:9: ARM Compiler embedded assembler: GCC rejects it; rewrite with GNU inline asm "
        "(__asm volatile)"}},
      {"C library retargeting, linker symbols, pragmas, placement",
       {"#pragma import(__use_no_semihosting)\n"
        "struct __FILE { int handle; };\n"
        "void _sys_exit(int x) { (void)x; }\n"
        "int fputc(int ch, FILE *f)\n"
        "{\n"
        "  return fputc(ch, stdout);\n"
        "}\n"
        "int\n"
        "fgetc(FILE *f) { return 0; }\n"
        "int fputc(int ch, FILE *f);\n"
        "extern char Image$$RW_IRAM1$$ZI$$Limit[];\n"
        "int $Sub$$main(void) { return $Super$$main(); }\n"
        "#pragma anon_unions\n"
        "#pragma arm section rwdata = \"ram2\"\n"
        "#pragma Otime\n"
        "uint8_t buf[16] __attribute__((at(0x20001000)));\n"
        "uint8_t buf2[16] __attribute__((section(\".ARM.__at_0x20002000\")));\n"
        "uint8_t buf3[16] __attribute__((aligned(4), section(\"dma\")));\n"
        "typedef struct\n"
        "__FILE FILE;\n"
        "float scale = 1.e5\n"
        "fgetc(f) { }\n"
        // Only the second attribute holds at() where an attribute name stands.
        "int w __attribute__((aligned(at(4)))) __attribute__((section(\"s\"), at(0x2000)));\n"
        "int v __attribute__((aligned(at(4))));\n"},
       {},
       {"0:1: ARM C library #pragma import: GCC ignores it; drop it and link with "
        "--specs=nosys.specs",
        "0:2: ARM C library struct __FILE: newlib does not use it; drop it and retarget through "
        "_write and _read",
        "0:3: ARM C library retargeting _sys_exit: newlib does not call it; implement _exit",
        "0:4: ARM C library retargeting fputc: newlib does not call it; implement _write",
        "0:9: ARM C library retargeting fgetc: newlib does not call it; implement _read",
        "0:11: ARM linker symbol Image$$RW_IRAM1$$ZI$$Limit: GNU ld does not define it; use a "
        "symbol defined in the linker script",
        "0:12: ARM linker patch $Sub$$main: GNU ld does not apply it; use ld --wrap (__wrap_ and "
        "__real_)",
        "0:13: ARM Compiler #pragma anon_unions: GCC ignores it and takes anonymous unions in C11 "
        "as they are; drop it",
        "0:14: ARM Compiler #pragma arm section: GCC ignores it; write "
        "__attribute__((section(\"name\")))",
        "0:15: ARM Compiler #pragma Otime: GCC ignores it; write #pragma GCC optimize (\"O2\")",
        "0:16: ARM Compiler placement at(): GCC ignores it and places the object anywhere; place "
        "it with a section of the linker script",
        "0:17: ARM linker section .ARM.__at_: GNU ld does not place it at that address; place it "
        "with a section of the linker script",
        // A name at the end of a line counts for the next one; a number there does not.
        "0:20: ARM C library struct __FILE: newlib does not use it; drop it and retarget through "
        "_write and _read",
        "0:23: ARM Compiler placement at(): GCC ignores it and places the object anywhere; place "
        "it with a section of the linker script"}},
      {"an #if past the expansion bound is skipped and said; the next #elif is evaluated",
       {DoublingMacros(40) +
        "#if M40 > 0\n"
        "__nop();\n"
        "#elif M10 == 1024\n"
        "__wfi();\n"
        "#endif\n"},
       {},
       {"0:42: #if expands more than 64 KiB of macros: the check cannot tell whether GCC takes "
        "this branch and skips it; check the branch by hand",
        "0:45: " + Intrinsic("__wfi", "__WFI()")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ScanTexts(c.files, c.defines), c.expected);
  }
}

// The line filter passes over a line only when none of what the scan looks for is in it: the
// same answer as looking for each word, at every position and line length (its blocks of 16
// bytes and their tails).
TEST(ArmCodeScanTest, TheLineFilterPassesOverOnlyLinesWithoutAnyWordItLooksFor) {
  const std::vector<std::string> always = {"__", "$$", "fputc", "fgetc", "_sys_", "_ttywrch"};
  const std::vector<std::string> whole = {"_write", "_read", "_exit", "_isatty"};
  const auto reference = [&](const std::string& line) {
    for (const std::string& word : always) {
      if (line.find(word) != std::string::npos) return true;
    }
    for (const std::string& word : whole) {
      for (size_t at = line.find(word); at != std::string::npos; at = line.find(word, at + 1)) {
        const char before = at > 0 ? line[at - 1] : ' ';
        if (!(std::isalnum(static_cast<unsigned char>(before)) || before == '_' || before == '$')) {
          return true;
        }
      }
    }
    return false;
  };
  const std::vector<std::string> pieces = {"_", "$", "f", "p", "g", "t", "s", "y", "w", "r",
                                           "e", "i", "x", " ", "(", "fputc", "_sys_", "_tty",
                                           "_ttywrch", "_write", "_read", "_exi", "_exit",
                                           "_isatty", "uint32_t", "a_read"};
  std::mt19937 random(16);
  for (int i = 0; i < 200000; ++i) {
    std::string line;
    for (size_t n = random() % 24; n > 0; --n) line += pieces[random() % pieces.size()];
    ASSERT_EQ(MayHoldFinding(line), reference(line)) << "'" << line << "'";
  }
}

}  // namespace
