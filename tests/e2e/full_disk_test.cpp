// Runs on a small file system that fills up: whatever the free space, a run ends with its message
// and 255, or gives a complete, well-formed project. The file system is a tmpfs that the test
// mounts itself, which needs root; CI runs the tests as root. Where mounting is refused the test
// says so and is skipped.
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/fixture_tree.h"
#include "e2e/xml_probe.h"
#include "support/test_support.h"

namespace {

constexpr size_t kPage = 4096;

// A tmpfs mounted at a folder for the life of the object.
class ScopedTmpfs {
 public:
  ScopedTmpfs(const std::string& where, const std::string& options) : where_(where) {
    MakeDirs(where);
    if (mount("tmpfs", where.c_str(), "tmpfs", 0, options.c_str()) == 0) {
      mounted_ = true;
    } else {
      error_ = std::strerror(errno);
    }
  }
  ~ScopedTmpfs() {
    if (mounted_) umount2(where_.c_str(), MNT_DETACH);
  }
  ScopedTmpfs(const ScopedTmpfs&) = delete;
  ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& error() const { return error_; }
  bool MakeReadOnly() const {
    return mount(nullptr, where_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  std::string where_;
  bool mounted_ = false;
  std::string error_;
};

size_t FreeBytes(const std::string& path) {
  struct statvfs status;
  if (statvfs(path.c_str(), &status) != 0) return 0;
  return static_cast<size_t>(status.f_bavail) * status.f_frsize;
}

// Leaves exactly `free` bytes free on the file system of `filler` by sizing that file.
void LeaveFree(const std::string& filler, size_t free) {
  unlink(filler.c_str());
  const size_t available = FreeBytes(filler.substr(0, filler.rfind('/')));
  ASSERT_GE(available, free);
  if (available == free) return;
  const int fd = open(filler.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(posix_fallocate(fd, 0, static_cast<off_t>(available - free)), 0);
  close(fd);
  ASSERT_EQ(FreeBytes(filler.substr(0, filler.rfind('/'))), free);
}

// Pads the file at `path` with a comment between `open` and `close` to one byte short of a page,
// so that a rewrite that makes it any longer needs one more page.
void PadToAPage(const std::string& path, const std::string& open, const std::string& close) {
  std::string content = ReadFile(path);
  const size_t frame = open.size() + close.size() + 1;
  ASSERT_LT(content.size() + frame, kPage);
  content += open + std::string(kPage - 1 - frame - content.size(), 'x') + close + "\n";
  WriteFile(path, content);
}

bool IsFailureMessage(const std::string& line) {
  static const std::set<std::string> kMessages = {
      "Failed to copy the tamplate file.", "Failed to copy the MDK project folder.",
      "Failed to copy the ld file.",       "Failed to copy the .s file.",
      "Save file .project failed!",        "Save file .cproject failed!"};
  return kMessages.count(line) > 0 || line.rfind("Failed to write file: ", 0) == 0 ||
         line.rfind("Failed to create folder: ", 0) == 0;
}

TEST(FullDiskTest, EveryRunFailsWithItsMessageOrGivesACompleteProject) {
  ScopedTempDir dir;
  const std::string disk = dir / "disk";
  ScopedTmpfs tmpfs(disk, "size=1m,mode=0755");
  if (!tmpfs.mounted()) {
    GTEST_SKIP() << "mounting a small tmpfs needs root (CI runs the tests as root); it was refused: "
                 << tmpfs.error();
  }
  // The template and the BSP on the ordinary disk; the MDK project on the small one, since the
  // project is generated beside it.
  // Every file that the run rewrites grows past a page, so that each rewrite can meet a full disk.
  const std::string tpl = dir / "tpl/QM26R620A/QM26_IDE";
  WriteTemplate(tpl);
  WriteBspSeries(dir / "bsp/QM26R620A_625", "cm4", "QM26R620A", "startup_qm26r620a_625.s", "G");
  PadToAPage(tpl + "/.project", "<!--", "-->");
  PadToAPage(tpl + "/.cproject", "<!--", "-->");
  PadToAPage(tpl + "/preferences.ini", "; ", "");
  PadToAPage(dir / "bsp/QM26R620A_625/libraries/cmsis/cm4/device_support/startup/gcc/linker/"
                   "QM26R620AxG_FLASH.ld",
             "/*", "*/");
  const std::string mdk = disk + "/work/mdk/p.uvprojx";
  WriteFile(mdk, MdkProjectXml("QM26R620AVGT7", {"..\\src\\main.c", "..\\src\\board.c"}));
  WriteFile(disk + "/work/src/main.c", "int main(void) { return 0; }\n");
  WriteFile(disk + "/work/src/board.c", "int board;\n");
  WriteFile(disk + "/work/mdk/retarget.c", std::string(6000, 'r'));
  WriteFile(disk + "/work/mdk/Objects/p.axf", std::string(20000, 'x'));
  const auto inputs = Snapshot(disk + "/work");
  const std::string project = disk + "/work/qm26_ide_proj";
  const std::vector<std::string> args = {"-MDKPATH", mdk, "-TEMPLATESPATH", dir / "tpl",
                                         "-BSPPATH", dir / "bsp"};

  // What one complete run takes.
  const size_t before = FreeBytes(disk);
  ASSERT_EQ(RunGeneratorBinary(args, dir.path()).exitStatus, 0);
  const size_t needed = before - FreeBytes(disk);
  const auto complete = Snapshot(project);
  RemoveTree(project);

  int failed = 0;
  int succeeded = 0;
  for (size_t free = 0; free <= needed + 2 * kPage; free += kPage) {
    SCOPED_TRACE("free bytes: " + std::to_string(free));
    RemoveTree(project);
    LeaveFree(disk + "/filler", free);
    const RunResult run = RunGeneratorBinary(args, dir.path());
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_FALSE(lines.empty());
    if (run.exitStatus == 0) {
      ++succeeded;
      EXPECT_EQ(lines.back(), "Project path: " + disk + "/work/mdk/../qm26_ide_proj");
      EXPECT_EQ(Snapshot(project), complete);
      EXPECT_TRUE(ReadProjectDescription(project + "/.project").loaded);
      EXPECT_EQ(OptionValues(project + "/.cproject", "config.elf.release", "c.linker.scriptfile"),
                std::vector<std::string>{
                    "\"${workspace_loc:/${ProjName}}/ldscripts/QM26R620AxG_FLASH.ld\""});
    } else {
      ++failed;
      EXPECT_EQ(run.exitStatus, 255);
      EXPECT_TRUE(IsFailureMessage(lines.back())) << lines.back();
      EXPECT_EQ(std::count(lines.begin(), lines.end(), "Successfully!!! "), 0);
    }
    EXPECT_EQ(Snapshot(disk + "/work", "qm26_ide_proj"), inputs);
  }
  // The sweep crossed from runs that cannot finish to runs that can.
  EXPECT_GT(failed, 0);
  EXPECT_GT(succeeded, 0);

  // A file system that takes no writes at all.
  RemoveTree(project);
  unlink((disk + "/filler").c_str());
  ASSERT_TRUE(tmpfs.MakeReadOnly());
  const RunResult run = RunGeneratorBinary(args, dir.path());
  EXPECT_EQ(run.exitStatus, 255);
  EXPECT_EQ(SplitLines(run.out).back(), "Failed to create folder: " + disk +
                                            "/work/mdk/../qm26_ide_proj: Read-only file system");
}

}  // namespace
