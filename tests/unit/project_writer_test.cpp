// Tests of the ".project" writer: the location rule and the rewritten document.
#include "ide/project_writer.h"

#include <sys/stat.h>

#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "fs/directory_list.h"
#include "mdk/project_info.h"
#include "support/test_support.h"

namespace {

// The files of a filled project folder, listed as the driver lists them for PlanLinks.
std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> files;
  ListFilesBelow(folder, &files);
  return files;
}

TEST(ProjectWriterTest, LocationRule) {
  struct Case {
    const char* filePath;
    int parents;
    const char* remaining;
  };
  const Case cases[] = {
      {"../src/main.c", 1, "src/main.c"},
      {"..\\src\\main.c", 1, "src/main.c"},
      {"../../../libraries/drivers/src/gpio.c", 3, "libraries/drivers/src/gpio.c"},
      {"src/main.c", 0, "src/main.c"},
      {"main.c", 0, "main.c"},
      // A folder entered and left again is no climb.
      {"../src/../inc/util.c", 1, "inc/util.c"},
      {"..\\src\\..\\inc\\util.c", 1, "inc/util.c"},
      {"../a/b/../../c.c", 1, "c.c"},
      {"../../x/../y/z.c", 2, "y/z.c"},
      {"src/../main.c", 0, "main.c"},
      {"../..name/a.c", 1, "..name/a.c"},
      // Only whole segments count: "." is no name, and ".." inside a name belongs to it.
      {"src/./../inc/x.c", 0, "inc/x.c"},
      {"..\\odd..\\a.c", 1, "odd../a.c"},
      {"../x.../y.c", 1, "x.../y.c"},
      {".\\..\\..\\lib\\a.c", 2, "lib/a.c"},
  };
  for (const Case& c : cases) {
    const LinkLocation location = LocateLinkedFile(c.filePath);
    EXPECT_FALSE(location.isAbsolute) << c.filePath;
    EXPECT_EQ(location.parentCount, c.parents) << c.filePath;
    EXPECT_EQ(location.remainingPath, c.remaining) << c.filePath;
  }
  // An absolute path is kept whole, with "/", and never climbs.
  const std::pair<const char*, const char*> absolute[] = {{"C:\\Keil\\lib\\a.c", "C:/Keil/lib/a.c"},
                                                         {"/opt/sdk/../b.c", "/opt/sdk/../b.c"}};
  for (const auto& [filePath, path] : absolute) {
    const LinkLocation location = LocateLinkedFile(filePath);
    EXPECT_TRUE(location.isAbsolute) << filePath;
    EXPECT_EQ(location.parentCount, 0) << filePath;
    EXPECT_EQ(location.remainingPath, path) << filePath;
  }
  EXPECT_EQ(LocationUri(LocateLinkedFile("../src/../inc/util.c")),
            "PARENT-1-PROJECT_LOC/inc/util.c");
  EXPECT_EQ(LocationUri(LocateLinkedFile("src/main.c")), "PARENT-0-PROJECT_LOC/src/main.c");
  // A URI path escapes what Java's URI escapes; a NUL byte too, which a lookup in the table of
  // kept characters would find as its end.
  constexpr char kPath[] = "my src/100%.c#?[]\"\x7f\x01\0-_.!~*'(),;:$&+=@/\xc3\xa9";
  EXPECT_EQ(EncodeUriPath(std::string(kPath, sizeof kPath - 1)),
            "my%20src/100%25.c%23%3F%5B%5D%22%7F%01%00-_.!~*'(),;:$&+=@/\xc3\xa9");
}

class ProjectWriterFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project_.targetName = "Demo Target";
    project_.groups = {
        {"Application",
         {{1, "main.c", "..\\src\\main.c"}, {1, "local.c", "./local.c"}, {1, "dup.c", "../d/dup.c"}}},
        {"Empty", {}},
        {"Drivers/Core",
         {{1, "gpio.c", "../../../libraries/gpio.c"},
          {1, "skip.c", ".\\skip.c"},
          {1, "util.c", "../src/../inc/util.c"},
          {1, "dup.c", "../d/dup.c"}}},
        // A C++ file is a file resource like any other; an absolute path needs a plain location.
        {"Cpp", {{8, "ctl.cpp", "..\\src\\ctl.cpp"}, {1, "sdk.c", "C:\\SDK\\sdk.c"}}},
    };
  }

  std::string Path() const { return dir_ / ".project"; }

  // Runs the writer on `content` (no file when null), expecting `result`; returns its output.
  std::string Generate(const char* content, bool result = true) {
    if (content != nullptr) WriteFile(Path(), content);
    bool actual = !result;
    const std::string out =
        CaptureStdout([&] {
          actual = GenerateProjectFile(project_, dir_.path(), PlanLinks(project_, FilesBelow(dir_.path())));
        });
    EXPECT_EQ(actual, result);
    return out;
  }

  ProjectInfo project_;
  ScopedTempDir dir_;
};

const char kLinkLines[] =
    "Add project file configuration: src/main.c\n"
    "Add project file configuration: d/dup.c\n"
    "Add project file configuration: libraries/gpio.c\n"
    "Add project file configuration: inc/util.c\n"
    "Add project file configuration: d/dup.c\n"
    "Add project file configuration: src/ctl.cpp\n"
    "Add project file configuration: C:/SDK/sdk.c\n";

std::vector<std::string> ChildNames(const TiXmlElement* element) {
  std::vector<std::string> names;
  for (const TiXmlElement* child = element->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    names.push_back(child->Value());
  }
  return names;
}

// Each link as "name|type|location", after checking its shape; a plain location (not a URI) is
// marked with "location:".
std::vector<std::string> Links(const TiXmlElement* linkedResources) {
  std::vector<std::string> links;
  for (const TiXmlElement* link = linkedResources->FirstChildElement(); link != nullptr;
       link = link->NextSiblingElement()) {
    EXPECT_STREQ(link->Value(), "link");
    EXPECT_EQ(link->FirstAttribute(), nullptr);
    const std::vector<std::string> names = ChildNames(link);
    EXPECT_EQ(names.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 2),
              (std::vector<std::string>{"name", "type"}));
    std::string text;
    for (const TiXmlElement* child = link->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
      EXPECT_EQ(child->FirstAttribute(), nullptr);
      text += std::string(text.empty() ? "" : "|") +
              (std::string(child->Value()) == "location" ? "location:" : "") +
              (child->GetText() ? child->GetText() : "");
    }
    links.push_back(text);
  }
  return links;
}

TEST_F(ProjectWriterFileTest, RewritesNameAndLinkedResources) {
  const std::vector<std::string> expectedLinks = {
      "Application/main.c|1|PARENT-1-PROJECT_LOC/src/main.c",
      "Application/dup.c|1|PARENT-1-PROJECT_LOC/d/dup.c",
      "Drivers/Core/gpio.c|1|PARENT-3-PROJECT_LOC/libraries/gpio.c",
      "Drivers/Core/util.c|1|PARENT-1-PROJECT_LOC/inc/util.c",
      "Drivers/Core/dup.c|1|PARENT-1-PROJECT_LOC/d/dup.c",
      "Cpp/ctl.cpp|1|PARENT-1-PROJECT_LOC/src/ctl.cpp",
      "Cpp/sdk.c|1|location:C:/SDK/sdk.c",
  };
  const char* kOld = "<link><name>old.c</name><type>1</type><locationURI>x</locationURI></link>";
  struct Case {
    std::string body;  // the root's children after "name"
    std::vector<std::string> children;
    std::string keptOldLink;  // a link expected in a surviving second "linkedResources"
  };
  const Case cases[] = {
      {"<comment/><natures><nature>n</nature></natures>",
       {"name", "comment", "natures", "linkedResources"}, ""},
      {std::string("<linkedResources>") + kOld + "</linkedResources><natures/>",
       {"name", "natures", "linkedResources"}, ""},
      {std::string("<linkedResources/><natures/><linkedResources>") + kOld + "</linkedResources>",
       {"name", "natures", "linkedResources", "linkedResources"}, "old.c|1|x"},
  };
  for (const Case& c : cases) {
    const std::string content = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<projectDescription><name>Template <b>x</b></name>" +
                                c.body + "</projectDescription>\n";
    EXPECT_EQ(Generate(content.c_str()), kLinkLines);

    TiXmlDocument document;
    ASSERT_TRUE(document.LoadFile(Path().c_str())) << c.body;
    const TiXmlElement* root = document.FirstChildElement();
    EXPECT_EQ(ChildNames(root), c.children) << c.body;
    const TiXmlElement* name = root->FirstChildElement("name");
    EXPECT_EQ(name->FirstChildElement(), nullptr);
    EXPECT_STREQ(name->GetText(), "Demo Target");
    EXPECT_EQ(Links(root->LastChild()->ToElement()), expectedLinks) << c.body;
    if (!c.keptOldLink.empty()) {
      const TiXmlElement* kept = root->LastChild()->PreviousSibling()->ToElement();
      EXPECT_EQ(Links(kept), std::vector<std::string>{c.keptOldLink});
    }
  }
}

TEST_F(ProjectWriterFileTest, NoFilesGiveEmptyLinkedResources) {
  project_.groups = {{"Empty", {}}, {"Local", {{1, "a.c", "./a.c"}, {1, "b.c", ".\\b.c"}}}};
  EXPECT_EQ(Generate("<projectDescription><name/><linkedResources><link/></linkedResources>"
                     "<natures/></projectDescription>"),
            "");
  TiXmlDocument document;
  ASSERT_TRUE(document.LoadFile(Path().c_str()));
  const TiXmlElement* root = document.FirstChildElement();
  EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"name", "natures", "linkedResources"}));
  EXPECT_EQ(root->LastChild()->FirstChild(), nullptr);
}

TEST_F(ProjectWriterFileTest, RootWithoutNameGetsOne) {
  project_.groups.clear();
  EXPECT_EQ(Generate("<projectDescription><comment>c</comment></projectDescription>"), "");
  TiXmlDocument document;
  ASSERT_TRUE(document.LoadFile(Path().c_str()));
  const TiXmlElement* root = document.FirstChildElement();
  EXPECT_EQ(ChildNames(root),
            (std::vector<std::string>{"name", "comment", "linkedResources"}));
  EXPECT_STREQ(root->FirstChildElement()->GetText(), "Demo Target");
}

TEST_F(ProjectWriterFileTest, UnloadableFileFailsUntouched) {
  const std::string message = "Unable to load file: " + Path() + "\n";
  EXPECT_EQ(Generate(nullptr, false), message);
  EXPECT_FALSE(Exists(Path()));
  for (const char* content : {"not xml at all", "<?xml version=\"1.0\"?>\n<!-- no root -->\n",
                              "<projectDescription><name>x</name>"}) {
    EXPECT_EQ(Generate(content, false), message) << content;
    EXPECT_EQ(ReadFile(Path()), content);
  }
}

TEST_F(ProjectWriterFileTest, FailedSaveFailsAndLeavesTheFile) {
  const std::string content = "<projectDescription><name>x</name></projectDescription>";
  WriteFile(Path(), content);
  ASSERT_EQ(chmod(Path().c_str(), 0444), 0);
  const std::string out = CaptureStdout(
      [&] {
        EXPECT_EQ(RunUnprivileged([&] {
                    return GenerateProjectFile(project_, dir_.path(), PlanLinks(project_, FilesBelow(dir_.path())))
                               ? 0
                               : 1;
                  }),
                  1);
      });
  EXPECT_EQ(out, std::string(kLinkLines) + "Save file .project failed!\n");
  EXPECT_EQ(ReadFile(Path()), content);
}

}  // namespace
