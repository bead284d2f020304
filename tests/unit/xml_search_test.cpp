// Tests of the two subtree searches: first by name, and last-met by attribute pattern.
#include "mdk/xml_search.h"

#include <memory>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TiXmlDocument> Parse(const char* xml) {
  auto document = std::make_unique<TiXmlDocument>();
  document->Parse(xml);
  EXPECT_FALSE(document->Error()) << xml;
  return document;
}

// A pointer that no search can produce, to see whether `found` was written.
TiXmlElement* Untouched() {
  static TiXmlElement sentinel("sentinel");
  return &sentinel;
}

std::string IdOf(const TiXmlElement* element) {
  if (element == nullptr) return "(null)";
  const char* id = element->Attribute("id");
  return id != nullptr ? id : "(no id)";
}

TEST(XmlSearchTest, ByNameNullStartOrNoChildElements) {
  TiXmlElement* found = Untouched();
  EXPECT_FALSE(FindElementByName(nullptr, "Define", found));
  EXPECT_EQ(found, Untouched());

  auto document = Parse("<Cads>text only<!-- Define --></Cads>");
  EXPECT_FALSE(FindElementByName(document->RootElement(), "Define", found));
  EXPECT_EQ(found, Untouched());
}

TEST(XmlSearchTest, ByNameFindsTheFirstInDocumentOrder) {
  const struct {
    const char* xml;
    const char* name;
    const char* id;  // nullptr: not found
  } cases[] = {
      // Nested inside an earlier sibling comes before a later, shallower one.
      {"<R><A><B><X id='deep'/></B></A><X id='shallow'/></R>", "X", "deep"},
      // A parent is tested before its children.
      {"<R><X id='outer'><X id='inner'/></X></R>", "X", "outer"},
      // Names compare exactly: full length and case.
      {"<R><Defines/><define/><Def/><Define id='real'/></R>", "Define", "real"},
      {"<R><!-- <X/> -->text<X id='after-comment'/></R>", "X", "after-comment"},
      {"<R><Defines/><define/></R>", "Define", nullptr},
      // The start element itself is never tested.
      {"<X><Y/></X>", "X", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xml);
    auto document = Parse(c.xml);
    TiXmlElement* found = Untouched();
    const bool result = FindElementByName(document->RootElement(), c.name, found);
    if (c.id == nullptr) {
      EXPECT_FALSE(result);
      EXPECT_EQ(found, Untouched());
    } else {
      EXPECT_TRUE(result);
      EXPECT_EQ(IdOf(found), c.id);
    }
  }
}

TEST(XmlSearchTest, ByAttributeNullStartOrNoChildElements) {
  TiXmlElement* found = Untouched();
  EXPECT_FALSE(FindElementByAttribute(nullptr, "option", "id", "abc", found));
  EXPECT_EQ(found, Untouched());

  auto document = Parse("<R id='abc'>text</R>");
  EXPECT_TRUE(FindElementByAttribute(document->RootElement(), "R", "id", "abc", found));
  EXPECT_EQ(found, Untouched());
}

TEST(XmlSearchTest, ByAttributeLeavesTheLastMatchMet) {
  const struct {
    const char* xml;
    const char* id;  // "(untouched)": no match
  } cases[] = {
      // A does not match but its child X does, and the later sibling B matches too: B stands.
      {"<R><A id='no'><E id='abc-X'/></A><E id='abc-B'/></R>", "abc-B"},
      // When A itself matches, neither its child nor its later sibling is looked at.
      {"<R><E id='abc-A'><E id='abc-X'/></E><E id='abc-B'/></R>", "abc-A"},
      // Two matching siblings: the first ends the scan of its level.
      {"<R><E id='abc1'/><E id='abc2'/></R>", "abc1"},
      // Matches in two branches: the later branch's match is taken.
      {"<R><P><E id='abc1'/></P><Q><E id='abc2'/></Q></R>", "abc2"},
      // The siblings after a match are never met, so they cannot overwrite it.
      {"<R><P><E id='abc1'/><E id='abc-never'/></P><Q/></R>", "abc1"},
      // The right value under another name does not match, and its subtree is still searched.
      {"<R><F id='abc'><E id='abc-inner'/></F></R>", "abc-inner"},
      // The right name without the attribute, or without the pattern, does not match either.
      {"<R><E other='abc'><E id='xabcx'/></E></R>", "xabcx"},
      {"<R><E id='ab-c'><E id='abc.123'/></E></R>", "abc.123"},
      {"<R><E id='ABC'/><F id='abc'/></R>", "(untouched)"},
      // The start element is never tested.
      {"<E id='abc'/>", "(untouched)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xml);
    auto document = Parse(c.xml);
    TiXmlElement* found = Untouched();
    EXPECT_TRUE(FindElementByAttribute(document->RootElement(), "E", "id", "abc", found));
    EXPECT_EQ(found == Untouched() ? "(untouched)" : IdOf(found), c.id);
  }
}

TEST(XmlSearchTest, ByAttributePatternIsACaseSensitiveSubstring) {
  const struct {
    const char* xml;
    const char* pattern;
    bool matches;
  } cases[] = {
      {"<R><E id='abc'/></R>", "abc", true},     {"<R><E id='xabcx'/></R>", "abc", true},
      {"<R><E id='abc.123'/></R>", "abc", true}, {"<R><E id='ABC'/></R>", "abc", false},
      {"<R><E id='ab'/></R>", "abc", false},     {"<R><E id=''/></R>", "", true},
      // An empty pattern still needs the attribute to be there.
      {"<R><E other='x'/></R>", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.xml) + " / " + c.pattern);
    auto document = Parse(c.xml);
    TiXmlElement* found = nullptr;
    EXPECT_TRUE(FindElementByAttribute(document->RootElement(), "E", "id", c.pattern, found));
    EXPECT_EQ(found != nullptr, c.matches);
  }
}

}  // namespace
