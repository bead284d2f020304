// Tests of directory listings: the entry kinds the tree walks act on, with and without a kind.
#include "fs/directory_list.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {

TEST(DirectoryListTest, UnknownKindsAndLinksAreDecidedByStatus) {
  ScopedTempDir temp;
  WriteFile(temp / "file", "x");
  MakeDirs(temp / "dir");
  ASSERT_EQ(symlink("file", (temp / "link_file").c_str()), 0);
  ASSERT_EQ(symlink("dir", (temp / "link_dir").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (temp / "dangling").c_str()), 0);
  ASSERT_EQ(mkfifo((temp / "fifo").c_str(), 0644), 0);

  const EntryKind kFile = EntryKind::kRegularFile;
  const EntryKind kDir = EntryKind::kDirectory;
  const EntryKind kOther = EntryKind::kOther;
  struct Case {
    const char* name;
    unsigned char direntType;
    EntryKind following;
    EntryKind notFollowing;
  };
  const Case cases[] = {
      {"file", DT_UNKNOWN, kFile, kFile},
      {"dir", DT_UNKNOWN, kDir, kDir},
      {"link_file", DT_UNKNOWN, kFile, kOther},
      {"link_dir", DT_UNKNOWN, kDir, kOther},
      {"link_file", DT_LNK, kFile, kOther},
      {"link_dir", DT_LNK, kDir, kOther},
      {"dangling", DT_LNK, kOther, kOther},
      {"dangling", DT_UNKNOWN, kOther, kOther},
      {"fifo", DT_UNKNOWN, kOther, kOther},
      {"fifo", DT_FIFO, kOther, kOther},
      {"missing", DT_UNKNOWN, kOther, kOther},
      // A reported kind is taken as it is, without a status query.
      {"missing", DT_REG, kFile, kFile},
      {"missing", DT_DIR, kDir, kDir},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " type " + std::to_string(c.direntType));
    EXPECT_EQ(ResolveEntryKind(temp / c.name, c.direntType, Links::kFollow, nullptr), c.following);
    EXPECT_EQ(ResolveEntryKind(temp / c.name, c.direntType, Links::kNoFollow, nullptr),
              c.notFollowing);
  }
}

TEST(DirectoryListTest, PathExistsFollowsLinks) {
  ScopedTempDir temp;
  WriteFile(temp / "file", "x");
  ASSERT_EQ(symlink("file", (temp / "link").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (temp / "dangling").c_str()), 0);
  EXPECT_TRUE(PathExists(temp / "file"));
  EXPECT_TRUE(PathExists(temp / "link"));
  EXPECT_TRUE(PathExists(temp.path()));
  EXPECT_FALSE(PathExists(temp / "dangling"));
  EXPECT_FALSE(PathExists(temp / "missing"));
  EXPECT_FALSE(PathExists(temp / "file/below"));
}

}  // namespace
