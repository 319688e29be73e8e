#include "rtl/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using namespace RTL::Text;

TEST(Trim, RemovesControlCodesAndSpacesAtBothEndsOnly) {
  EXPECT_EQ(Trim("\x01\t a  b \r\n"), "a  b");
  EXPECT_EQ(TrimLeft(" \x1F-a "), "-a ");
  EXPECT_EQ(TrimRight(" a\x7F\x20"), " a\x7F");
  EXPECT_EQ(Trim(std::string("\0 \0", 3)), "");
  // UTF-8 bytes of non-ASCII letters lie above 32 and survive.
  EXPECT_EQ(Trim(" \xC3\xA4 "), "\xC3\xA4");
}

TEST(UnicodeCase, UpperCasesLatinGreekAndCyrillic) {
  EXPECT_EQ(UnicodeUpper("dbparams äöü ÿ ő ǆ"), "DBPARAMS ÄÖÜ Ÿ Ő Ǆ");
  EXPECT_EQ(UnicodeUpper("αβγ ως ά"), "ΑΒΓ ΩΣ Ά");
  EXPECT_EQ(UnicodeUpper("привет ё ґ"), "ПРИВЕТ Ё Ґ");
  EXPECT_EQ(UnicodeUpper("ảẹ ἀᾳ"), "ẢẸ Ἀᾼ");
  EXPECT_EQ(UnicodeUpper("ÄÖÜ 1-9 €"), "ÄÖÜ 1-9 €");
}

TEST(UnicodeCase, KeepsTheByteLengthAndBrokenBytes) {
  // ß has no single capital; dotless i and long s would shrink to one byte.
  EXPECT_EQ(UnicodeUpper("ß ı ſ"), "ß ı ſ");
  EXPECT_EQ(UnicodeUpper("a\xFF-b\xC3"), "A\xFF-B\xC3");
  EXPECT_EQ(UnicodeUpper("\xE0\x80\xAF x"), "\xE0\x80\xAF X");
}

TEST(UnicodeCase, ComparesIgnoringCase) {
  EXPECT_TRUE(UnicodeEqualsIgnoreCase("DBParams", "dbPARAMS"));
  EXPECT_TRUE(UnicodeEqualsIgnoreCase("Ärger Ωμέγα", "äRGER ΩΜΈΓΑ"));
  EXPECT_FALSE(UnicodeEqualsIgnoreCase("Größe", "GRÖSSE"));
  EXPECT_FALSE(UnicodeEqualsIgnoreCase("a", "ab"));
}

TEST(Utf16, ConvertsEveryPlaneBothWays) {
  const std::string utf8 = "aä€\xF0\x9F\x98\x80";
  const std::u16string utf16 = u"aä€\U0001F600";
  EXPECT_EQ(Utf8ToUtf16(utf8), utf16);
  EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
  EXPECT_EQ(Utf8ToUtf16(""), u"");
}

TEST(Utf16, ReplacesEachBrokenPieceOfUtf8) {
  EXPECT_EQ(Utf8ToUtf16("\xC3("), u"\uFFFD(");                              // missing continuation
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");                      // overlong
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");            // encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
  EXPECT_EQ(Utf8ToUtf16("x\xF0\x9F\x98"), u"x\uFFFD");                      // cut off at the end
  EXPECT_EQ(Utf8ToUtf16("\x80x"), u"\uFFFDx");                              // stray continuation
}

TEST(Utf16, ReplacesUnpairedSurrogates) {
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD83D)}), "a\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDE00), u'-', u'b'}), "\xEF\xBF\xBD-b");
}

TEST(Cp1252, DecodesAndEncodesItsSpecialCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("\x80 \xE4\xDF \x9F \x84\x93"), "€ äß Ÿ „“");
  EXPECT_EQ(Utf8ToCp1252("€ äß Ÿ „“"), "\x80 \xE4\xDF \x9F \x84\x93");
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, MissingCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("Ω\xC2\x80 \xF0\x9F\x98\x80!"), "?? ?!");
  EXPECT_EQ(Utf8ToCp1252("a\xFF-b"), "a?-b");
}

TEST(Format, FillsPlaceholdersInOrder) {
  EXPECT_EQ(Format("Kopiere Datei [%s] (%d Versuch)", {"C:\\a.txt", 3}),
            "Kopiere Datei [C:\\a.txt] (3 Versuch)");
  EXPECT_EQ(Format("%d|%d", {std::numeric_limits<std::int64_t>::min(), -7}),
            "-9223372036854775808|-7");
  EXPECT_EQ(Format("%s", {std::string("text")}), "text");
}

TEST(Format, LeavesWhatItCannotFillAsWritten) {
  EXPECT_EQ(Format("100%% %s %d %x %", {"a"}), "100% a %d %x %");
  EXPECT_EQ(Format("%s and %s", {"%s", "b"}), "%s and b");  // arguments are not expanded
  EXPECT_EQ(Format("none", {"unused"}), "none");
}

}  // namespace
