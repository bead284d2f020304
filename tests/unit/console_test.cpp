// What a terminal is shown of a printed value.
#include "app/console.h"

#include <gtest/gtest.h>

namespace {

TEST(ConsoleTest, ControlsAreShownEscapedAndTextAsItIs) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"C:\\Keil\\inc\tx", "C:\\Keil\\inc\tx"},                 // backslashes and tabs stay
      {"\x1b[2J\r\n\x7f", "\\x1b[2J\\r\\n\\x7f"},              // C0 controls and DEL
      {"\xc2\x9b" "31m", "\\u009b31m"},                        // a C1 control, as UTF-8
      {"\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x94\xa7", "\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x94\xa7"},
      {"\x9b" "31m \xc3", "\\x9b31m \\xc3"},                   // bytes that are not UTF-8
      {"\xe0\x80\xaf \xed\xa0\x80", "\\xe0\\x80\\xaf \\xed\\xa0\\x80"},  // overlong, surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(ShownText(c.text), c.shown) << c.shown;
}

}  // namespace
