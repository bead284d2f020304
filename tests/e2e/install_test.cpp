// The tool as users get it: installed by cmake --install, packed as a .deb, with its man page.
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/version.h"
#include "e2e/fixture_tree.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr char kPlaceholder[] = "<examples>";

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\n") - first + 1);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

struct DemoRun {
  RunResult run;
  std::string project;  // the generated project folder
};

// Converts a copy of the demo below `examples` from the scratch folder `scratch` with `binary`,
// using the templates and the BSP below `examples`.
DemoRun ConvertDemo(const std::string& binary, const std::string& examples, const std::string& scratch) {
  CopyTree(examples + "/demo", scratch);
  DemoRun result;
  result.run = RunCommand({binary, "-MDKPATH", "mdk/demo.uvprojx", "-TEMPLATESPATH",
                           examples + "/QM26IDE_Templates", "-BSPPATH", examples + "/bsp"},
                          scratch);
  // The examples folder differs between the two runs; the rest of the output must not.
  result.run.out = Replaced(result.run.out, examples, kPlaceholder);
  result.project = scratch + "/qm26_ide_proj";
  return result;
}

TEST(InstallTest, InstalledToolConvertsTheInstalledDemoLikeTheBuildTree) {
  ScopedTempDir dir;
  const std::string stage = dir / "stage";
  const RunResult install =
      RunCommand({"cmake", "--install", QM26_BUILD_DIR}, dir.path(), {"DESTDIR=" + stage});
  ASSERT_EQ(install.exitStatus, 0) << install.out << install.err;

  // The whole example tree is installed, and its links stay inside the installed copy.
  const std::string examples = stage + kInstalledDataDir;
  EXPECT_EQ(ListTree(examples), ListTree(SourceDir() + "/examples"));
  const std::string stageRoot = fs::canonical(stage).string() + "/";
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(examples)) {
    if (!entry.is_symlink()) continue;
    EXPECT_EQ(fs::canonical(entry.path()).string().rfind(stageRoot, 0), 0u) << entry.path();
  }

  const std::string installedBinary = stage + QM26_INSTALL_BINDIR + "/qm26-ide-gen";
  const DemoRun installed = ConvertDemo(installedBinary, examples, dir / "installed");
  const DemoRun reference = ConvertDemo(QM26_BINARY, SourceDir() + "/examples", dir / "reference");
  ASSERT_EQ(installed.run.exitStatus, 0) << installed.run.out << installed.run.err;
  ASSERT_EQ(reference.run.exitStatus, 0) << reference.run.out << reference.run.err;
  EXPECT_EQ(installed.run.err, "");

  const SplitOutput installedOut = SeparateCopyLines(installed.run.out);
  const SplitOutput referenceOut = SeparateCopyLines(reference.run.out);
  EXPECT_EQ(installedOut.otherLines, referenceOut.otherLines);
  EXPECT_EQ(installedOut.copyLines, referenceOut.copyLines);

  const std::set<std::string> files = ListTree(installed.project);
  ASSERT_EQ(files, ListTree(reference.project));
  EXPECT_NE(files.count("ldscripts/QM26R620AxG_FLASH.ld"), 0u);
  for (const std::string& rel : files) {
    if (rel.back() == '/') continue;
    EXPECT_EQ(ReadFile(installed.project + "/" + rel), ReadFile(reference.project + "/" + rel)) << rel;
  }
}

TEST(InstallTest, ManPageRendersWithoutWarnings) {
  const RunResult groff = RunCommand({"groff", "-ww", "-z", "-man", QM26_MAN_PAGE}, "");
  EXPECT_EQ(groff.exitStatus, 0) << groff.err;
  EXPECT_EQ(groff.err, "");
  EXPECT_EQ(groff.out, "");

  // The compressed page as installed, through man itself.
  const RunResult man = RunCommand({"man", "--warnings", "-l", std::string(QM26_MAN_PAGE) + ".gz"}, "",
                                   {"MANWIDTH=80", "MANPAGER=cat", "PAGER=cat"});
  EXPECT_EQ(man.exitStatus, 0) << man.err;
  EXPECT_EQ(man.err, "");
  EXPECT_NE(man.out.find(std::string(kInstalledDataDir) + "/QM26IDE_Templates"), std::string::npos);
  EXPECT_NE(man.out.find(std::string("qm26-ide-gen ") + kProgramVersion), std::string::npos);
}

TEST(PackageTest, DebianPackageHoldsTheToolItsManPageAndTheExamples) {
  if (RunCommand({"dpkg-deb", "--version"}, "").exitStatus == 127) {
    GTEST_SKIP() << "dpkg-deb is not installed: the Debian package is neither built nor checked";
  }
  ScopedTempDir dir;
  const RunResult build =
      RunCommand({SourceDir() + "/scripts/build-package.sh", dir / "build", dir / "out"}, dir.path());
  ASSERT_EQ(build.exitStatus, 0) << build.out << build.err;

  const std::string arch = Trimmed(RunCommand({"dpkg", "--print-architecture"}, "").out);
  const std::string deb =
      dir / ("out/qm26-ide-gen_" + std::string(kProgramVersion) + "_" + arch + ".deb");
  ASSERT_TRUE(Exists(deb)) << build.out;

  ASSERT_EQ(RunCommand({"dpkg-deb", "-x", deb, dir / "root"}, "").exitStatus, 0);
  std::set<std::string> expected = {
      "usr/", "usr/bin/", "usr/bin/qm26-ide-gen", "usr/share/", "usr/share/doc/",
      "usr/share/doc/qm26-ide-gen/", "usr/share/doc/qm26-ide-gen/copyright",
      "usr/share/doc/qm26-ide-gen/changelog.gz", "usr/share/man/",
      "usr/share/man/man1/", "usr/share/man/man1/qm26-ide-gen.1.gz", "usr/share/qm26-ide-gen/"};
  for (const std::string& rel : ListTree(SourceDir() + "/examples")) {
    expected.insert("usr/share/qm26-ide-gen/" + rel);
  }
  EXPECT_EQ(ListTree(dir / "root"), expected);

  const auto field = [&](const std::string& name) {
    return Trimmed(RunCommand({"dpkg-deb", "-f", deb, name}, "").out);
  };
  EXPECT_EQ(field("Package"), "qm26-ide-gen");
  EXPECT_EQ(field("Version"), kProgramVersion);
  EXPECT_EQ(field("Architecture"), arch);
  EXPECT_NE(field("Maintainer"), "");
  EXPECT_NE(field("Description"), "");
  // dpkg-shlibdeps names the libraries' packages; TinyXML's is the one we must not miss.
  const std::string depends = field("Depends");
  RecordProperty("Depends", depends);
  std::set<std::string> packages;
  std::stringstream list(depends);
  for (std::string item; std::getline(list, item, ',');) {
    std::stringstream words(item);
    std::string name;
    words >> name;
    packages.insert(name);
  }
  EXPECT_NE(packages.count("libc6"), 0u) << depends;
  EXPECT_NE(packages.count("libstdc++6"), 0u) << depends;
  const auto tinyxml = packages.lower_bound("libtinyxml");
  EXPECT_TRUE(tinyxml != packages.end() && tinyxml->rfind("libtinyxml", 0) == 0) << depends;

  // The packed binary (a release build, stripped) runs, and its help names the folders the
  // package installs the examples into.
  const std::string binary = dir / "root/usr/bin/qm26-ide-gen";
  const RunResult version = RunCommand({binary, "--version"}, dir.path());
  EXPECT_EQ(version.exitStatus, 0);
  const std::vector<std::string> lines = SplitLines(version.out);
  ASSERT_EQ(lines.size(), 6u) << version.out;
  EXPECT_EQ(lines[4], std::string("qm26-ide-gen ") + kProgramVersion);
  const RunResult help = RunCommand({binary, "--help"}, dir.path());
  EXPECT_NE(help.out.find("-TEMPLATESPATH /usr/share/qm26-ide-gen/QM26IDE_Templates"), std::string::npos)
      << help.out;

  // The change log is the one in the source tree.
  const RunResult changelog =
      RunCommand({"gzip", "-dc", dir / "root/usr/share/doc/qm26-ide-gen/changelog.gz"}, "");
  EXPECT_EQ(changelog.out, ReadFile(SourceDir() + "/CHANGELOG.md"));

  // Debian's own checker finds no error in the package.
  const RunResult lintian = RunCommand({"lintian", deb}, dir.path());
  if (lintian.exitStatus == 127) {
    std::cout << "lintian is not installed: the package was not checked by it\n";
    return;
  }
  for (const std::string& line : SplitLines(lintian.out)) {
    EXPECT_NE(line.rfind("E: ", 0), 0u) << line;
  }
  EXPECT_EQ(lintian.exitStatus, 0) << lintian.out << lintian.err;
}

}  // namespace
