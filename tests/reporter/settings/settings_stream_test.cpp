#include "reporter/settings/settings_stream.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/text_encoding.h"
#include "reporter/settings/settings_stream_writer.h"

namespace {

using namespace Reporter::Settings;

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}

TEST(SettingsStream, EveryTagGivesItsKindAndValue) {
  TSettingsStreamWriter writer;
  writer.AddInt8("I8", -1);
  writer.AddInt16("I16", -300);
  writer.AddInt32("I32", INT_MIN);
  writer.AddInt32("Max", INT_MAX);
  writer.AddAnsiShort("Ansi",
                      "Gr\xF6\xDF"
                      "e");
  writer.AddIdent("Ident", "SendAssistant");
  writer.AddBool("Off", false);
  writer.AddBool("On", true);
  writer.AddAnsiLong("AnsiLong", "line\r\n\x80");
  writer.AddUtf16("Wide", u"\u00C4 \u65E5 \U0001F600");
  writer.AddUtf8Long("Utf8", "\xC3\xA4\xE6\x97\xA5");
  const auto content = ReadSettingsStream(writer.Finish());

  ASSERT_TRUE(content.headerValid);
  EXPECT_FALSE(content.invalidTag);
  const auto& p = content.properties;
  ASSERT_EQ(p.size(), 11u);
  EXPECT_EQ(p[0].typ, ptInteger);
  EXPECT_EQ(p[0].vInt, -1);
  EXPECT_EQ(p[1].vInt, -300);
  EXPECT_EQ(p[2].vInt, INT_MIN);
  EXPECT_EQ(p[3].vInt, INT_MAX);
  EXPECT_EQ(p[4].typ, ptString);
  EXPECT_EQ(p[4].vStr, Platform::AnsiToUtf8("Gr\xF6\xDF"
                                            "e"));
  EXPECT_EQ(p[5].vStr, "SendAssistant");
  EXPECT_EQ(p[6].typ, ptBoolean);
  EXPECT_FALSE(p[6].vBool);
  EXPECT_TRUE(p[7].vBool);
  EXPECT_EQ(p[8].vStr, Platform::AnsiToUtf8("line\r\n\x80"));
  EXPECT_EQ(p[9].vStr, "\xC3\x84 \xE6\x97\xA5 \xF0\x9F\x98\x80");
  EXPECT_EQ(p[10].vStr, "\xC3\xA4\xE6\x97\xA5");
  EXPECT_EQ(p[10].name, "Utf8");
}

TEST(SettingsStream, MalformedUtf8BecomesReplacementCharacters) {
  TSettingsStreamWriter writer;
  writer.AddUtf8Long("Bad",
                     "a\xFF"
                     "b");
  const auto content = ReadSettingsStream(writer.Finish());
  ASSERT_EQ(content.properties.size(), 1u);
  EXPECT_EQ(content.properties[0].vStr,
            "a\xEF\xBF\xBD"
            "b");
}

TEST(SettingsStream, AnyHeaderByteDifferentGivesAnEmptyList) {
  TSettingsStreamWriter writer;
  writer.AddBool("On", true);
  const auto valid = writer.Finish();
  for (std::size_t i = 0; i < kSettingsStreamHeader.size(); ++i) {
    auto changed = valid;
    changed[i] ^= 0x20;
    const auto content = ReadSettingsStream(changed);
    EXPECT_FALSE(content.headerValid) << "byte " << i;
    EXPECT_TRUE(content.properties.empty());
    EXPECT_FALSE(content.invalidTag);
  }
  EXPECT_FALSE(ReadSettingsStream({}).headerValid);
}

TEST(SettingsStream, UnknownTagStopsReadingAndKeepsTheRecordsBefore) {
  TSettingsStreamWriter writer;
  writer.AddInt32("Before", 7);
  writer.AddRaw("Odd", 5, Bytes({1, 2, 3, 4}));
  writer.AddInt32("After", 8);
  const auto content = ReadSettingsStream(writer.Finish());
  ASSERT_EQ(content.properties.size(), 1u);
  EXPECT_EQ(content.properties[0].name, "Before");
  ASSERT_TRUE(content.invalidTag);
  EXPECT_EQ(*content.invalidTag, 5);
  EXPECT_EQ(InvalidSettingsResourceMessage(5), "Internal error: Invalid settings resource ($5).");
  EXPECT_EQ(InvalidSettingsResourceMessage(0xAB),
            "Internal error: Invalid settings resource ($AB).");
}

TEST(SettingsStream, EveryCutKeepsTheWholeRecordsBeforeIt) {
  TSettingsStreamWriter writer;
  std::vector<std::size_t> recordEnds;  // stream length after each record
  const auto mark = [&] { recordEnds.push_back(writer.Finish().size() - 2); };
  writer.AddInt8("A", 1), mark();
  writer.AddInt16("B", 2), mark();
  writer.AddInt32("C", 3), mark();
  writer.AddAnsiShort("D", "dd"), mark();
  writer.AddIdent("E", "ee"), mark();
  writer.AddBool("F", true), mark();
  writer.AddAnsiLong("G", "gg"), mark();
  writer.AddUtf16("H", u"hh"), mark();
  writer.AddUtf8Long("I", "ii"), mark();
  const auto full = writer.Finish();

  for (std::size_t cut = kSettingsStreamHeader.size(); cut < full.size() - 1; ++cut) {
    const std::vector<std::uint8_t> prefix(full.begin(), full.begin() + cut);
    const auto content = ReadSettingsStream(prefix);
    std::size_t whole = 0;
    while (whole < recordEnds.size() && recordEnds[whole] <= cut) ++whole;
    ASSERT_EQ(content.properties.size(), whole) << "cut at " << cut;
    EXPECT_TRUE(content.invalidTag) << "cut at " << cut;
  }
  EXPECT_EQ(ReadSettingsStream(full).properties.size(), recordEnds.size());
}

TEST(SettingsStream, LengthsBeyondTheEndAreTruncationNotAllocation) {
  for (const std::uint8_t tag : {kTagAnsiLong, kTagUtf8Long, kTagUtf16}) {
    TSettingsStreamWriter writer;
    writer.AddRaw("Huge", tag, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'x'}));
    const auto content = ReadSettingsStream(writer.Finish());
    EXPECT_TRUE(content.properties.empty());
    ASSERT_TRUE(content.invalidTag);
    EXPECT_EQ(*content.invalidTag, tag);
  }
}

TEST(SettingsStreamWriter, RefusesNamesItCannotStore) {
  TSettingsStreamWriter writer;
  EXPECT_THROW(writer.AddBool("", true), std::invalid_argument);
  EXPECT_THROW(writer.AddBool(std::string(256, 'n'), true), std::invalid_argument);
  EXPECT_THROW(writer.AddIdent("Id", std::string(256, 'v')), std::invalid_argument);
  writer.AddBool(std::string(255, 'n'), true);
  EXPECT_EQ(ReadSettingsStream(writer.Finish()).properties.at(0).name.size(), 255u);
}

}  // namespace
