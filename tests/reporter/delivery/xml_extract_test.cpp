#include "reporter/delivery/xml_extract.h"

#include <gtest/gtest.h>

namespace Reporter::Delivery {
namespace {

TEST(ReplaceEntities, DecodesEachEntityExactlyOnce) {
  EXPECT_EQ(ReplaceEntities("&amp;lt;"), "&lt;");
  EXPECT_EQ(ReplaceEntities("&quot;a&apos; &lt;b&gt; &amp;&amp;"), "\"a' <b> &&");
  EXPECT_EQ(ReplaceEntities("&amp;quot;&amp;amp;"), "&quot;&amp;");
}

TEST(ReplaceEntities, LeavesUnknownAndCutEntitiesAlone) {
  EXPECT_EQ(ReplaceEntities("&nbsp; &lt &am"), "&nbsp; &lt &am");
  EXPECT_EQ(ReplaceEntities(""), "");
  EXPECT_EQ(ReplaceEntities("&"), "&");
}

TEST(ExtractXml, TakesTheFirstElementTrimmedIgnoringTagCase) {
  EXPECT_EQ(
      ExtractXml("<response><Token>\r\n abc \t</TOKEN><token>x</token></response>", "<token>"),
      "abc");
  EXPECT_EQ(ExtractXml("<a>1</a>", "token>"), "");
}

TEST(ExtractXml, UnwrapsCdataOnlyInExactCase) {
  EXPECT_EQ(ExtractXml("<url><![CDATA[api.asp?]]></url>", "url>"), "api.asp?");
  EXPECT_EQ(ExtractXml("<url><![cdata[x]]></url>", "url>"), "<![cdata[x]]>");
}

TEST(ExtractXml, KeyWithBracketSkipsTagsWithAttributesKeyWithoutMatchesThem) {
  const std::string reply = "<response><error code=\"3\">Not logged on</error></response>";
  EXPECT_EQ(ExtractXml(reply, "error>"), "");
  EXPECT_EQ(ExtractXml(reply, "error"), "Not logged on");
}

TEST(ExtractXml, CountsNestedElementsOfTheSameName) {
  EXPECT_EQ(ExtractXml("<a><a>in</a>tail</a>", "a>"), "<a>in</a>tail");
}

TEST(ExtractXml, IncompleteElementGivesNothing) {
  EXPECT_EQ(ExtractXml("<token>abc", "token>"), "");
  EXPECT_EQ(ExtractXml("</token><token", "token"), "");
  EXPECT_EQ(ExtractXml("", "token>"), "");
  EXPECT_EQ(ExtractXml("<token></token>", ""), "");
}

TEST(ExtractXmlList, ReadsTheChildOfEveryElementInOrder) {
  const std::string reply =
      "<areas><area><sArea>Misc</sArea><sProject>Inbox</sProject></area>"
      "<area><SAREA><![CDATA[not spam]]></SAREA><sProject>QuillTally</sProject></area>"
      "<area><sProject>Orphan</sProject></area></areas>";
  EXPECT_EQ(ExtractXmlList(reply, "area>", "sArea"),
            (std::vector<std::string>{"Misc", "not spam", ""}));
  EXPECT_EQ(ExtractXmlList(reply, "area>", "sProject"),
            (std::vector<std::string>{"Inbox", "QuillTally", "Orphan"}));
  // "<areas>" is no "<area>": the plural's tags do not match the key with its bracket.
  EXPECT_TRUE(ExtractXmlList("<areas></areas>", "area>", "sArea").empty());
}

}  // namespace
}  // namespace Reporter::Delivery
