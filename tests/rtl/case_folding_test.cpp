#include "rtl/case_folding.h"

#include <gtest/gtest.h>

namespace {

using namespace RTL::Text;

TEST(AsciiCase, ChangesOnlyAsciiLetters) {
  EXPECT_EQ(AsciiUpper("quill.exe äß"), "QUILL.EXE äß");
  EXPECT_TRUE(AsciiEqualsIgnoreCase("Quill.EXE", "qUILL.exe"));
  EXPECT_FALSE(AsciiEqualsIgnoreCase("Quill.exe", "Quill.ex"));
  EXPECT_FALSE(AsciiEqualsIgnoreCase("ä", "Ä"));
  EXPECT_FALSE(AsciiEqualsIgnoreCase("@", "`"));  // 0x40 and 0x60 are no letters
}

TEST(AsciiCase, FindsAndClassifiesOnlyAscii) {
  EXPECT_EQ(AsciiLower("Content-TYPE: ÄB"), "content-type: Äb");
  EXPECT_TRUE(AsciiStartsWithIgnoreCase("HTTPS://host", "https://"));
  EXPECT_FALSE(AsciiStartsWithIgnoreCase("http", "https"));
  EXPECT_EQ(AsciiFindIgnoreCase("<A><a>", "<a>", 1), 3u);
  EXPECT_EQ(AsciiFindIgnoreCase("ab", "abc"), std::string_view::npos);
  EXPECT_EQ(AsciiFindIgnoreCase("ab", "", 2), 2u);
  EXPECT_EQ(AsciiFindIgnoreCase("ab", "", 3), std::string_view::npos);
  EXPECT_TRUE(IsAsciiDigits("0123456789"));
  EXPECT_FALSE(IsAsciiDigits(""));
  EXPECT_FALSE(IsAsciiDigits("12a"));
  EXPECT_TRUE(IsAsciiHexDigits("09afAF"));
  EXPECT_FALSE(IsAsciiHexDigits("0x1"));
  EXPECT_EQ(HexDigitValue('f'), 15);
  EXPECT_EQ(HexDigitValue('G'), -1);
  EXPECT_FALSE(IsAsciiLetter('\xC3'));
}

TEST(FoldUnit, FoldsOnlyTheTablesUnits) {
  EXPECT_EQ(FoldUnit(u'A'), u'a');
  EXPECT_EQ(FoldUnit(u'Z'), u'z');
  EXPECT_EQ(FoldUnit(u'['), u'[');
  EXPECT_EQ(FoldUnit(0xC0), 0xE0);
  EXPECT_EQ(FoldUnit(0xDE), 0xFE);
  EXPECT_EQ(FoldUnit(0xD7), 0xD7);  // the multiplication sign
  EXPECT_EQ(FoldUnit(0xDF), 0xDF);
  EXPECT_EQ(FoldUnit(0x8A), 0x9A);
  EXPECT_EQ(FoldUnit(0x8C), 0x9C);
  EXPECT_EQ(FoldUnit(0x8E), 0x9E);
  EXPECT_EQ(FoldUnit(0x9F), 0xFF);
  EXPECT_EQ(FoldUnit(0xFF), 0xFF);  // one way only
  EXPECT_EQ(FoldUnit(0x178), 0x178);
}

TEST(CompareIgnoreCase, EqualsThroughTheTableOnly) {
  EXPECT_TRUE(SameIgnoreCase("Callstack CRC", "callstack crc"));
  EXPECT_TRUE(SameIgnoreCase("ÄÖÜÞ", "äöüþ"));
  EXPECT_TRUE(SameIgnoreCase("\u009F", "ÿ"));
  EXPECT_FALSE(SameIgnoreCase("×", "÷"));
  EXPECT_FALSE(SameIgnoreCase("Ÿ", "ÿ"));
  EXPECT_FALSE(SameIgnoreCase("Ω", "ω"));
  EXPECT_FALSE(SameIgnoreCase("ab", "ab "));
}

TEST(CompareIgnoreCase, OrdersByFoldedUtf16UnitsThenByLength) {
  EXPECT_EQ(CompareIgnoreCase("Zeta", "alpha"), 'z' - 'a');
  EXPECT_EQ(CompareIgnoreCase("xÄ", "XB"), 0xE4 - 'b');
  EXPECT_EQ(CompareIgnoreCase("_", "A"), '_' - 'a');  // folded first: "_" before "A"
  // UTF-16 order, not code point order: a surrogate sorts below the private use area.
  EXPECT_LT(CompareIgnoreCase("\U0001F600", "\uE000"), 0);
  EXPECT_EQ(CompareIgnoreCase("ABC", "ab"), 1);
  EXPECT_EQ(CompareIgnoreCase("", "abc"), -3);
  EXPECT_EQ(CompareIgnoreCase("aä\U0001F600", "A"), 3);
}

TEST(CompareIgnoreCase, KeepsDifferentBrokenTextsApart) {
  EXPECT_FALSE(SameIgnoreCase("a\xFF", "a\xFE"));
  EXPECT_FALSE(SameIgnoreCase("\xC3", "\xEF\xBF\xBD"));  // a broken byte is not U+FFFD
  EXPECT_TRUE(SameIgnoreCase("A\xE2\x82", "a\xE2\x82"));
  EXPECT_EQ(CompareIgnoreCase("\xE2\x82", "\xE2"), 1);
}

}  // namespace
