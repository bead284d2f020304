// Tests of CopyFile: copied bytes, results and the reports on standard error.
#include "fs/file_copy.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

int OpenDescriptorCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

TEST(CopyFileTest, CopiesBytesAndReplacesExistingContent) {
  struct Case {
    const char* name;
    std::string content;
    std::string oldDestination;  // empty: the destination does not exist yet
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"binary", std::string("a\0b\r\n\xff", 6), ""},
      {"several chunks", std::string(1000, 'x') + "end", ""},
      {"overwrite longer", "short", std::string(5000, 'o')},
      {"empty over content", "", "old"},
  };
  ScopedTempDir temp;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = temp / "source";
    const std::string destination = temp / "destination";
    WriteFile(source, c.content);
    RemoveTree(destination);
    if (!c.oldDestination.empty()) WriteFile(destination, c.oldDestination);
    int result = 0;
    std::string out;
    std::string err = CaptureStderr([&] {
      out = CaptureStdout([&] { result = CopyFile(source.c_str(), destination.c_str()); });
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ReadFile(destination), c.content);
    EXPECT_TRUE(Exists(destination));
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "");
  }
}

TEST(CopyFileTest, FailuresGiveMinusOneWithReportAndCloseEveryFile) {
  ScopedTempDir temp;
  WriteFile(temp / "small", "a few bytes");
  WriteFile(temp / "large", std::string(20000, 'z'));
  MakeDirs(temp / "folder");
  struct Case {
    const char* name;
    std::string source;
    std::string destination;
    std::string expectedReport;
  };
  const Case cases[] = {
      {"missing source", temp / "missing", temp / "copy1",
       temp / "missing" + ": No such file or directory\n"},
      {"destination folder missing", temp / "small", temp / "none/copy2",
       temp / "none/copy2" + ": No such file or directory\n"},
      {"destination is a folder", temp / "small", temp / "folder",
       temp / "folder" + ": Is a directory\n"},
      // Fits the stdio buffer: the write fails only when flushed.
      {"full disk at flush", temp / "small", "/dev/full",
       "Fatal write error.\n: No space left on device\n"},
      {"full disk while writing", temp / "large", "/dev/full",
       "Fatal write error.\n: No space left on device\n"},
      // Opening a folder for reading works on Linux; reading it fails.
      {"source is a folder", temp / "folder", temp / "copy3",
       temp / "folder" + ": Is a directory\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int descriptorsBefore = OpenDescriptorCount();
    int result = 0;
    std::string err = CaptureStderr([&] {
      result = CopyFile(c.source.c_str(), c.destination.c_str());
    });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(err, c.expectedReport);
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
  }
  // A failed open of the source creates nothing.
  EXPECT_FALSE(Exists(temp / "copy1"));
}

}  // namespace
