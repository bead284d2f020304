// Tests of the tree copies: what lands in the destination, the progress lines and the results.
#include "fs/tree_copy.h"

#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fs/project_path.h"
#include "support/test_support.h"

namespace {

std::set<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines = SplitLines(text);
  return {lines.begin(), lines.end()};
}

std::set<std::string> CopiedLines(const std::string& root, const std::vector<std::string>& files) {
  std::set<std::string> lines;
  for (const std::string& file : files) lines.insert("Successfully to copy file: " + root + "/" + file);
  return lines;
}

// Each walk under test, run from `source` into `destination`.
struct Walk {
  const char* name;
  std::function<int(const std::string&, const std::string&)> run;
  int fileFailure;  // the result when a file directly in the source fails
};

class TreeCopyTest : public ::testing::Test {
 protected:
  void TearDown() override { g_projectPath = savedProjectPath_; }

  static std::vector<Walk> Walks() {
    return {
        {"CopyDirectoryTree",
         [](const std::string& source, const std::string& destination) {
           return CopyDirectoryTree(source.c_str(), destination.c_str());
         },
         -1},
        {"CopyDirectoryIntoProject",
         [](const std::string& source, const std::string& destination) {
           g_projectPath = destination;
           MakeDirs(destination);  // the project folder exists before it is filled
           return CopyDirectoryIntoProject(source);
         },
         1},
    };
  }

  ScopedTempDir temp_;

 private:
  std::string savedProjectPath_ = g_projectPath;
};

TEST_F(TreeCopyTest, CopiesNestedFoldersAndHiddenEntries) {
  const std::string source = temp_ / "src";
  WriteFile(source + "/a.txt", "alpha");
  WriteFile(source + "/.hidden", "h");
  WriteFile(source + "/sub/b.txt", "beta");
  WriteFile(source + "/sub/.hdir/c.txt", "");
  MakeDirs(source + "/empty");
  for (const Walk& walk : Walks()) {
    SCOPED_TRACE(walk.name);
    const std::string destination = temp_ / "out";  // missing, its parent exists
    RemoveTree(destination);
    int result = -2;
    std::string out;
    std::string err = CaptureStderr([&] {
      out = CaptureStdout([&] { result = walk.run(source, destination); });
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ListTree(destination), ListTree(source));
    EXPECT_EQ(ReadFile(destination + "/sub/b.txt"), "beta");
    EXPECT_EQ(ReadFile(destination + "/a.txt"), "alpha");
    EXPECT_EQ(LinesOf(out), CopiedLines(source, {"a.txt", ".hidden", "sub/b.txt", "sub/.hdir/c.txt"}));
    EXPECT_EQ(SplitLines(out).size(), 4u);
    EXPECT_EQ(err, "");
  }
}

TEST_F(TreeCopyTest, MissingOrUnusableArgumentsCopyNothingAndPrintNothing) {
  WriteFile(temp_ / "plain", "not a folder");
  MakeDirs(temp_ / "dir");
  const std::string missing = temp_ / "missing";
  const std::string out = temp_ / "out";
  struct Case {
    const char* name;
    std::function<int()> run;
    int expected;
  };
  const Case cases[] = {
      {"null source", [&] { return CopyDirectoryTree(nullptr, out.c_str()); }, -1},
      {"null destination", [&] { return CopyDirectoryTree((temp_ / "dir").c_str(), nullptr); }, -1},
      {"missing source", [&] { return CopyDirectoryTree(missing.c_str(), out.c_str()); }, -1},
      {"into project, missing source", [&] { return CopyDirectoryIntoProject(missing); }, 0},
      {"into project, source is a file", [&] { return CopyDirectoryIntoProject(temp_ / "plain"); }, 0},
      {"if exists, empty path", [&] { return CopyIntoProjectIfExists(""); }, 0},
      {"if exists, missing path", [&] { return CopyIntoProjectIfExists(missing); }, 0},
  };
  g_projectPath = temp_ / "dir";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int result = -2;
    std::string printed;
    std::string err = CaptureStderr([&] { printed = CaptureStdout([&] { result = c.run(); }); });
    EXPECT_EQ(result, c.expected);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(err, "");
    EXPECT_FALSE(Exists(out));
    EXPECT_TRUE(ListTree(temp_ / "dir").empty());
  }
}

TEST_F(TreeCopyTest, EveryEntryThatFailsIsNamedAndTheWalkGoesOn) {
  const std::string source = temp_ / "src";
  for (const char* name : {"f1", "f2", "f3", "f4"}) WriteFile(source + "/" + name, name);
  for (const char* name : {"s1", "s2", "s3"}) WriteFile(source + "/sub/" + name, name);
  // A folder longer than the system takes as a path, made step by step below the source.
  std::string deep = "deep";
  int fd = open(source.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  for (int level = 0; level < 18; ++level) {
    const std::string name = level == 0 ? "deep" : std::string(250, static_cast<char>('a' + level));
    if (level > 0) deep += "/" + name;
    ASSERT_EQ(mkdirat(fd, name.c_str(), 0755), 0);
    const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(fd);
    fd = next;
    ASSERT_GE(fd, 0);
  }
  close(fd);
  // Making a file's destination a folder fails its copy, also for root.
  const std::string first = "f2";
  const std::string inSub = "s1";
  for (const Walk& walk : Walks()) {
    SCOPED_TRACE(walk.name);
    const std::string destination = temp_ / "out";
    RemoveTree(destination);
    MakeDirs(destination + "/" + first);
    MakeDirs(destination + "/sub/" + inSub);
    int result = -2;
    std::string out;
    std::string err = CaptureStderr([&] {
      out = CaptureStdout([&] { result = walk.run(source, destination); });
    });
    EXPECT_EQ(result, walk.fileFailure);
    std::set<std::string> expected;
    for (const char* name : {"f1", "f2", "f3", "f4"}) {
      expected.insert((name == first ? "Failed to copy file: " : "Successfully to copy file: ") +
                      source + "/" + name);
    }
    for (const char* name : {"s1", "s2", "s3"}) {
      expected.insert((name == inSub ? "Failed to copy file: " : "Successfully to copy file: ") +
                      source + "/sub/" + name);
    }
    // The folder whose path is too long is named; the ones above it are copied.
    std::string tooLong = source + "/deep";
    for (size_t at = deep.find('/'); tooLong.size() < PATH_MAX; at = deep.find('/', at + 1)) {
      tooLong += deep.substr(at, deep.find('/', at + 1) - at);
    }
    expected.insert("Failed to copy file: " + tooLong);
    EXPECT_EQ(LinesOf(out), expected);
    EXPECT_NE(err.find(destination + "/" + first + ": Is a directory\n"), std::string::npos) << err;
    EXPECT_NE(err.find(": File name too long\n"), std::string::npos);
    for (const char* name : {"f1", "f2", "f3", "f4"}) {
      if (name != first) {
        EXPECT_EQ(ReadFile(destination + "/" + name), name);
      }
    }
  }
}

TEST_F(TreeCopyTest, DestinationThatCannotBeMadeNamesTheFolder) {
  WriteFile(temp_ / "src/only.txt", "x");
  WriteFile(temp_ / "src/sub/below.txt", "y");
  WriteFile(temp_ / "taken/sub", "a file where the folder should go");
  int result = 0;
  std::string out;
  std::string err = CaptureStderr([&] {
    out = CaptureStdout([&] {
      result = CopyDirectoryTree((temp_ / "src").c_str(), (temp_ / "no/out").c_str());
    });
  });
  EXPECT_EQ(result, -1);
  EXPECT_EQ(out, "Failed to copy file: " + temp_ / "src" + "\n");
  EXPECT_EQ(err, temp_ / "no/out" + ": No such file or directory\n");
  EXPECT_FALSE(Exists(temp_ / "no"));

  err = CaptureStderr([&] {
    out = CaptureStdout([&] {
      result = CopyDirectoryTree((temp_ / "src").c_str(), (temp_ / "taken").c_str());
    });
  });
  EXPECT_EQ(result, -1);
  EXPECT_EQ(LinesOf(out), (std::set<std::string>{"Successfully to copy file: " + temp_ / "src/only.txt",
                                                 "Failed to copy file: " + temp_ / "src/sub"}));
  EXPECT_EQ(err, temp_ / "taken/sub" + ": Not a directory\n");
  EXPECT_EQ(ReadFile(temp_ / "taken/sub"), "a file where the folder should go");
}

TEST_F(TreeCopyTest, FollowsLinksAndSkipsLoopsDanglingLinksAndFifos) {
  const std::string source = temp_ / "src";
  const std::string destination = temp_ / "out";
  WriteFile(source + "/real.txt", "real");
  WriteFile(source + "/sub/deep.txt", "deep");
  WriteFile(temp_ / "outside/inner.txt", "inner");
  ASSERT_EQ(symlink("real.txt", (source + "/link_file").c_str()), 0);
  ASSERT_EQ(symlink((temp_ / "outside").c_str(), (source + "/link_dir").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (source + "/dangling").c_str()), 0);
  ASSERT_EQ(symlink("..", (source + "/sub/up").c_str()), 0);  // a loop back to the source
  ASSERT_EQ(symlink(destination.c_str(), (source + "/to_out").c_str()), 0);
  ASSERT_EQ(mkfifo((source + "/fifo").c_str(), 0644), 0);

  for (const Walk& walk : Walks()) {
    SCOPED_TRACE(walk.name);
    RemoveTree(destination);
    MakeDirs(destination);
    int result = -2;
    std::string out;
    std::string err = CaptureStderr([&] {
      out = CaptureStdout([&] {
        alarm(30);  // opening the FIFO would block for ever: end the test instead
        result = walk.run(source, destination);
        alarm(0);
      });
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ListTree(destination),
              (std::set<std::string>{"link_dir/", "link_dir/inner.txt", "link_file", "real.txt",
                                     "sub/", "sub/deep.txt"}));
    struct stat status;
    ASSERT_EQ(lstat((destination + "/link_file").c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(ReadFile(destination + "/link_file"), "real");
    EXPECT_EQ(ReadFile(destination + "/link_dir/inner.txt"), "inner");
    EXPECT_EQ(LinesOf(out),
              CopiedLines(source, {"real.txt", "link_file", "link_dir/inner.txt", "sub/deep.txt"}));
    EXPECT_EQ(err, "");
  }
  EXPECT_EQ(ListTree(temp_ / "outside"), std::set<std::string>{"inner.txt"});
}

TEST_F(TreeCopyTest, CopiesPathsLongerThan300Characters) {
  const std::string a(100, 'a');
  const std::string b(100, 'b');
  const std::string c(100, 'c');
  const std::string source = temp_ / std::string(60, 's');
  const std::string relative = a + "/" + b + "/" + c + "/file.txt";
  WriteFile(source + "/" + relative, "far down");
  const std::string destination = temp_ / std::string(60, 'd');
  ASSERT_GT((destination + "/" + relative).size(), 300u);
  for (const Walk& walk : Walks()) {
    SCOPED_TRACE(walk.name);
    RemoveTree(destination);
    int result = -2;
    std::string out = CaptureStdout([&] { result = walk.run(source, destination); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(destination + "/" + relative), "far down");
    EXPECT_EQ(out, "Successfully to copy file: " + source + "/" + relative + "\n");
  }
}

TEST_F(TreeCopyTest, SourceThatIsTheDestinationIsLeftAlone) {
  WriteFile(temp_ / "project/x.txt", "keep");
  const std::string project = temp_ / "project";
  g_projectPath = project + "/../project";
  int treeResult = -2;
  int projectResult = -2;
  std::string out = CaptureStdout([&] {
    treeResult = CopyDirectoryTree(project.c_str(), g_projectPath.c_str());
    projectResult = CopyDirectoryIntoProject(project);
  });
  EXPECT_EQ(treeResult, 0);
  EXPECT_EQ(projectResult, 0);
  EXPECT_EQ(out, "");
  // Copying a file onto itself would have emptied it.
  EXPECT_EQ(ReadFile(project + "/x.txt"), "keep");
}

TEST_F(TreeCopyTest, CopyIntoProjectIfExistsCopiesAnExistingFolder) {
  WriteFile(temp_ / "src/x.txt", "x");
  MakeDirs(temp_ / "project");
  g_projectPath = temp_ / "project";
  int result = -2;
  std::string out = CaptureStdout([&] { result = CopyIntoProjectIfExists(temp_ / "src"); });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadFile(temp_ / "project/x.txt"), "x");
  EXPECT_EQ(out, "Successfully to copy file: " + temp_ / "src/x.txt" + "\n");
}

}  // namespace
