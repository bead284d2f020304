// Tests of DeleteDirectoryContents: what is removed, what stays, and the lines it prints.
#include "fs/tree_delete.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {

TEST(TreeDeleteTest, EmptiesNestedFoldersWithHiddenEntriesAndKeepsTheFolder) {
  ScopedTempDir temp;
  const std::string folder = temp / "project";
  WriteFile(folder + "/a.txt", "a");
  WriteFile(folder + "/.hidden", "h");
  WriteFile(folder + "/sub/.hdir/deep/c.txt", "c");
  WriteFile(folder + "/sub/b.txt", "b");
  MakeDirs(folder + "/empty");
  ASSERT_EQ(mkfifo((folder + "/sub/fifo").c_str(), 0644), 0);
  std::string out = CaptureStdout([&] { DeleteDirectoryContents(folder); });
  EXPECT_EQ(out, "");
  EXPECT_TRUE(IsDirectory(folder));
  EXPECT_TRUE(ListTree(folder).empty());
}

TEST(TreeDeleteTest, MissingFolderPrintsNothing) {
  ScopedTempDir temp;
  std::string out = CaptureStdout([&] { DeleteDirectoryContents(temp / "missing"); });
  EXPECT_EQ(out, "");
  EXPECT_FALSE(Exists(temp / "missing"));
}

TEST(TreeDeleteTest, RemovesLinksWithoutFollowingThem) {
  ScopedTempDir temp;
  const std::string folder = temp / "project";
  WriteFile(temp / "outside/keep.txt", "keep");
  WriteFile(temp / "outside_file.txt", "file");
  MakeDirs(folder);
  ASSERT_EQ(symlink((temp / "outside").c_str(), (folder + "/link_dir").c_str()), 0);
  ASSERT_EQ(symlink((temp / "outside_file.txt").c_str(), (folder + "/link_file").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (folder + "/dangling").c_str()), 0);
  std::string out = CaptureStdout([&] { DeleteDirectoryContents(folder); });
  EXPECT_EQ(out, "");
  EXPECT_TRUE(ListTree(folder).empty());
  EXPECT_EQ(ReadFile(temp / "outside/keep.txt"), "keep");
  EXPECT_EQ(ReadFile(temp / "outside_file.txt"), "file");
}

TEST(TreeDeleteTest, EntriesThatCannotBeRemovedArePrintedAndTheWalkGoesOn) {
  ScopedTempDir temp;
  const std::string folder = temp / "project";
  WriteFile(folder + "/locked/stuck.txt", "x");
  WriteFile(folder + "/free/gone.txt", "y");
  WriteFile(folder + "/gone.txt", "z");
  // Owned by root: the unprivileged walk may remove entries only from the writable folders.
  ASSERT_EQ(chmod(folder.c_str(), 0777), 0);
  ASSERT_EQ(chmod((folder + "/free").c_str(), 0777), 0);
  ASSERT_EQ(chmod((folder + "/locked").c_str(), 0555), 0);
  int status = -2;
  std::string out = CaptureStdout([&] {
    status = RunUnprivileged([&] {
      DeleteDirectoryContents(folder);
      return 0;
    });
  });
  ASSERT_EQ(status, 0);
  EXPECT_EQ(out, "delete file error\ndelete empty dir error\n");
  EXPECT_EQ(ListTree(folder), (std::set<std::string>{"locked/", "locked/stuck.txt"}));
}

TEST(TreeDeleteTest, RemovesPathsLongerThan300Characters) {
  ScopedTempDir temp;
  const std::string folder = temp / "project";
  const std::string deep =
      folder + "/" + std::string(100, 'a') + "/" + std::string(100, 'b') + "/" + std::string(100, 'c');
  WriteFile(deep + "/file.txt", "x");
  ASSERT_GT(deep.size(), 300u);
  std::string out = CaptureStdout([&] { DeleteDirectoryContents(folder); });
  EXPECT_EQ(out, "");
  EXPECT_TRUE(ListTree(folder).empty());
}

}  // namespace
