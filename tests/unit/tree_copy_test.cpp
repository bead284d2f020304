// Tests of the tree copies: what lands in the destination, the events per entry and the results.
#include "fs/tree_copy.h"

#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {

// Records a walk's events as the run prints them: the lines of standard output in `out`, the
// reasons for standard error in `err`.
struct Recorder {
  std::string out;
  std::string err;
  CopySink sink{[this](const std::string& source) {
                  out += "Successfully to copy file: " + source + "\n";
                },
                [this](const std::string& source, const Result& why) {
                  err += why.Describe() + "\n";
                  out += "Failed to copy file: " + source + "\n";
                }};
};

std::set<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines = SplitLines(text);
  return {lines.begin(), lines.end()};
}

std::set<std::string> CopiedLines(const std::string& root, const std::vector<std::string>& files) {
  std::set<std::string> lines;
  for (const std::string& file : files) lines.insert("Successfully to copy file: " + root + "/" + file);
  return lines;
}

// Each walk under test, run from `source` into `destination`; true when it succeeded.
struct Walk {
  const char* name;
  std::function<bool(const std::string&, const std::string&, const CopySink&)> run;
};

class TreeCopyTest : public ::testing::Test {
 protected:
  static std::vector<Walk> Walks() {
    return {
        {"CopyDirectoryTree",
         [](const std::string& source, const std::string& destination, const CopySink& sink) {
           return CopyDirectoryTree(source, destination, sink).ok();
         }},
        {"CopyDirectoryIntoProject",
         [](const std::string& source, const std::string& destination, const CopySink& sink) {
           MakeDirs(destination);  // the project folder exists before it is filled
           return CopyDirectoryIntoProject(source, destination, sink).ok();
         }},
    };
  }

  ScopedTempDir temp_;
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
    Recorder events;
    EXPECT_TRUE(walk.run(source, destination, events.sink));
    const std::string& out = events.out;
    const std::string& err = events.err;
    EXPECT_EQ(ListTree(destination), ListTree(source));
    EXPECT_EQ(ReadFile(destination + "/sub/b.txt"), "beta");
    EXPECT_EQ(ReadFile(destination + "/a.txt"), "alpha");
    EXPECT_EQ(LinesOf(out), CopiedLines(source, {"a.txt", ".hidden", "sub/b.txt", "sub/.hdir/c.txt"}));
    EXPECT_EQ(SplitLines(out).size(), 4u);
    EXPECT_EQ(err, "");
  }
}

TEST_F(TreeCopyTest, MissingOrUnusableSourcesCopyNothingAndReportNothing) {
  WriteFile(temp_ / "plain", "not a folder");
  MakeDirs(temp_ / "dir");
  const std::string missing = temp_ / "missing";
  const std::string out = temp_ / "out";
  const std::string project = temp_ / "dir";
  Recorder events;
  struct Case {
    const char* name;
    std::function<Result()> run;
    bool ok;
  };
  const Case cases[] = {
      {"missing source", [&] { return CopyDirectoryTree(missing, out, events.sink); }, false},
      {"into project, missing source",
       [&] { return CopyDirectoryIntoProject(missing, project, events.sink); }, true},
      {"into project, source is a file",
       [&] { return CopyDirectoryIntoProject(temp_ / "plain", project, events.sink); }, true},
      {"if exists, empty path", [&] { return CopyIntoProjectIfExists("", project, events.sink); },
       true},
      {"if exists, missing path",
       [&] { return CopyIntoProjectIfExists(missing, project, events.sink); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Result result = c.run();
    EXPECT_EQ(result.ok(), c.ok) << result.Describe();
    EXPECT_EQ(events.out + events.err, "");
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
    Recorder events;
    EXPECT_FALSE(walk.run(source, destination, events.sink));
    const std::string& out = events.out;
    const std::string& err = events.err;
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
  Recorder events;
  EXPECT_FALSE(CopyDirectoryTree(temp_ / "src", temp_ / "no/out", events.sink).ok());
  EXPECT_EQ(events.out, "Failed to copy file: " + temp_ / "src" + "\n");
  EXPECT_EQ(events.err, temp_ / "no/out" + ": No such file or directory\n");
  EXPECT_FALSE(Exists(temp_ / "no"));

  Recorder second;
  EXPECT_FALSE(CopyDirectoryTree(temp_ / "src", temp_ / "taken", second.sink).ok());
  const std::string& out = second.out;
  const std::string& err = second.err;
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
    Recorder events;
    alarm(30);  // opening the FIFO would block for ever: end the test instead
    EXPECT_TRUE(walk.run(source, destination, events.sink));
    alarm(0);
    const std::string& out = events.out;
    const std::string& err = events.err;
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
    Recorder events;
    EXPECT_TRUE(walk.run(source, destination, events.sink));
    EXPECT_EQ(ReadFile(destination + "/" + relative), "far down");
    EXPECT_EQ(events.out, "Successfully to copy file: " + source + "/" + relative + "\n");
  }
}

TEST_F(TreeCopyTest, SourceThatIsTheDestinationIsLeftAlone) {
  WriteFile(temp_ / "project/x.txt", "keep");
  const std::string project = temp_ / "project";
  const std::string same = project + "/../project";
  Recorder events;
  EXPECT_TRUE(CopyDirectoryTree(project, same, events.sink).ok());
  EXPECT_TRUE(CopyDirectoryIntoProject(project, same, events.sink).ok());
  EXPECT_EQ(events.out + events.err, "");
  // Copying a file onto itself would have emptied it.
  EXPECT_EQ(ReadFile(project + "/x.txt"), "keep");
}

TEST_F(TreeCopyTest, CopyIntoProjectIfExistsCopiesAnExistingFolder) {
  WriteFile(temp_ / "src/x.txt", "x");
  MakeDirs(temp_ / "project");
  Recorder events;
  EXPECT_TRUE(CopyIntoProjectIfExists(temp_ / "src", temp_ / "project", events.sink).ok());
  EXPECT_EQ(ReadFile(temp_ / "project/x.txt"), "x");
  EXPECT_EQ(events.out, "Successfully to copy file: " + temp_ / "src/x.txt" + "\n");
}

}  // namespace
