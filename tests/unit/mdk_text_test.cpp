// Tests of the MDK text rules: define and include-path lists, the flash origin, the memory regions,
// the file type.
#include "mdk/mdk_text.h"

#include <limits>

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

TEST(MdkTextTest, SplitStringKeepsNonEmptyRunsAndAppends) {
  std::vector<std::string> pieces = {"kept"};
  SplitString("//a/b//c/", "/", pieces);
  EXPECT_EQ(pieces, (std::vector<std::string>{"kept", "a", "b", "c"}));
  pieces.clear();
  SplitString("x;y,z", ";,", pieces);
  EXPECT_EQ(pieces, (std::vector<std::string>{"x", "y", "z"}));
  pieces.clear();
  SplitString("///", "/", pieces);
  EXPECT_TRUE(pieces.empty());
}

TEST(MdkTextTest, SplitDefines) {
  const struct {
    const char* text;
    Strings defines;
  } cases[] = {
      {"", {}},
      {"A,B", {"A", "B"}},
      {"A,,B", {"A", "B"}},
      {"A, B", {"A", "B"}},
      {"A ,B", {"A", "B"}},
      {"A,", {"A"}},
      {",A", {"A"}},
      {" , ,", {}},
      {"A B", {"A", "B"}},
      {"A\t\t B", {"A", "B"}},
      {"A,A", {"A", "A"}},
      {"NRF52 BOARD_PCA10040 CONFIG_GPIO_AS_PINRESET",
       {"NRF52", "BOARD_PCA10040", "CONFIG_GPIO_AS_PINRESET"}},
      {" __HEAP_SIZE=8192 __STACK_SIZE=8192", {"__HEAP_SIZE=8192", "__STACK_SIZE=8192"}},
      {"USE_HAL_DRIVER,STM32F407xx", {"USE_HAL_DRIVER", "STM32F407xx"}},
      {"USE_HAL_DRIVER, STM32F411xE, RT_USING_ARM_LIBC",
       {"USE_HAL_DRIVER", "STM32F411xE", "RT_USING_ARM_LIBC"}},
      // Blanks and commas inside double quotes belong to the value.
      {"G=\"x y\"", {"G=\"x y\""}},
      {"G=\"x  y\" H,I", {"G=\"x  y\"", "H", "I"}},
      {"V=\"1,2\",W", {"V=\"1,2\"", "W"}},
      {"A \"B, C", {"A", "\"B, C"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SplitDefines(c.text), c.defines);
  }
}

TEST(MdkTextTest, SplitIncludePaths) {
  const struct {
    const char* text;
    Strings paths;
  } cases[] = {
      {"", {}},
      {"..\\inc;..\\..\\lib", {"../../inc", "../../../lib"}},
      {"a;;b", {"../a", "../b"}},
      {"a;", {"../a"}},
      {";a", {"../a"}},
      {"a; b", {"../a", "../b"}},
      {"..\\inc; ..\\lib;", {"../../inc", "../../lib"}},
      // Absolute paths stand as they are, with "/".
      {"C:\\Keil\\ARM\\inc;/opt/sdk/inc;\\\\server\\inc",
       {"C:/Keil/ARM/inc", "/opt/sdk/inc", "//server/inc"}},
      {" ; \t;", {}},
      {"\t.\\board\t ", {".././board"}},
      {"My Drivers\\inc", {"../My Drivers/inc"}},
      {"a;a", {"../a", "../a"}},
      {"../already/slashed", {"../../already/slashed"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SplitIncludePaths(c.text), c.paths);
  }
}

TEST(MdkTextTest, ParseFlashOrigin) {
  const struct {
    const char* text;
    uint64_t origin;
  } cases[] = {
      {"IRAM(0x20000000,0x20000) IROM(0x08000000,0x40000) CLOCK(8000000)", 0x8000000},
      {"IROM(0x08004000,0x3C000)", 0x8004000},
      {"IROM(0x8000000,0x80000)", 0x8000000},
      {"IRAM(0x200000-0x200FFF) IROM(0x8000000-0x807FFFF) CLOCK(18432000)", 0x8000000},
      {"IROM(0x00000000,0x80000) IRAM(0x20000000,0x10000) CPUTYPE(\"Cortex-M4\")", 0},
      {"IROM(0x10000000,0x1000) IROM2(0x00000000,0x1000)", 0x10000000},
      // At most eight characters are read.
      {"IROM(0x123456789)", 0x12345678},
      {"IROM(0xZZ)", 0},
      {"IROM(0x  4000,0x1000)", 0x4000},
      // No IROM, or too short to hold "IROM(0x": the usual flash start.
      {"", 0x8000000},
      {"IRAM(0x20000000,0x20000) CLOCK(8000000)", 0x8000000},
      {"irom(0x00001000,0x1000)", 0x8000000},
      {"IROM", 0x8000000},
      {"IROM(0", 0x8000000},
      {"X IROM(0", 0x8000000},
      {"IROM(0x", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseFlashOrigin(c.text), c.origin);
  }
}

TEST(MdkTextTest, ParseMemoryRegion) {
  const struct {
    const char* text;
    const char* name;
    uint64_t origin;
    uint64_t length;
  } cases[] = {
      {"IRAM(0x20000000,0x18000) IROM(0x08004000,0xFC000) CLOCK(8000000)", "IRAM", 0x20000000,
       0x18000},
      {"IRAM(0x20000000,0x18000) IROM(0x08004000,0xFC000) CLOCK(8000000)", "IROM", 0x08004000,
       0xFC000},
      // The first region of that name: IRAM2 is another region.
      {"IRAM2(0x10000000,0x10000) IRAM( 0x20000000 , 0x1000 )", "IRAM", 0x20000000, 0x1000},
      // No such region, the old range form, a size or an origin that is no whole number.
      {"IROM(0x08000000,0x100000)", "IRAM", 0, 0},
      {"IRAM(0x20000000-0x2001FFFF)", "IRAM", 0, 0},
      {"IRAM(0x20000000,0x)", "IRAM", 0, 0},
      {"IRAM(0x20000000,-0x1000)", "IRAM", 0, 0},
      {"IRAM(0x20000000,0x1000 K)", "IRAM", 0, 0},
      {"IRAM(start,0x1000)", "IRAM", 0, 0},
      {"IRAM(0x20000000,0x10000000000000000)", "IRAM", 0, 0},
      {"IRAM(0x20000000,0x1000", "IRAM", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const MemoryRegion region = ParseMemoryRegion(c.text, c.name);
    EXPECT_EQ(region.length, c.length);
    if (c.length != 0) {
      EXPECT_EQ(region.origin, c.origin);
    }
  }
}

TEST(MdkTextTest, ParseFileType) {
  const struct {
    const char* text;
    int32_t type;
  } cases[] = {
      {"1", 1},   {"01", 1},   {" 1", 1},  {"+1", 1}, {"1x", 1},
      {"2", 2},   {"8", 8},    {"", 0},    {"x1", 0}, {"-1", -1},
      // A huge number must not wrap round to 1.
      {"4294967297", std::numeric_limits<int32_t>::max()},
      {"-4294967297", std::numeric_limits<int32_t>::min()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseFileType(c.text), c.type);
  }
}

}  // namespace
