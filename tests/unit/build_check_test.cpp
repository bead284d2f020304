// Tests of the check before the first build on files: the walk through sources and headers.
#include "check/build_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/test_support.h"

namespace {

TEST(BuildCheckTest, WalksSourcesAndTheHeadersGccWouldInclude) {
  ScopedTempDir temp;
  const std::string project = temp / "proj";
  WriteFile(project + "/src/main.c",
            "#include \"config.h\"\n"
            "#include \"Delay.h\"\n"
            "#include <stdio.h>\n"
            "#if defined(__CC_ARM)\n"
            "#include \"armcc_only.h\"\n"
            "#endif\n"
            "void Wait(void) { __wfi(); }\n"
            "#define MAIN_ONLY\n");
  WriteFile(project + "/src/other.c",
            "  #  include <config.h>\n"
            "#if CONFIG_FAST && !defined(MAIN_ONLY)  // a header's macro lasts, a source's ends\n"
            "void Idle(void) { __wfe(); }\n"
            "#endif\n");
  WriteFile(project + "/src/vectors.S",
            "#include \"config.h\"\n"
            "  ldr r0, =Image$$ARM_LIB_STACK$$ZI$$Limit  @ __nop() in a comment\n");
  WriteFile(project + "/inc/config.h",
            "typedef __packed struct { int a; } Config;\n"
            "#define CONFIG_FAST 1\n");
  WriteFile(project + "/inc/delay.h", "#define DELAY_TICK() __nop()\n");
  WriteFile(project + "/inc/armcc_only.h", "__irq void Handler(void);\n");
  // Over 4 MiB of text: not scanned, so its __nop is not reported.
  WriteFile(project + "/src/big.c",
            "void f(void) { __nop(); }\n" + std::string(kMaxCheckedFileSize, '\n'));
  const char blob[] =
      "\x7f"
      "ELF\0\0\0\n__nop();\n";
  WriteFile(project + "/src/blob.c", std::string(blob, sizeof blob - 1));
  WriteFile(project + "/startup_arm.s",
            "; Vector table, AREA mentioned in a comment\n"
            "Stack_Size      EQU     0x400\n"
            "                PRESERVE8\n"
            "                AREA    RESET, DATA, READONLY\n");
  WriteFile(project + "/startup_gnu.s",
            "/* EXPORT nothing here,\n"
            "   AREA is a word in a comment */\n"
            "  .syntax unified\n"
            "  .global Reset_Handler\n");

  BuildCheckInput input;
  for (const char* file : {"src/main.c", "src/other.c", "src/vectors.S", "src/big.c", "src/blob.c",
                           "startup_arm.s", "startup_gnu.s", "src/missing.c"}) {
    const std::string name = file;
    const bool assembler = name.compare(name.size() - 2, 2, ".s") == 0;
    input.sources.push_back({name, project + "/" + name,
                             assembler ? CheckKind::kLeftOutAssembler : CheckKind::kBuiltSource});
  }
  // Named only: never opened, so a missing one is no different.
  input.sources.push_back({"lib/armcc.lib", project + "/lib/armcc.lib", CheckKind::kPrebuiltLibrary});
  input.sources.push_back({"obj/fast.o", project + "/obj/fast.o", CheckKind::kPrebuiltObject});
  input.includeFolders = {project + "/src/../inc"};
  input.showPath = [&](const std::string& diskPath) {
    return diskPath.compare(0, project.size() + 1, project + "/") == 0
               ? diskPath.substr(project.size() + 1)
               : diskPath;
  };

  // What the port takes leaves the list: the intrinsics, also the one in a macro's body, and the
  // include in another case; __packed before struct stays.
  const std::vector<std::string> expected = {
      "Check before building: inc/config.h:1: ARM Compiler keyword __packed: GCC rejects it, "
      "and ignores __attribute__((packed)) before struct; write struct __attribute__((packed)) "
      "(typedef struct __attribute__((packed)) {...})",
      "Check before building: src/vectors.S:2: ARM linker symbol "
      "Image$$ARM_LIB_STACK$$ZI$$Limit: GNU ld does not define it; use a symbol defined in the "
      "linker script",
      "Check before building: src/big.c: not checked: larger than 4 MiB",
      "Check before building: src/blob.c: not checked: not a text file",
      "Check before building: startup_arm.s:1: MDK assembles this ARM-syntax file; the IDE does "
      "not build it: a GNU-syntax version is needed",
      "Check before building: src/missing.c: not checked: cannot be read (No such file or "
      "directory)",
      "Check before building: lib/armcc.lib: prebuilt ARM Compiler library: the IDE does not link "
      "it, and GNU ld may not take it; rebuild it with GCC",
      "Check before building: obj/fast.o: prebuilt ARM Compiler object file: the IDE does not "
      "link it, and GNU ld may not take it; rebuild it with GCC",
      "8 places to check before the first build.",
  };
  const BuildCheckReport report = CheckBeforeBuilding(input);
  EXPECT_EQ(report.lines, expected);
  const std::vector<std::string> ported = {
      "Ported for GCC: __nop, 1 place: gcc_port/armcc_compat.h",
      "Ported for GCC: __wfi, 1 place: gcc_port/armcc_compat.h",
      "Ported for GCC: __wfe, 1 place: gcc_port/armcc_compat.h",
      "Ported for GCC: #include \"Delay.h\", 1 place: gcc_port/include/Delay.h",
  };
  EXPECT_EQ(report.port.lines, ported);

  // A target define that makes a keyword a macro silences it; no finding, no summary.
  BuildCheckInput quiet;
  quiet.sources = {{"inc/config.h", project + "/inc/config.h"}};
  quiet.defines = {"__packed=__attribute__((packed))"};
  EXPECT_EQ(CheckBeforeBuilding(quiet).lines, std::vector<std::string>());
}

TEST(BuildCheckTest, UnreadableSourceIsNamedWithTheReason) {
  ScopedTempDir temp;
  const std::string path = temp / "locked.c";
  WriteFile(path, "void f(void) { __nop(); }\n");
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  BuildCheckInput input;
  input.sources = {{"src/locked.c", path}};
  const std::vector<std::string> expected = {
      "Check before building: src/locked.c: not checked: cannot be read (Permission denied)",
      "1 place to check before the first build.",
  };
  const int status = RunUnprivileged([&] {
    if (std::ifstream(path).is_open()) return 2;  // the permission does not apply
    return CheckBeforeBuilding(input).lines == expected ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
