// Tests of DeleteDirectoryContents: what is removed, what stays, and what it reports.
#include "fs/tree_delete.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {

// Empties `folder`, recording each entry that could not be removed ("dir <path>: <reason>" or
// "file <path>: <reason>", one a line); returns whether it succeeded.
bool Empty(const std::string& folder, std::string* reported = nullptr) {
  std::string lines;
  const Result result = DeleteDirectoryContents(folder, [&](const Result& why, bool isFolder) {
    lines += (isFolder ? "dir " : "file ") + why.Describe() + "\n";
  });
  if (reported != nullptr) *reported = lines;
  return result.ok();
}

TEST(TreeDeleteTest, EmptiesNestedFoldersWithHiddenEntriesAndKeepsTheFolder) {
  ScopedTempDir temp;
  const std::string folder = temp / "project";
  WriteFile(folder + "/a.txt", "a");
  WriteFile(folder + "/.hidden", "h");
  WriteFile(folder + "/sub/.hdir/deep/c.txt", "c");
  WriteFile(folder + "/sub/b.txt", "b");
  MakeDirs(folder + "/empty");
  ASSERT_EQ(mkfifo((folder + "/sub/fifo").c_str(), 0644), 0);
  std::string reported;
  EXPECT_TRUE(Empty(folder, &reported));
  EXPECT_EQ(reported, "");
  EXPECT_TRUE(IsDirectory(folder));
  EXPECT_TRUE(ListTree(folder).empty());
}

TEST(TreeDeleteTest, MissingFolderFailsWithoutReportingEntries) {
  ScopedTempDir temp;
  std::string reported;
  EXPECT_FALSE(Empty(temp / "missing", &reported));
  EXPECT_EQ(reported, "");
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
  EXPECT_TRUE(Empty(folder));
  EXPECT_TRUE(ListTree(folder).empty());
  EXPECT_EQ(ReadFile(temp / "outside/keep.txt"), "keep");
  EXPECT_EQ(ReadFile(temp / "outside_file.txt"), "file");
}

TEST(TreeDeleteTest, EntriesThatCannotBeRemovedAreReportedAndTheWalkGoesOn) {
  ScopedTempDir temp;
  const std::string folder = temp / "project";
  WriteFile(folder + "/locked/stuck.txt", "x");
  WriteFile(folder + "/free/gone.txt", "y");
  WriteFile(folder + "/gone.txt", "z");
  // Owned by root: the unprivileged walk may remove entries only from the writable folders.
  ASSERT_EQ(chmod(folder.c_str(), 0777), 0);
  ASSERT_EQ(chmod((folder + "/free").c_str(), 0777), 0);
  ASSERT_EQ(chmod((folder + "/locked").c_str(), 0555), 0);
  const int status = RunUnprivileged([&] {
    std::string reported;
    const bool emptied = Empty(folder, &reported);
    return !emptied && reported == "file " + folder + "/locked/stuck.txt: Permission denied\n" +
                                       "dir " + folder + "/locked: Directory not empty\n"
               ? 0
               : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ListTree(folder), (std::set<std::string>{"locked/", "locked/stuck.txt"}));
}

TEST(TreeDeleteTest, RemovesPathsLongerThan300Characters) {
  ScopedTempDir temp;
  const std::string folder = temp / "project";
  const std::string deep =
      folder + "/" + std::string(100, 'a') + "/" + std::string(100, 'b') + "/" + std::string(100, 'c');
  WriteFile(deep + "/file.txt", "x");
  ASSERT_GT(deep.size(), 300u);
  EXPECT_TRUE(Empty(folder));
  EXPECT_TRUE(ListTree(folder).empty());
}

}  // namespace
