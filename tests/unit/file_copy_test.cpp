// Tests of CopyFile: copied bytes, results, modes and the failures it names, through the kernel
// copy and through the read/write loop that takes over when the kernel refuses.
#include "fs/file_copy.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fs/file_write.h"
#include "fs/tree_copy.h"
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

ssize_t RealKernelCopy(int in, int out, size_t length) {
  return copy_file_range(in, nullptr, out, nullptr, length, 0);
}

// A kernel that refuses at once.
template <int kErrno>
ssize_t Refuses(int, int, size_t) {
  errno = kErrno;
  return -1;
}

// A kernel that moves 1,000 bytes a call and, from offset 3,000 of the source on, refuses with
// `kErrno`, or reports the end when kErrno is 0: the loop must go on from where it stopped.
template <int kErrno>
ssize_t StopsAt3000(int in, int out, size_t length) {
  if (lseek(in, 0, SEEK_CUR) >= 3000) {
    errno = kErrno;
    return kErrno == 0 ? 0 : -1;
  }
  return copy_file_range(in, nullptr, out, nullptr, std::min<size_t>(length, 1000), 0);
}

struct Kernel {
  const char* name;
  KernelCopy copy;
};

const Kernel kKernels[] = {
    {"kernel copies", RealKernelCopy},
    {"refuses: ENOSYS", Refuses<ENOSYS>},
    {"refuses: EXDEV", Refuses<EXDEV>},
    {"refuses: EINVAL", Refuses<EINVAL>},
    {"refuses: EOPNOTSUPP", Refuses<EOPNOTSUPP>},
    {"refuses after 3000 bytes", StopsAt3000<EXDEV>},
    {"ends early after 3000 bytes", StopsAt3000<0>},
};

std::string PseudoRandomBytes(size_t size) {
  std::string bytes(size, '\0');
  uint32_t state = 12345;
  for (char& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

mode_t ModeOf(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST(CopyFileTest, CopiesEveryByteOnEitherPath) {
  struct Case {
    const char* name;
    std::string content;
    std::string oldDestination;  // empty: the destination does not exist yet
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"binary", std::string("a\0b\r\n\xff", 6), ""},
      // Larger than the buffer of the read/write loop, and not a multiple of it.
      {"several buffers", PseudoRandomBytes(600 * 1024 + 7), ""},
      {"overwrite longer", "short", std::string(5000, 'o')},
      {"empty over content", "", "old"},
  };
  ScopedTempDir temp;
  for (const Kernel& kernel : kKernels) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(kernel.name) + ", " + c.name);
      const std::string source = temp / "source";
      const std::string destination = temp / "destination";
      WriteFile(source, c.content);
      RemoveTree(destination);
      if (!c.oldDestination.empty()) WriteFile(destination, c.oldDestination);
      Result result;
      std::string out;
      std::string err = CaptureStderr([&] {
        out = CaptureStdout([&] { result = CopyFileWith(source, destination, kernel.copy); });
      });
      EXPECT_TRUE(result.ok()) << result.Describe();
      EXPECT_TRUE(Exists(destination));
      EXPECT_TRUE(ReadFile(destination) == c.content) << "the copy differs";
      EXPECT_EQ(out, "");
      EXPECT_EQ(err, "");
    }
  }
  // Between file systems the kernel refuses with EXDEV, unless it can copy across them.
  const std::string shared = "/dev/shm/qm26-copy-test-" + std::to_string(getpid());
  const std::string bytes = PseudoRandomBytes(300 * 1024);
  WriteFile(shared, bytes);
  if (ReadFile(shared) == bytes) {
    EXPECT_TRUE(CopyFile(shared, temp / "from-shm").ok());
    EXPECT_TRUE(ReadFile(temp / "from-shm") == bytes) << "the copy from /dev/shm differs";
  }
  unlink(shared.c_str());
  // stat gives no size for the files of /proc, yet they have content.
  std::ostringstream version;
  version << std::ifstream("/proc/version").rdbuf();
  ASSERT_FALSE(version.str().empty());
  EXPECT_TRUE(CopyFile("/proc/version", temp / "version").ok());
  EXPECT_EQ(ReadFile(temp / "version"), version.str());
}

TEST(CopyFileTest, FailuresNameThePathAndReasonAndCloseEveryFile) {
  ScopedTempDir temp;
  WriteFile(temp / "small", "a few bytes");
  WriteFile(temp / "large", std::string(400000, 'z'));
  MakeDirs(temp / "folder");
  struct Case {
    const char* name;
    std::string source;
    std::string destination;
    std::string expectedReport;
  };
  const Case cases[] = {
      {"missing source", temp / "missing", temp / "copy1",
       temp / "missing" + ": No such file or directory"},
      {"destination folder missing", temp / "small", temp / "none/copy2",
       temp / "none/copy2" + ": No such file or directory"},
      {"destination is a folder", temp / "small", temp / "folder",
       temp / "folder" + ": Is a directory"},
      {"full disk, small file", temp / "small", "/dev/full", "/dev/full: No space left on device"},
      {"full disk, large file", temp / "large", "/dev/full", "/dev/full: No space left on device"},
      // Opening a folder for reading works on Linux; reading it fails.
      {"source is a folder", temp / "folder", temp / "copy3",
       temp / "folder" + ": Is a directory"},
  };
  for (const Kernel& kernel : kKernels) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(kernel.name) + ", " + c.name);
      const int descriptorsBefore = OpenDescriptorCount();
      Result result;
      const std::string err =
          CaptureStderr([&] { result = CopyFileWith(c.source, c.destination, kernel.copy); });
      EXPECT_FALSE(result.ok());
      EXPECT_EQ(result.Describe(), c.expectedReport);
      EXPECT_EQ(err, "");
      EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
    }
  }
  // A failed open of the source creates nothing.
  EXPECT_FALSE(Exists(temp / "copy1"));
}

// A destination that may not grow past 64 KiB fails part way like a full disk: inside the kernel
// copy of a regular file, and again in the read/write loop.
TEST(CopyFileTest, WriteThatRunsOutOfRoomMidwayFails) {
  ScopedTempDir temp;
  const std::string source = temp / "image.axf";
  WriteFile(source, PseudoRandomBytes(1 << 20));
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  // Past the limit the kernel sends SIGXFSZ, which would end the test process.
  const sighandler_t savedHandler = std::signal(SIGXFSZ, SIG_IGN);
  for (const Kernel& kernel : {kKernels[0], kKernels[2]}) {
    SCOPED_TRACE(kernel.name);
    const std::string destination = temp / "copy";
    RemoveTree(destination);
    struct rlimit limit = saved;
    limit.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &limit);
    const Result result = CopyFileWith(source, destination, kernel.copy);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result.Describe(), destination + ": File too large");
    EXPECT_EQ(ReadFile(destination).size(), 64u * 1024);
  }
  std::signal(SIGXFSZ, savedHandler);
}

TEST(CopyFileTest, NewFileGetsModeFromUmaskAndExistingFileKeepsItsMode) {
  ScopedTempDir temp;
  const std::string source = temp / "source";
  WriteFile(source, "data");
  chmod(source.c_str(), 0700);
  const mode_t savedUmask = umask(027);
  for (const Kernel& kernel : {kKernels[0], kKernels[1]}) {
    SCOPED_TRACE(kernel.name);
    const std::string fresh = temp / "fresh";
    const std::string existing = temp / "existing";
    RemoveTree(fresh);
    WriteFile(existing, "old content");
    chmod(existing.c_str(), 0604);
    EXPECT_TRUE(CopyFileWith(source, fresh, kernel.copy).ok());
    EXPECT_TRUE(CopyFileWith(source, existing, kernel.copy).ok());
    EXPECT_EQ(ModeOf(fresh), 0640u);
    EXPECT_EQ(ModeOf(existing), 0604u);
    EXPECT_EQ(ReadFile(existing), "data");
  }
  umask(savedUmask);
}

// A link in the MDK folder may lead back to the file the copy writes: truncating the destination
// would empty the source.
TEST(CopyFileTest, CopyOntoItselfLeavesTheFileWhole) {
  ScopedTempDir temp;
  const std::string file = temp / "project/preferences.ini";
  const std::string content = "[device]\nchipTarget=QM26R620AVGT7\n";
  WriteFile(file, content);
  MakeDirs(temp / "mdk");
  ASSERT_EQ(symlink("../project/preferences.ini", (temp / "mdk/preferences.ini").c_str()), 0);
  ASSERT_EQ(link(file.c_str(), (temp / "hard").c_str()), 0);
  const std::string sources[] = {temp / "mdk/preferences.ini", temp / "hard", file};
  for (const std::string& source : sources) {
    SCOPED_TRACE(source);
    EXPECT_TRUE(CopyFile(source, file).ok());
    EXPECT_EQ(ReadFile(file), content);
  }
}

}  // namespace

namespace {

// A link left where the run writes must never lead the write elsewhere: a file copy, a whole-file
// write and a tree copy that meet one fail, naming it, and the file outside keeps its bytes.
TEST(CopyFileTest, NothingIsWrittenThroughALink) {
  ScopedTempDir temp;
  WriteFile(temp / "outside/keep.txt", "outside");
  WriteFile(temp / "source.txt", "new");
  WriteFile(temp / "tree/keep.txt", "new");
  MakeDirs(temp / "project");
  ASSERT_EQ(symlink((temp / "outside/keep.txt").c_str(), (temp / "project/file").c_str()), 0);
  ASSERT_EQ(symlink((temp / "outside").c_str(), (temp / "project/tree").c_str()), 0);

  const std::string inTheWay = ": a symbolic link is in the way (never written through)";
  EXPECT_EQ(CopyFile(temp / "source.txt", temp / "project/file").Describe(),
            temp / "project/file" + inTheWay);
  EXPECT_EQ(WriteWholeFile(temp / "project/file", "new").Describe(),
            temp / "project/file" + inTheWay);
  std::string reported;
  const CopySink sink{nullptr, [&](const std::string&, const Result& why) {
                        reported += why.Describe() + "\n";
                      }};
  EXPECT_FALSE(CopyDirectoryTree(temp / "tree", temp / "project/tree", sink).ok());
  EXPECT_EQ(reported, temp / "project/tree" + inTheWay + "\n");
  EXPECT_EQ(ReadFile(temp / "outside/keep.txt"), "outside");
}

}  // namespace
