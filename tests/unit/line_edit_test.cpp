// Tests of finding and replacing lines of text files.
#include "chip/line_edit.h"

#include <cerrno>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

const std::string kLongLine(5000, '#');

TEST(LineEditTest, FindLineContainingReturnsFirstMatchingIndex) {
  struct Case {
    std::string content;
    const char* pattern;
    int32_t expected;
  };
  const Case cases[] = {
      {"FLASH here\nb\n", "FLASH", 0},
      {"a\nb\nFLASH (rx) : x\nFLASH (rx) again\n", "FLASH (rx)", 2},
      {"a\nb\nc\n", "FLASH", -1},
      {"flash (rx)\nFLASH  (rx)\n", "FLASH (rx)", -1},
      {"", "a", -1},
      {"", "", -1},
      {"a\n", "", 0},
      {"a\nlast FLASH", "FLASH", 1},
      {kLongLine + "FLASH\n", "FLASH", 0},
      {kLongLine + "\nFLASH (rx)\n", "FLASH (rx)", 1},
  };
  ScopedTempDir dir;
  const std::string path = dir / "file.txt";
  for (const Case& c : cases) {
    WriteFile(path, c.content);
    int32_t index = -2;
    EXPECT_TRUE(FindLineContaining(path, c.pattern, &index).ok());
    EXPECT_EQ(index, c.expected) << c.content.substr(0, 40) << " / " << c.pattern;
  }
  // A file that cannot be read is a failure, not a file without the line.
  int32_t index = 0;
  const Result missing = FindLineContaining(dir / "missing.txt", "", &index);
  EXPECT_EQ(missing.Describe(), dir / "missing.txt: No such file or directory");
  EXPECT_EQ(index, -1);
}

TEST(LineEditTest, ReplaceLineRewritesWithOneLineReplaced) {
  struct Case {
    std::string content;
    int32_t index;
    std::string expected;
  };
  const std::string five = "l0\nl1\nl2\nl3\nl4\n";
  const Case cases[] = {
      {five, 0, "X\nl1\nl2\nl3\nl4\n"},
      {five, 2, "l0\nl1\nX\nl3\nl4\n"},
      {five, 4, "l0\nl1\nl2\nl3\nX\n"},
      {five, 7, five},
      {five, -1, five},
      // Out of range still rewrites: the last line gains its newline.
      {"a\nb", 7, "a\nb\n"},
      {"a\nb", 0, "X\nb\n"},
      {"  indented\n", 0, "X\n"},
      {"a\n\nb\n", 0, "X\n\nb\n"},
      {"a\r\nb\r\nc\r\n", 1, "a\r\nX\nc\r\n"},
      {"", 0, ""},
      {kLongLine + "\nold\ntail\n", 1, kLongLine + "\nX\ntail\n"},
      {"old\n" + kLongLine + "\ntail", 0, "X\n" + kLongLine + "\ntail\n"},
  };
  ScopedTempDir dir;
  const std::string path = dir / "file.txt";
  for (const Case& c : cases) {
    WriteFile(path, c.content);
    EXPECT_TRUE(ReplaceLine(path, c.index, "X").ok());
    EXPECT_EQ(ReadFile(path), c.expected) << c.content.substr(0, 40) << " @" << c.index;
  }
}

TEST(LineEditTest, AMissingFileIsAFailureAndStaysMissing) {
  ScopedTempDir dir;
  const std::string path = dir / "new.ini";
  EXPECT_EQ(ReplaceLine(path, 0, "X").Describe(), path + ": No such file or directory");
  int32_t count = -1;
  EXPECT_FALSE(CountLines(path, &count).ok());
  EXPECT_FALSE(Exists(path));
  WriteFile(path, "a\nb\nc");
  ASSERT_TRUE(CountLines(path, &count).ok());
  EXPECT_EQ(count, 3);
}

TEST(LineEditTest, ReplaceLineLeavesUnreadableExistingFileUntouched) {
  ScopedTempDir dir;
  const std::string path = dir / "write_only.txt";
  WriteFile(path, "keep\nthis\n");
  // Writable but not readable, for its owner too: rewriting it from an empty read would lose its
  // lines.
  ASSERT_EQ(chmod(path.c_str(), 0222), 0);
  const int status = RunUnprivileged([&] {
    if (std::ifstream(path).is_open()) return 2;  // the permission does not apply
    if (access(path.c_str(), W_OK) != 0) return 3;
    int32_t index = 0;
    if (FindLineContaining(path, "keep", &index).systemError() != EACCES) return 4;
    return ReplaceLine(path, 0, "X").systemError() == EACCES ? 0 : 5;
  });
  EXPECT_EQ(status, 0);
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  EXPECT_EQ(ReadFile(path), "keep\nthis\n");
}

}  // namespace
