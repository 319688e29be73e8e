#include "dwarf_lines.h"

#include <gtest/gtest.h>

#include <string_view>

#include "symbols_test_support.h"

namespace {

using namespace SymbolExtractor;
using SymbolsTest::TAssembler;

constexpr int kLineBase = -5;
constexpr int kLineRange = 14;
constexpr int kOpcodeBase = 13;

void StandardHeaderFields(TAssembler& a, int version) {
  a.U8(1);  // minimum instruction length
  if (version >= 4) a.U8(1);
  a.U8(1).U8(std::uint8_t(kLineBase)).U8(kLineRange).U8(kOpcodeBase);
  for (int length : {0, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 1}) a.U8(length);
}

// The program both versions share: rows at 0x401000 (line 10), 0x401004 (12), 0x401020 in
// the second file (10), the end of the sequence at 0x401030.
void Program(TAssembler& a) {
  a.U8(0).Uleb(9).U8(2).U64(0x401000);                   // set address
  a.U8(3).Sleb(9).U8(1);                                 // line 10, copy
  a.U8(kOpcodeBase + (2 - kLineBase) + kLineRange * 4);  // special: address +4, line +2
  a.U8(4).Uleb(2);                                       // second file
  a.U8(5).Uleb(7).U8(6);                                 // column and is_stmt: no row
  a.U8(8);                                               // const add pc: +17
  a.U8(9).U16(0xB);                                      // fixed advance: +11
  a.U8(3).Sleb(-2).U8(1);                                // line 10, copy
  a.U8(2).Uleb(0x10);                                    // advance pc
  a.U8(0).Uleb(1).U8(1);                                 // end of sequence
}

// A unit of version 2 to 4 with the files "src/work.cpp" and "job.h".
void UnitV4(TAssembler& a, int version) {
  const std::size_t start = a.Size();
  a.U32(0).U16(version);
  const std::size_t headerLength = a.Size();
  a.U32(0);
  StandardHeaderFields(a, version);
  a.Text("src").Text("");
  a.Text("work.cpp").Uleb(1).Uleb(0).Uleb(0);
  a.Text("job.h").Uleb(0).Uleb(0).Uleb(0);
  a.Text("");
  a.Patch32(headerLength, std::uint32_t(a.Size() - headerLength - 4));
  Program(a);
  a.Patch32(start, std::uint32_t(a.Size() - start - 4));
}

// A version 5 unit: directory names in .debug_line_str, file names inline or in .debug_str,
// with MD5 sums; files 0 and 1 are the unit's own file "src/main.cpp", 2 is "/work/other.h".
void UnitV5(TAssembler& a) {
  const std::size_t start = a.Size();
  a.U32(0).U16(5).U8(8).U8(0);
  const std::size_t headerLength = a.Size();
  a.U32(0);
  StandardHeaderFields(a, 5);
  a.U8(1).Uleb(1).Uleb(0x1F);  // directories: path as line_strp
  a.Uleb(2).U32(0).U32(6);     // "/work", "src"
  a.U8(3).Uleb(1).Uleb(0x08).Uleb(2).Uleb(0x0B).Uleb(5).Uleb(0x1E);
  a.Uleb(3);
  a.Text("main.cpp").U8(1).U64(0).U64(0);
  a.Text("main.cpp").U8(1).U64(0).U64(0);
  a.Text("other.h").U8(0).U64(0).U64(0);
  a.Patch32(headerLength, std::uint32_t(a.Size() - headerLength - 4));
  Program(a);
  a.Patch32(start, std::uint32_t(a.Size() - start - 4));
}

const std::vector<std::uint8_t> kLineStrings = [] {
  const std::string_view text("/work\0src\0", 10);
  return std::vector<std::uint8_t>(text.begin(), text.end());
}();

void ExpectRows(const TLineTable& table, std::size_t first, std::string_view file,
                std::string_view secondFile) {
  ASSERT_GE(table.Rows.size(), first + 4);
  const TLineRow* rows = &table.Rows[first];
  EXPECT_EQ(rows[0].Address, 0x401000u);
  EXPECT_EQ(rows[0].Line, 10);
  EXPECT_EQ(table.Files.at(rows[0].File), file);
  EXPECT_EQ(rows[1].Address, 0x401004u);
  EXPECT_EQ(rows[1].Line, 12);
  EXPECT_EQ(rows[2].Address, 0x401020u);
  EXPECT_EQ(rows[2].Line, 10);
  EXPECT_EQ(table.Files.at(rows[2].File), secondFile);
  EXPECT_FALSE(rows[2].EndSequence);
  EXPECT_EQ(rows[3].Address, 0x401030u);
  EXPECT_TRUE(rows[3].EndSequence);
}

TEST(DwarfLines, VersionsTwoToFourRunTheirPrograms) {
  for (int version : {2, 3, 4}) {
    TAssembler a;
    UnitV4(a, version);
    const TLineTable table = ReadLinePrograms({a.Get(), {}, {}});
    EXPECT_EQ(table.Rows.size(), 4u) << version;
    ExpectRows(table, 0, "src/work.cpp", "job.h");
  }
}

TEST(DwarfLines, VersionFiveReadsItsEntryFormats) {
  TAssembler a;
  UnitV5(a);
  UnitV4(a, 4);
  const TLineTable table = ReadLinePrograms({a.Get(), kLineStrings, {}});
  ASSERT_EQ(table.Rows.size(), 8u);
  ExpectRows(table, 0, "src/main.cpp", "/work/other.h");
  ExpectRows(table, 4, "src/work.cpp", "job.h");
}

TEST(DwarfLines, ADamagedUnitEndsTheReadingAndKeepsTheRowsBefore) {
  TAssembler a;
  UnitV4(a, 3);
  const std::size_t second = a.Size();
  UnitV4(a, 3);
  auto bytes = a.Get();
  for (std::size_t cut = second; cut < bytes.size(); ++cut) {
    const std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + cut);
    const TLineTable table = ReadLinePrograms({part, {}, {}});
    ASSERT_GE(table.Rows.size(), 4u) << cut;
    ExpectRows(table, 0, "src/work.cpp", "job.h");
  }
  bytes[second + 4] = 9;  // an unknown version
  EXPECT_EQ(ReadLinePrograms({bytes, {}, {}}).Rows.size(), 4u);
}

}  // namespace
