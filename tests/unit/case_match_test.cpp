// Tests of finding a path on disk when its letter case differs from the written one.
#include "fs/case_match.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "support/test_support.h"

namespace {

TEST(CaseMatchTest, ResolvesSegmentBySegment) {
  ScopedTempDir temp;
  WriteFile(temp / "Inc/delay.h", "");
  WriteFile(temp / "Inc/Dup.h", "");
  WriteFile(temp / "Inc/DUP.h", "");
  WriteFile(temp / "inc2/exact.h", "");
  WriteFile(temp / "inc2/EXACT.h", "");

  struct Case {
    std::string base;
    std::string written;
    CaseMatch match;
    std::string relative;
  };
  const Case cases[] = {
      {temp.path(), "Inc/delay.h", CaseMatch::kExact, "Inc/delay.h"},
      {temp.path(), "inc/Delay.H", CaseMatch::kIgnoringCase, "Inc/delay.h"},
      {temp.path(), "./INC//delay.h", CaseMatch::kIgnoringCase, "./Inc/delay.h"},
      // The segment that exists as written is taken, though another spelling exists too.
      {temp.path(), "INC2/exact.h", CaseMatch::kIgnoringCase, "inc2/exact.h"},
      {temp.path(), "Inc/dup.h", CaseMatch::kAmbiguous, ""},
      {temp.path(), "Inc/missing.h", CaseMatch::kNone, ""},
      {temp.path(), "missing/delay.h", CaseMatch::kNone, ""},
      {temp.path(), "Inc/delay.h/below", CaseMatch::kNone, ""},
      {"", temp / "INC/DELAY.h", CaseMatch::kIgnoringCase, temp / "Inc/delay.h"},
  };
  // One resolver for all: the folders it listed for one path answer the next as the disk does.
  CaseResolver resolver;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    CaseResolution found;
    EXPECT_TRUE(resolver.Resolve(c.base, c.written, &found).ok());
    EXPECT_EQ(found.match, c.match);
    EXPECT_EQ(found.relative, c.relative);
    const bool absolute = c.written[0] == '/';
    EXPECT_EQ(found.path, c.relative.empty() || absolute ? c.relative : c.base + "/" + c.relative);
  }
}

TEST(CaseMatchTest, FolderThatCannotBeListedFailsNamingIt) {
  ScopedTempDir temp;
  WriteFile(temp / "locked/Inc/delay.h", "");
  const std::string locked = temp / "locked";
  // Searchable but not readable: a name as written is found, one in other case is not.
  ASSERT_EQ(chmod(locked.c_str(), 0311), 0);
  const int status = RunUnprivileged([&] {
    CaseResolution found;
    CaseResolver resolver;
    const Result exact = resolver.Resolve(locked, "Inc/delay.h", &found);
    if (!exact.ok() || found.match != CaseMatch::kExact) return 1;
    const Result other = resolver.Resolve(locked, "inc/delay.h", &found);
    if (other.ok() || other.path() != locked || other.systemError() != EACCES) return 2;
    return found.match == CaseMatch::kNone && found.path.empty() ? 0 : 3;
  });
  chmod(locked.c_str(), 0755);
  EXPECT_EQ(status, 0);
}

// A listing says a name is there only when an entry has exactly that name: another letter case,
// a missing or unreadable folder, say nothing is.
TEST(CaseMatchTest, AListingNamesOnlyWhatIsThereAsWritten) {
  ScopedTempDir temp;
  WriteFile(temp / "src/Main.c", "");
  WriteFile(temp / "src/util.c", "");
  CaseResolver resolver;
  EXPECT_TRUE(resolver.ListsExactly(temp / "src", "Main.c"));
  EXPECT_TRUE(resolver.ListsExactly(temp / "src", "util.c"));
  EXPECT_FALSE(resolver.ListsExactly(temp / "src", "main.c"));
  EXPECT_FALSE(resolver.ListsExactly(temp / "src", "UTIL.C"));
  EXPECT_FALSE(resolver.ListsExactly(temp / "src", "gone.c"));
  EXPECT_FALSE(resolver.ListsExactly(temp / "none", "Main.c"));
  EXPECT_FALSE(resolver.ListsExactly(temp / "src/Main.c", "x"));
}

}  // namespace
