#include "reporter/report/symbols/map_file.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "reporter/report/symbols/symbol_data.h"

namespace {

using namespace Reporter::Symbols;

constexpr std::uint64_t kBias = 0x400000;

// Three functions (link-time): RunUpdate 0x1000-0x10FF with lines 10, 12 and "no line" from
// 0x1080; after a gap Wait 0x1200-0x127F whose first line entry comes at 0x1210, a part split
// off from a function whose entry is on line 25; Helper 0x1300-0x133F of unit "helpers.cpp",
// without lines. Top of code 0x2000.
TSymbolData Sample() {
  TSymbolData data;
  data.TopOfCode = 0x2000;
  data.Units = {"Update.Work", "helpers.cpp"};
  data.Names = {"Wait", "RunUpdate", "Helper"};
  data.Lines = {{10, 0x1000}, {12, 0x1010}, {0, 0x1080}, {30, 0x1210}};
  data.Functions = {{0x1000, 0x100, 1, 0, true, 0, 3},
                    {0x1200, 0x80, 0, 0, true, 3, 1, 25},
                    {0x1300, 0x40, 2, 1, false, 4, 0}};
  return data;
}

std::unique_ptr<TMapFile> Load(const TSymbolData& data, std::uint64_t bias = kBias) {
  return TMapFile::FromSymbolData(EncodeSymbolData(data), bias);
}

// The data with its checksum field made right again after a change.
std::vector<std::uint8_t> Resealed(std::vector<std::uint8_t> data) {
  const std::uint32_t crc = Crc32(std::span(data).subspan(5));
  for (int i = 0; i < 4; ++i) data[1 + i] = std::uint8_t(crc >> (8 * i));
  return data;
}

TEST(MapFile, FindPublicStopsAtTheNextPublicOrTheTopOfCode) {
  const auto map = Load(Sample());
  ASSERT_NE(map, nullptr);
  EXPECT_FALSE(map->FindPublic(kBias + 0xFFF).IsValid);
  const TMfPublic first = map->FindPublic(kBias + 0x1000);
  EXPECT_TRUE(first.IsValid);
  EXPECT_TRUE(first.Code);
  EXPECT_EQ(first.Name, "RunUpdate");
  EXPECT_EQ(first.Unit, "Update.Work");
  EXPECT_EQ(first.Address, kBias + 0x1000);
  // Between two segments the public before still answers.
  EXPECT_EQ(map->FindPublic(kBias + 0x11FF).Name, "RunUpdate");
  EXPECT_EQ(map->FindPublic(kBias + 0x1200).Name, "Wait");
  // The last public reaches to the top of code.
  EXPECT_EQ(map->FindPublic(kBias + 0x1FFF).Name, "Helper");
  EXPECT_EQ(map->FindPublic(kBias + 0x1FFF).Unit, "helpers.cpp");
  EXPECT_FALSE(map->FindPublic(kBias + 0x2000).IsValid);
  EXPECT_EQ(map->TopOfCode(), kBias + 0x2000);

  TSymbolData noTop = Sample();
  noTop.TopOfCode = 0;
  const auto open = Load(noTop);
  EXPECT_EQ(open->FindPublic(kBias + 0x100000).Name, "Helper");
  EXPECT_EQ(open->TopOfCode(), 0u);
}

TEST(MapFile, FindSegmentOnlyInsideCodeSegments) {
  const auto map = Load(Sample());
  const TMfSegment wait = map->FindSegment(true, kBias + 0x127F);
  EXPECT_TRUE(wait.IsValid);
  EXPECT_TRUE(wait.Code);
  EXPECT_EQ(wait.StartAddress, kBias + 0x1200);
  EXPECT_EQ(wait.Length, 0x80u);
  EXPECT_EQ(wait.UnitName, "Update.Work");
  EXPECT_TRUE(wait.LineNumbers);
  EXPECT_FALSE(map->FindSegment(true, kBias + 0x1280).IsValid);
  EXPECT_FALSE(map->FindSegment(true, kBias + 0x1100).IsValid);
  EXPECT_FALSE(map->FindSegment(false, kBias + 0x1000).IsValid);
  const TMfSegment helper = map->FindSegment(true, kBias + 0x1300);
  EXPECT_EQ(helper.UnitName, "helpers.cpp");
  EXPECT_FALSE(helper.LineNumbers);
}

TEST(MapFile, FindLineTakesOnlyEntriesOfTheSegmentOfTheAddress) {
  const auto map = Load(Sample());
  EXPECT_EQ(map->FindLine(kBias + 0x1000), 10);
  EXPECT_EQ(map->FindLine(kBias + 0x100F), 10);
  EXPECT_EQ(map->FindLine(kBias + 0x1010), 12);
  EXPECT_EQ(map->FindLine(kBias + 0x1090), 0);  // the "no line" entry
  EXPECT_EQ(map->FindLine(kBias + 0x1150), 0);  // between segments
  EXPECT_EQ(map->FindLine(kBias + 0x1205), 0);  // the entry before belongs to RunUpdate
  EXPECT_EQ(map->FindLine(kBias + 0x1210), 30);
  EXPECT_EQ(map->FindLine(kBias + 0x127F), 30);
  EXPECT_EQ(map->FindLine(kBias + 0x1300), 0);  // Helper has no lines
  EXPECT_EQ(map->FindLine(kBias + 0xFFF), 0);

  // The last entry reaches no further than the top of code.
  TSymbolData lowTop = Sample();
  lowTop.TopOfCode = 0x1240;
  const auto low = Load(lowTop);
  EXPECT_EQ(low->FindLine(kBias + 0x123F), 30);
  EXPECT_EQ(low->FindLine(kBias + 0x1240), 0);
}

TEST(MapFile, FirstLineOfASplitOffPartIsThatOfItsFunctionsEntry) {
  const auto map = Load(Sample());
  EXPECT_EQ(map->FindFirstLine(kBias + 0x1000), 10);
  EXPECT_EQ(map->FindFirstLine(kBias + 0x1200), 25);
  EXPECT_EQ(map->FindFirstLine(kBias + 0x1210), 30);  // no function begins there
  EXPECT_EQ(map->FindFirstLine(kBias + 0x1300), 0);
}

TEST(MapFile, WithoutAnyLineEntriesTheSegmentSaysMinusOneOrZero) {
  TSymbolData data = Sample();
  data.Lines.clear();
  for (TSymbolFunction& function : data.Functions) {
    function.FirstLine = 0;
    function.LineCount = 0;
  }
  const auto map = Load(data);
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->FindLine(kBias + 0x1000), -1);  // segment with line numbers
  EXPECT_EQ(map->FindLine(kBias + 0x1300), 0);   // segment without
  EXPECT_EQ(map->FindLine(kBias + 0x1100), 0);   // no segment
}

TEST(MapFile, FindPublicAddressByUnitAndName) {
  const auto map = Load(Sample());
  EXPECT_EQ(map->FindPublicAddress("update.work", "runupdate"), kBias + 0x1000);
  EXPECT_EQ(map->FindPublicAddress("Update.Work", "Update::Work::Wait"), kBias + 0x1200);
  EXPECT_EQ(map->FindPublicAddress("Update.Work", "RunUpdate", true), kBias + 0x1000);
  EXPECT_FALSE(map->FindPublicAddress("Update.Work", "runupdate", true));
  EXPECT_FALSE(map->FindPublicAddress("Update.Work", "Helper"));
  // A unit without "." is also tried as a source file name.
  EXPECT_EQ(map->FindPublicAddress("HELPERS", "Helper"), kBias + 0x1300);
  EXPECT_FALSE(map->FindPublicAddress("helpers.x", "Helper"));
}

TEST(MapFile, MinDebugInfoNamesTheChecksumOfTheData) {
  const auto data = EncodeSymbolData(Sample());
  const auto map = TMapFile::FromSymbolData(data, 0);
  char expected[32];
  std::snprintf(expected, sizeof expected, "sym2 $%08X",
                unsigned(Crc32(std::span(data).subspan(5))));
  EXPECT_EQ(map->MinDebugInfo(), expected);
}

TEST(SymbolData, EveryChangedByteOrCutIsRefused) {
  const auto data = EncodeSymbolData(Sample());
  for (std::size_t i = 0; i < data.size(); ++i) {
    auto changed = data;
    changed[i] ^= 0x5A;
    EXPECT_EQ(TMapFile::FromSymbolData(changed, 0), nullptr) << i;
    EXPECT_EQ(TMapFile::FromSymbolData(std::span(data).first(i), 0), nullptr) << i;
  }
}

TEST(SymbolData, BrokenTablesWithARightChecksumAreRefused) {
  const auto data = EncodeSymbolData(Sample());
  auto longer = data;
  longer.push_back(0);
  EXPECT_EQ(TMapFile::FromSymbolData(Resealed(longer), 0), nullptr);
  for (std::size_t size = 5; size < data.size(); ++size) {
    const std::vector<std::uint8_t> cut(data.begin(), data.begin() + size);
    EXPECT_EQ(TMapFile::FromSymbolData(Resealed(cut), 0), nullptr) << size;
  }
  auto version = data;
  version[0] = kSymbolDataVersion - 1;
  EXPECT_EQ(TMapFile::FromSymbolData(version, 0), nullptr);

  // Any other change gives valid data or none; lookups on what loads stay inside it.
  std::uint32_t random = 12345;
  for (int round = 0; round < 3000; ++round) {
    auto changed = data;
    random = random * 1103515245 + 12345;
    changed[5 + (random >> 8) % (data.size() - 5)] = std::uint8_t(random >> 20);
    if (const auto map = TMapFile::FromSymbolData(Resealed(changed), 0)) {
      for (std::uint64_t address = 0xFF0; address < 0x1400; address += 0x10) {
        map->FindPublic(address);
        map->FindSegment(true, address);
        map->FindLine(address);
      }
      map->FindPublicAddress("helpers", "Helper");
    }
  }
}

TEST(SymbolData, TrailerNeedsItsMagicAndRoomForTheData) {
  const auto trailer = EncodeSymbolTrailer({100, 0xCAFEF00D});
  const auto decoded = DecodeSymbolTrailer(trailer, 116);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->Size, 100u);
  EXPECT_EQ(decoded->Checksum, 0xCAFEF00Du);
  EXPECT_FALSE(DecodeSymbolTrailer(trailer, 115));
  auto foreign = trailer;
  foreign[15] ^= 1;
  EXPECT_FALSE(DecodeSymbolTrailer(foreign, 1000));
}

}  // namespace
