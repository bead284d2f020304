// Tests of whole-file XML loading and saving: the same document as the library's own calls, the
// nesting bound, and failures that the library's own calls would not report.
#include "fs/xml_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "support/depth_probe.h"
#include "support/test_support.h"

namespace {

std::string Nested(size_t depth) {
  std::string text;
  for (size_t i = 0; i < depth; ++i) text += "<a>";
  for (size_t i = 0; i < depth; ++i) text += "</a>";
  return text;
}

TEST(XmlFileTest, NestingDepthNeverFallsBelowWhatTheLibraryBuilds) {
  const std::string utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
  const std::string legacy = "<?xml version=\"1.0\" encoding=\"GB2312\"?>";
  struct Case {
    const char* what;
    std::string text;
    size_t depth;  // what the scanner reports
  };
  const Case cases[] = {
      {"plain", "<a><b><c/></b><d></d></a>", 3},
      {"comment hides tags", "<a><!-- <b><c> --></a>", 1},
      {"CDATA hides tags", "<a><![CDATA[<b><c>]]></a>", 1},
      {"quoted > and end tags", "<a x='>' y=\"</a></a>\"><b/></a>", 2},
      {"quoted value after blanks", "<a x = \n '</a>'><b><c/></b></a>", 3},
      {"declaration with a quoted >", "<?xml version='>' ?><a><b/></a>", 2},
      {"doctype", "<!DOCTYPE x [ <!ENTITY y 'z'> ]><a><b/></a>", 2},
      {"other processing instruction", "<?fileVersion 4.0.0?><a><b/></a>", 2},
      // A UTF-8 lead byte takes the bytes after it, "</" included, once the text is UTF-8.
      {"swallowed end tag, UTF-8", utf8 + "<a>x\xE0</a><b><c/></b></a>", 3},
      {"same bytes, legacy encoding", legacy + "<a>x\xE0</a><b><c/></b></a>", 3},
      {"swallowed quote in a value", utf8 + "<a x=\"\xE0\"></a>\"><b/></a>", 2},
      {"byte-order mark", "\xEF\xBB\xBF<a>x\xE0</a><b/></a>", 2},
      {"declaration after the root", "<a>x\xE0</a><?xml version=\"1.0\"?><b>y\xE0</b><c/></b>", 2},
      {"three hundred levels", Nested(300), 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(XmlNestingDepth(c.text, 1000), c.depth);
    TiXmlDocument document;
    document.Parse(c.text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    EXPECT_GE(c.depth, ParsedDepth(&document));
  }
  // Counting stops soon after the limit.
  EXPECT_EQ(XmlNestingDepth(Nested(100000), kMaxXmlDepth), kMaxXmlDepth + 1);
}

TEST(XmlFileTest, LoadsWhatTheLibraryLoadsAndRefusesTheRest) {
  ScopedTempDir temp;
  const std::string ours = temp / "ours.xml";
  const std::string theirs = temp / "theirs.xml";
  const std::vector<std::string> contents = {
      "<?xml version=\"1.0\"?>\r\n<a x='1'>\r\n  <b>t\rx</b>\n</a>\r\n",
      "<a>x\r\r\ny\r\n\r</a>\r",
      "\xEF\xBB\xBF<a>\xE4\xB8\xAD &amp; &#x41;</a>",
      std::string("<a>before<b/>\0after</a>", 23),
      "<a><b></a>",
      "   \n",
      "<?xml version=\"1.0\" encoding=\"GB2312\"?><a n=\"\xD6\xD0\"/>",
  };
  for (const std::string& content : contents) {
    SCOPED_TRACE(content);
    const std::string file = temp / "in.xml";
    WriteFile(file, content);
    TiXmlDocument loaded;
    TiXmlDocument reference;
    const bool expected = reference.LoadFile(file.c_str());
    EXPECT_EQ(LoadXmlFile(file, loaded).ok(), expected);
    if (!expected) continue;
    ASSERT_TRUE(SaveXmlFile(loaded, ours).ok());
    ASSERT_TRUE(reference.SaveFile(theirs.c_str()));
    EXPECT_EQ(ReadFile(ours), ReadFile(theirs));
  }

  // A folder, a FIFO (which would block a reader) and a missing file are not loaded.
  MakeDirs(temp / "folder.xml");
  ASSERT_EQ(mkfifo((temp / "fifo.xml").c_str(), 0644), 0);
  TiXmlDocument document;
  alarm(30);
  EXPECT_FALSE(LoadXmlFile(temp / "folder.xml", document).ok());
  EXPECT_FALSE(LoadXmlFile(temp / "fifo.xml", document).ok());
  alarm(0);
  EXPECT_FALSE(LoadXmlFile(temp / "missing.xml", document).ok());
  WriteFile(temp / "empty.xml", "");
  EXPECT_FALSE(LoadXmlFile(temp / "empty.xml", document).ok());

  // Nesting: the bound itself loads, one more level is refused, far more does not crash.
  WriteFile(temp / "deep.xml", Nested(kMaxXmlDepth));
  EXPECT_TRUE(LoadXmlFile(temp / "deep.xml", document).ok());
  WriteFile(temp / "deeper.xml", Nested(kMaxXmlDepth + 1));
  EXPECT_FALSE(LoadXmlFile(temp / "deeper.xml", document).ok());
  WriteFile(temp / "deepest.xml", Nested(100000));
  EXPECT_FALSE(LoadXmlFile(temp / "deepest.xml", document).ok());
}

TEST(XmlFileTest, SaveChecksEveryStepAndWritesWhatTheLibraryWrites) {
  ScopedTempDir temp;
  WriteFile(temp / "in.xml", "\xEF\xBB\xBF<a q='say \"hi\"'><b>x &lt; y</b><!-- c --></a>");
  TiXmlDocument document;
  ASSERT_TRUE(LoadXmlFile(temp / "in.xml", document).ok());
  ASSERT_TRUE(SaveXmlFile(document, temp / "ours.xml").ok());
  ASSERT_TRUE(document.SaveFile((temp / "theirs.xml").c_str()));
  EXPECT_EQ(ReadFile(temp / "ours.xml"), ReadFile(temp / "theirs.xml"));

  // A full disk shows only when the buffered text is flushed.
  EXPECT_FALSE(SaveXmlFile(document, "/dev/full").ok());
  EXPECT_FALSE(SaveXmlFile(document, temp / "missing/out.xml").ok());
}

}  // namespace
