#include "dwarf_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "platform/process.h"
#include "symbol_table_builder.h"
#include "symbols_test_support.h"

namespace {

using namespace SymbolExtractor;
using Reporter::Symbols::TScopeKind;
using SymbolsTest::TAssembler;

enum : std::uint64_t {
  kString = 0x08,
  kStrp = 0x0E,
  kStrx1 = 0x25,
  kAddr = 0x01,
  kAddrx = 0x1B,
  kData1 = 0x0B,
  kData4 = 0x06,
  kData16 = 0x1E,
  kSdata = 0x0D,
  kUdata = 0x0F,
  kFlag = 0x0C,
  kFlagPresent = 0x19,
  kBlock1 = 0x0A,
  kExprloc = 0x18,
  kSecOffset = 0x17,
  kRefAddr = 0x10,
  kRef4 = 0x13,
  kRefUdata = 0x15,
  kIndirect = 0x16,
  kImplicitConst = 0x21,
};

// Made-up debug sections of one version: a line program with the files "src/box.cpp" (1) and
// "box.h" (2), and units that each hold, in namespace Outer, class TBox<int> with the
// declaration of Run; Run's code at 0x1000-0x1100 with one inlined call on line 42 of box.cpp
// (0x1010-0x1020, 0x1040-0x1048 and 0x2000-0x2008, a nested call inside it) in a lexical block;
// and Free at 0x1200-0x1210 outside any namespace. Each version writes its own forms.
class TDebugInfo {
 public:
  explicit TDebugInfo(int version, int units = 1) : version_(version) {
    Strings();
    LineProgram();
    Abbrevs();
    RangeLists();
    for (int i = 0; i < units; ++i) Unit();
  }

  TDebugSections Sections() {
    return {info_.Get(),       abbrev_.Get(), str_.Get(),    {},
            strOffsets_.Get(), addr_.Get(),   ranges_.Get(), rngLists_.Get()};
  }
  TLineTable Lines() { return ReadLinePrograms({line_.Get(), {}, {}}); }
  std::size_t SecondUnit() const { return secondUnit_; }
  std::vector<std::uint8_t>& Info() { return info_.Get(); }

 private:
  bool V5() const { return version_ >= 5; }
  unsigned AddressSize() const { return V5() ? 8 : 4; }

  void Strings() {
    for (const char* text : {"Outer", "TBox<int>", "Run", "Free"}) {
      strOffsets_.U32(str_.Size());
      strp_.push_back(std::uint32_t(str_.Size()));
      str_.Text(text);
    }
    // Version 5 reads through the address table; its header comes first.
    addr_.U32(4 + 3 * 8).U16(5).U8(8).U8(0).U64(0x1000).U64(0x1200).U64(0x1010);
  }

  void LineProgram() {
    line_.U32(0).U16(4);
    const std::size_t headerLength = line_.Size();
    line_.U32(0).U8(1).U8(1).U8(1).U8(std::uint8_t(-5)).U8(14).U8(13);
    for (int length : {0, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 1}) line_.U8(length);
    line_.Text("src").Text("");
    line_.Text("box.cpp").Uleb(1).Uleb(0).Uleb(0).Text("box.h").Uleb(0).Uleb(0).Uleb(0).Text("");
    line_.Patch32(headerLength, std::uint32_t(line_.Size() - headerLength - 4));
    line_.Patch32(0, std::uint32_t(line_.Size() - 4));
  }

  void Abbrev(std::uint64_t code, std::uint64_t tag, bool children,
              std::initializer_list<std::pair<std::uint64_t, std::uint64_t>> attributes) {
    abbrev_.Uleb(code).Uleb(tag).U8(children ? 1 : 0);
    for (const auto& [name, form] : attributes) {
      abbrev_.Uleb(name).Uleb(form);
      if (form == kImplicitConst) abbrev_.Sleb(1);
    }
    abbrev_.U8(0).U8(0);
  }

  void Abbrevs() {
    const std::uint64_t name = version_ == 2 ? kString : V5() ? kStrx1 : kStrp;
    const std::uint64_t offset = version_ >= 4 ? kSecOffset : kData4;
    const std::uint64_t reference = version_ == 2 ? kRefAddr : V5() ? kRefUdata : kRef4;
    const std::uint64_t length = version_ >= 3 ? kData4 : kAddr;
    if (V5()) {
      Abbrev(1, 0x11, true,
             {{0x10, offset}, {0x11, kAddr}, {0x72, kSecOffset}, {0x73, kSecOffset}});
    } else {
      Abbrev(1, 0x11, true, {{0x10, offset}, {0x11, kAddr}});
    }
    Abbrev(2, 0x39, true, {{0x03, name}});
    Abbrev(3, 0x02, true, {{0x03, name}});
    Abbrev(4, 0x2E, false,
           {{0x03, name}, {0x3A, kData1}, {0x3C, V5() ? kFlagPresent : kFlag}, {0x3B, kIndirect}});
    Abbrev(5, 0x2E, true,
           {{0x47, reference},
            {0x3A, V5() ? kImplicitConst : kData1},
            {0x11, V5() ? kAddrx : kAddr},
            {0x12, length},
            {0x40, version_ >= 4 ? kExprloc : kBlock1}});
    Abbrev(6, 0x0B, true, {});
    Abbrev(7, 0x1D, true,
           {{0x31, reference},
            {0x55, offset},
            {0x58, kData1},
            {0x59, kData1},
            {0x57, kSdata},
            {0x1C, V5() ? kData16 : kUdata}});
    Abbrev(8, 0x1D, false, {{0x11, V5() ? kAddrx : kAddr}, {0x12, length}, {0x59, kData1}});
    Abbrev(9, 0x2E, false, {{0x03, name}, {0x3A, kData1}, {0x11, kAddr}, {0x12, length}});
    abbrev_.U8(0);
  }

  void RangeLists() {
    ranges_.U32(0x10).U32(0x20).U32(0x40).U32(0x48).U32(0xFFFFFFFF).U32(0x2000);
    ranges_.U32(0).U32(8).U32(0).U32(0);
    rngLists_.U32(0).U16(5).U8(8).U8(0).U32(0);
    rngLists_.U8(4).Uleb(0x10).Uleb(0x20).U8(4).Uleb(0x40).Uleb(0x48);
    rngLists_.U8(5).U64(0x2000).U8(4).Uleb(0).Uleb(8).U8(0);
    rngLists_.Patch32(0, std::uint32_t(rngLists_.Size() - 4));
  }

  void Name(int index) {
    if (version_ == 2) {
      info_.Text(std::array{"Outer", "TBox<int>", "Run", "Free"}[index]);
    } else if (V5()) {
      info_.U8(index);
    } else {
      info_.U32(strp_[index]);
    }
  }

  void Address(std::uint64_t address, int index) {
    if (V5()) {
      info_.Uleb(index);
    } else {
      info_.U32(address);
    }
  }

  void High(std::uint64_t low, std::uint64_t high) {
    if (version_ >= 3) {
      info_.U32(high - low);
    } else {
      info_.U32(high);
    }
  }

  void Unit() {
    const std::size_t start = info_.Size();
    if (start > 0) secondUnit_ = start;
    info_.U32(0).U16(version_);
    if (V5()) {
      info_.U8(1).U8(8).U32(0);
    } else {
      info_.U32(0).U8(4);
    }
    info_.Uleb(1).U32(0);  // line program at 0
    if (V5()) {
      info_.U64(0x1000).U32(0).U32(8);
    } else {
      info_.U32(0x1000);
    }
    info_.Uleb(2);
    Name(0);
    info_.Uleb(3);
    Name(1);
    const std::uint64_t declaration = info_.Size();
    const std::uint64_t reference = version_ == 2 ? declaration : declaration - start;
    info_.Uleb(4);
    Name(2);
    info_.U8(2);
    if (!V5()) info_.U8(1);  // declaration
    info_.Uleb(kUdata).Uleb(7);
    info_.U8(0).U8(0);  // ends the class and the namespace

    const auto refer = [&] {
      if (V5()) {
        info_.Uleb(reference);
      } else {
        info_.U32(std::uint32_t(reference));
      }
    };
    info_.Uleb(5);
    refer();
    if (!V5()) info_.U8(1);
    Address(0x1000, 0);
    High(0x1000, 0x1100);
    info_.U8(1).U8(0x9C);  // frame base: one operation
    info_.Uleb(6).Uleb(7);
    refer();
    info_.U32(V5() ? 12 : 0).U8(1).U8(42).Sleb(-3);
    if (V5()) {
      info_.U64(0).U64(0);
    } else {
      info_.Uleb(5);
    }
    info_.Uleb(8);
    Address(0x1010, 2);
    High(0x1010, 0x1018);
    info_.U8(99);
    info_.U8(0).U8(0).U8(0);  // ends the call, the block and Run
    info_.Uleb(9);
    Name(3);
    info_.U8(1);
    if (V5()) {
      info_.U64(0x1200);
    } else {
      info_.U32(0x1200);
    }
    High(0x1200, 0x1210);
    info_.U8(0);  // ends the unit
    info_.Patch32(start, std::uint32_t(info_.Size() - start - 4));
  }

  int version_;
  TAssembler info_, abbrev_, str_, strOffsets_, addr_, ranges_, rngLists_, line_;
  std::vector<std::uint32_t> strp_;
  std::size_t secondUnit_ = 0;
};

class DwarfInfoVersions : public testing::TestWithParam<int> {};

TEST_P(DwarfInfoVersions, FunctionsWithScopesFilesAndOutermostCalls) {
  TDebugInfo debug(GetParam());
  const TLineTable lines = debug.Lines();
  const auto functions = ReadDebugInfo(debug.Sections(), lines);
  ASSERT_EQ(functions.size(), 2u);
  const TDwarfFunction& run = functions[0];
  EXPECT_EQ(run.Name, "Run");
  ASSERT_EQ(run.Scopes.size(), 2u);
  EXPECT_EQ(run.Scopes[0].Name, "Outer");
  EXPECT_EQ(run.Scopes[0].Kind, TScopeKind::Namespace);
  EXPECT_EQ(run.Scopes[1].Name, "TBox<int>");
  EXPECT_EQ(run.Scopes[1].Kind, TScopeKind::Class);
  ASSERT_LT(run.File, lines.Files.size());
  EXPECT_EQ(lines.Files[run.File], "src/box.cpp");
  ASSERT_EQ(run.Ranges.size(), 1u);
  EXPECT_EQ(run.Ranges[0].Begin, 0x1000u);
  EXPECT_EQ(run.Ranges[0].End, 0x1100u);
  EXPECT_EQ(run.Entry, 0x1000u);
  ASSERT_EQ(run.Calls.size(), 1u);
  EXPECT_EQ(run.Calls[0].Line, 42);
  EXPECT_EQ(run.Calls[0].File, run.File);
  const std::vector<std::pair<std::uint64_t, std::uint64_t>> expected = {
      {0x1010, 0x1020}, {0x1040, 0x1048}, {0x2000, 0x2008}};
  ASSERT_EQ(run.Calls[0].Ranges.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(run.Calls[0].Ranges[i].Begin, expected[i].first);
    EXPECT_EQ(run.Calls[0].Ranges[i].End, expected[i].second);
  }
  const TDwarfFunction& free = functions[1];
  EXPECT_EQ(free.Name, "Free");
  EXPECT_TRUE(free.Scopes.empty());
  ASSERT_EQ(free.Ranges.size(), 1u);
  EXPECT_EQ(free.Ranges[0].Begin, 0x1200u);
  EXPECT_EQ(free.Ranges[0].End, 0x1210u);
}

TEST_P(DwarfInfoVersions, DamageEndsTheUnitAndKeepsTheUnitsBefore) {
  TDebugInfo debug(GetParam(), 2);
  const TLineTable lines = debug.Lines();
  EXPECT_EQ(ReadDebugInfo(debug.Sections(), lines).size(), 4u);
  std::vector<std::uint8_t>& info = debug.Info();
  const std::vector<std::uint8_t> whole = info;
  for (std::size_t cut = debug.SecondUnit(); cut < whole.size(); ++cut) {
    info.assign(whole.begin(), whole.begin() + cut);
    EXPECT_EQ(ReadDebugInfo(debug.Sections(), lines).size(), 2u) << cut;
  }
  // Any changed byte gives whatever it gives, within the bytes.
  for (std::size_t at = 0; at < whole.size(); ++at) {
    info = whole;
    info[at] ^= 0xA5;
    ReadDebugInfo(debug.Sections(), lines);
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, DwarfInfoVersions, testing::Values(2, 3, 4, 5));

// The debug information the compiler wrote for this program: the probe's function that calls
// code inlined from a header.
TEST(DwarfInfo, DescribesThisProgramsFunctions) {
  const auto file = SymbolsTest::ReadBytes(Platform::ExecutablePath());
  const auto image = ImageWithoutSymbolData(file);
  const auto info = Reporter::Symbols::ParseImage(image);
  ASSERT_TRUE(info);
  const TImageDebugInfo debug = ReadImageDebugInfo(image, *info);
  const auto function =
      std::find_if(debug.Functions.begin(), debug.Functions.end(),
                   [](const TDwarfFunction& f) { return f.Name == "CallsInlinedCode"; });
  ASSERT_NE(function, debug.Functions.end());
  // The anonymous namespace around it is left out (where it counts as inline) or nameless.
  ASSERT_FALSE(function->Scopes.empty());
  EXPECT_EQ(function->Scopes.back().Name, SymbolsTest::kMarkedUnit);
  EXPECT_EQ(function->Scopes.back().Kind, TScopeKind::Namespace);
  EXPECT_EQ(Reporter::Symbols::ReadableName(function->Scopes, function->Name).Unit,
            SymbolsTest::kMarkedUnit);
  ASSERT_LT(function->File, debug.Lines.Files.size());
  EXPECT_TRUE(debug.Lines.Files[function->File].ends_with("probe_function.cpp"))
      << debug.Lines.Files[function->File];
  const auto call =
      std::find_if(function->Calls.begin(), function->Calls.end(),
                   [](const TInlinedCall& c) { return c.Line == SymbolsTest::InlinedCallLine(); });
  ASSERT_NE(call, function->Calls.end());
  EXPECT_EQ(call->File, function->File);
  ASSERT_FALSE(call->Ranges.empty());
  EXPECT_LE(function->Ranges.front().Begin, call->Ranges.front().Begin);
  EXPECT_GE(function->Ranges.front().End, call->Ranges.front().End);
}

}  // namespace
