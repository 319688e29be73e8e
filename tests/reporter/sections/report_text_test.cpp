#include "reporter/report/sections/report_text.h"

#include <gtest/gtest.h>

namespace Reporter::Report {
namespace {

TEST(ReportText, KeysAlignToTheLongestPlusOne) {
  const TFieldPairs header = {{"date/time", "2021-03-05"}, {"largest free block", "1.2 GB"}};
  EXPECT_EQ(ComposeReportText(header, {}),
            "date/time          : 2021-03-05\r\nlargest free block : 1.2 GB");
}

TEST(ReportText, LineBreaksInValuesBecomeOneSpace) {
  const TFieldPairs header = {{"exception message", "Datei\r\nfehlt\rhier\n  und   dort"}};
  EXPECT_EQ(ComposeReportText(header, {}), "exception message : Datei fehlt hier und dort");
}

TEST(ReportText, KeyWidthCountsCharactersNotBytes) {
  const TFieldPairs header = {{"größe", "1"}, {"abcdef", "2"}};
  EXPECT_EQ(ComposeReportText(header, {}), "größe  : 1\r\nabcdef : 2");
}

TEST(ReportText, SectionsFollowAnEmptyLineWithTheirTitle) {
  const TFieldPairs header = {{"a", "1"}};
  const TFieldPairs sections = {
      {"main thread ($1a2c)", "line one  \t\r\n\r\n  indented\rnext\nlast"},
      {"cpu registers:", "eax = 0019ff2c"},
  };
  EXPECT_EQ(ComposeReportText(header, sections),
            "a : 1"
            "\r\n\r\nmain thread ($1a2c):\r\nline one\r\n.\r\n  indented\r\nnext\r\nlast"
            "\r\n\r\ncpu registers:\r\neax = 0019ff2c");
}

TEST(ReportText, NothingFollowsTheLastLine) {
  const auto text = ComposeReportText({{"k", "v"}}, {{"modules", "x\r\n"}});
  EXPECT_EQ(text, "k : v\r\n\r\nmodules:\r\nx");
  EXPECT_EQ(ComposeReportText({}, {}), "");
}

}  // namespace
}  // namespace Reporter::Report
