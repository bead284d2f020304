// Tests of the port's decisions on sources: a construct is ported only where every use has an
// exact GCC equivalent, and never a name the code defines itself.
#include "check/gcc_port.h"

#include <gtest/gtest.h>

#include "check/build_check.h"
#include "support/test_support.h"

namespace {

struct PortCase {
  const char* what;
  const char* source;  // src/main.c
  const char* header;  // inc/board.h, which main.c may include
  std::vector<std::string> ported;
  int listed;  // the places left to check
};

// The "Ported for GCC" lines and the number of places left, for one source and its header.
void ExpectPort(const PortCase& c) {
  SCOPED_TRACE(c.what);
  ScopedTempDir temp;
  WriteFile(temp / "src/main.c", c.source);
  WriteFile(temp / "inc/board.h", c.header);
  BuildCheckInput input;
  input.sources = {{"src/main.c", temp / "src/main.c"}};
  input.includeFolders = {temp / "inc"};
  const BuildCheckReport report = CheckBeforeBuilding(input);
  EXPECT_EQ(report.port.lines, c.ported);
  const int listed = report.lines.empty() ? 0 : static_cast<int>(report.lines.size()) - 1;
  EXPECT_EQ(listed, c.listed);
}

TEST(GccPortTest, PackedIsPortedOnlyAfterStructOrBrace) {
  // GCC ignores the attribute before "struct": the structure would lose its packing silently.
  ExpectPort({"before struct", "typedef __packed struct { char c; int i; } Frame;\n", "", {}, 1});
  ExpectPort({"after struct and after the brace",
              "typedef struct __packed { char c; int i; } Frame;\n"
              "struct Reply { char c; int i; } __packed;\n",
              "",
              {"Ported for GCC: __packed, 2 places: gcc_port/armcc_compat.h"},
              0});
  ExpectPort({"one use before struct keeps every use listed",
              "typedef struct __packed { char c; int i; } Frame;\n"
              "typedef __packed struct { char c; int i; } Reply;\n",
              "", {}, 2});
}

TEST(GccPortTest, NamesTheCodeDefinesItselfAreNotPorted) {
  const PortCase cases[] = {
      {"an intrinsic's name the code defines as a function",
       "unsigned __clz(unsigned v) { return v; }\nunsigned f(void) { return __clz(0u); }\n", "",
       {}, 2},
      {"a keyword a header defines for GCC",
       "#include \"board.h\"\n__weak void Hook(void) {}\n",
       "#define __weak __attribute__((weak))\n", {}, 0},
      {"a non-static __forceinline function in a header: each file would get its own copy",
       "#include \"board.h\"\n", "__forceinline int Twice(int x) { return 2 * x; }\n", {}, 1},
      {"a static one in a header",
       "#include \"board.h\"\n", "static __forceinline int Twice(int x) { return 2 * x; }\n",
       {"Ported for GCC: __forceinline, 1 place: gcc_port/armcc_compat.h"}, 0},
      {"a target with its own _write keeps fputc listed; fgetc is bridged",
       "#include <stdio.h>\n"
       "int fputc(int c, FILE *f) { (void)f; return c; }\n"
       "int fgetc(FILE *f) { (void)f; return -1; }\n"
       "int _write(int fd, char *p, int n) { (void)fd; (void)p; return n; }\n",
       "", {"Ported for GCC: fgetc, 1 place: gcc_port/armcc_retarget.c"}, 1},
  };
  for (const PortCase& c : cases) ExpectPort(c);
}

}  // namespace
