#include <gtest/gtest.h>

#include "platform/http_session.h"
#include "platform/text_encoding.h"
#include "reporter/delivery/multipart.h"
#include "reporter/delivery/report_text.h"
#include "reporter/delivery/win_http.h"

namespace Reporter::Delivery {
namespace {

TEST(Base64, FollowsTheStandardAlphabetWithPadding) {
  EXPECT_EQ(Base64(""), "");
  EXPECT_EQ(Base64("f"), "Zg==");
  EXPECT_EQ(Base64("fo"), "Zm8=");
  EXPECT_EQ(Base64("foo"), "Zm9v");
  EXPECT_EQ(Base64(std::string("\xFB\xFF\x00", 3)), "+/8A");
}

TEST(HeaderWords, AsciiAndLatinStayPlainTheRestIsEncodedWord) {
  EXPECT_EQ(HeaderWord("File1", false), "File1");
  EXPECT_EQ(HeaderWord("File1", true), "=?UTF-8?B?RmlsZTE=?=");
  EXPECT_EQ(HeaderWord("\xE2\x82\xAC", false), "=?UTF-8?B?4oKs?=");
  // "ü" is in the ANSI code page: one byte there.
  EXPECT_EQ(HeaderWord("\xC3\xBC", false), Platform::Utf8ToAnsi("\xC3\xBC"));
  EXPECT_EQ(HeaderWord("\xC3\xBC", false).size(), 1u);
  // Broken UTF-8 never passes as plain text.
  EXPECT_TRUE(NeedsUtf8("\xC3", false));
}

TEST(Multipart, AsciiFieldGoesAsLatinOneEightBit) {
  EXPECT_EQ(FieldPart("cmd", "new", false),
            "\r\n--exvora_multipart_boundary\r\n"
            "Content-Disposition: form-data; name=\"cmd\"\r\n"
            "Content-Type: text/plain; charset=\"iso-8859-1\"\r\n"
            "Content-Transfer-Encoding: 8bit\r\n\r\nnew");
}

TEST(Multipart, TextBeyondTheCodePageGoesAsUtf8Base64) {
  EXPECT_EQ(FieldPart("sTitle", "\xE2\x82\xAC", false),
            "\r\n--exvora_multipart_boundary\r\n"
            "Content-Disposition: form-data; name=\"sTitle\"\r\n"
            "Content-Type: text/plain; charset=\"utf-8\"\r\n"
            "Content-Transfer-Encoding: base64\r\n\r\n4oKs");
}

TEST(Multipart, FileHeadIsOneHundredAndTwoBytesPlusItsWords) {
  const std::string head = FileHead("File1", "bugreport.txt", false);
  EXPECT_EQ(head.size(), 102 + kMultipartBoundary.size() + 5 + 13);
  EXPECT_EQ(head,
            "\r\n--exvora_multipart_boundary\r\n"
            "Content-Disposition: form-data; name=\"File1\"; filename=\"bugreport.txt\"\r\n"
            "Content-Type: application/octet-stream\r\n\r\n");
  EXPECT_EQ(ClosingDelimiter().size(), kMultipartBoundary.size() + 8);
}

TEST(PercentEncoding, KeepsOnlyLettersAndDigits) {
  EXPECT_EQ(PercentEncode("a Z.9@-_~"), "a%20Z%2E9%40%2D%5F%7E");
  EXPECT_EQ(PercentEncode("\xC3\xBC"), "%C3%BC");
  EXPECT_EQ(PercentEncode(""), "");
}

TEST(AuthSchemes, StrongestOfferedSchemeIsChosen) {
  using namespace Platform;
  EXPECT_EQ(ChooseAuthScheme(kHttpAuthNtlm | kHttpAuthNegotiate), kHttpAuthNegotiate);
  EXPECT_EQ(ChooseAuthScheme(kHttpAuthBasic | kHttpAuthDigest), kHttpAuthDigest);
  EXPECT_EQ(ChooseAuthScheme(kHttpAuthBasic | kHttpAuthPassport), kHttpAuthPassport);
  EXPECT_EQ(ChooseAuthScheme(kHttpAuthBasic), kHttpAuthBasic);
  EXPECT_EQ(ChooseAuthScheme(0), 0u);
  EXPECT_EQ(ChooseAuthScheme(0x40), 0u);
}

TEST(ValueChecks, ListValueTakesTheListsSpellingIgnoringCase) {
  std::string value = "QUILLTALLY";
  EXPECT_TRUE(TWinHttp::CheckListValue(value, {"Inbox", "QuillTally"}));
  EXPECT_EQ(value, "QuillTally");
  value = "Quill";
  EXPECT_FALSE(TWinHttp::CheckListValue(value, {"QuillTally"}));
  EXPECT_EQ(value, "Quill");
  EXPECT_FALSE(TWinHttp::CheckListValue(value, {}));
}

TEST(ValueChecks, AreaMustBelongToTheProject) {
  const std::vector<std::string> areas = {"Misc", "Misc", "not spam"};
  const std::vector<std::string> projects = {"Inbox", "QuillTally", "Inbox"};
  std::string area = "MISC";
  EXPECT_TRUE(TWinHttp::CheckDoubleListValue(area, areas, "quilltally", projects));
  EXPECT_EQ(area, "Misc");
  area = "not spam";
  EXPECT_FALSE(TWinHttp::CheckDoubleListValue(area, areas, "QuillTally", projects));
  // Lists of unequal length are read only as far as both go.
  EXPECT_FALSE(TWinHttp::CheckDoubleListValue(area, areas, "Inbox", {"Inbox"}));
}

TEST(ReportText, SectionIsReadUpToTheNextBlankLine) {
  const std::string report =
      "date/time : now\r\ncomputer name     : PC: 1 \r\nversion : 1.2\r\n\r\nerror details:\r\n"
      " a\r\n b\r\n\r\nmain thread:\r\nx";
  EXPECT_EQ(FindReportSection(report, "error details"), "a\r\n b");
  EXPECT_EQ(FindReportSection(report, "main thread"), "x");
  EXPECT_EQ(FindReportSection(report, "modules"), "");
}

TEST(HttpClient, UrlIsSplitIntoServerAndPath) {
  TWinHttpParams params;
  params.url = "https://tracker.example.com/fb/sub";
  TWinHttp withPath(params);
  EXPECT_EQ(withPath.Server(), "tracker.example.com");
  EXPECT_EQ(withPath.Url(), "/fb/sub");
  params.url = "https://tracker.example.com";
  TWinHttp hostOnly(params);
  EXPECT_EQ(hostOnly.Server(), "tracker.example.com");
  EXPECT_EQ(hostOnly.Url(), "");
}

}  // namespace
}  // namespace Reporter::Delivery
