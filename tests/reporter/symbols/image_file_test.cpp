#include "reporter/report/symbols/image_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/process.h"
#include "reporter/report/symbols/map_file.h"
#include "support/scoped_temp_dir.h"
#include "symbols_test_support.h"
#include "synthetic_pe.h"

namespace {

using namespace Reporter::Symbols;
using SymbolsTest::TSyntheticPe;

constexpr bool kTargetWindows = UPDATE_TARGET_WINDOWS != 0;

TEST(OwnImage, HeadersMatchTheBuildAndHoldTheMarkedFunction) {
  const std::string path = Platform::ExecutablePath();
  const auto bytes = SymbolsTest::ReadBytes(path);
  const auto info = ParseImage(bytes);
  ASSERT_TRUE(info);
  const bool wide = sizeof(void*) == 8;
  if (kTargetWindows) {
    EXPECT_EQ(info->Format, wide ? TImageFormat::Pe32Plus : TImageFormat::Pe32);
  } else {
    EXPECT_EQ(info->Format, wide ? TImageFormat::Elf64 : TImageFormat::Elf32);
  }

  // The link-time address of the marked function, from the symbol data without load bias.
  const auto map = TMapFile::ForImageFile(path, 0);
  ASSERT_NE(map, nullptr);
  const auto linkAddress = map->FindPublicAddress(SymbolsTest::kMarkedUnit, "MarkedFunction");
  ASSERT_TRUE(linkAddress);
  EXPECT_LE(info->CodeBegin, *linkAddress);
  EXPECT_LT(*linkAddress, info->CodeEnd);
  EXPECT_LE(info->CodeBegin, info->EntryPoint);
  EXPECT_LT(info->EntryPoint, info->CodeEnd);
  EXPECT_LT(info->DataBegin, info->DataEnd);
  EXPECT_LE(info->PreferredBase, info->CodeBegin);
  // The DWARF sections: PE keeps their names in the COFF string table.
  EXPECT_FALSE(SectionBytes(bytes, *info, ".debug_line").empty());
  EXPECT_FALSE(SectionBytes(bytes, *info, ".debug_line_str").empty());
}

TEST(OwnImage, CutHeadersOrForeignBytesAreNoImage) {
  const auto bytes = SymbolsTest::ReadBytes(Platform::ExecutablePath());
  for (std::size_t size : {0, 1, 2, 4, 16, 63, 64, 200, 512}) {
    EXPECT_FALSE(ParseImage(std::span(bytes).first(size))) << size;
  }
  std::vector<std::uint8_t> text(4096, 'x');
  EXPECT_FALSE(ParseImage(text));
  text[0] = 'M';
  text[1] = 'Z';
  EXPECT_FALSE(ParseImage(text));
}

class SyntheticPe : public testing::TestWithParam<bool> {
 protected:
  bool Plus() const { return GetParam(); }
  std::uint64_t Base() const { return Plus() ? 0x140000000 : 0x400000; }
  std::vector<std::uint8_t> image_ = SymbolsTest::MakeSyntheticPe(Plus(), Base());
};

TEST_P(SyntheticPe, HeadersSectionsAndRanges) {
  const auto info = ParseImage(image_);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Format, Plus() ? TImageFormat::Pe32Plus : TImageFormat::Pe32);
  EXPECT_EQ(info->PreferredBase, Base());
  EXPECT_EQ(info->EntryPoint, Base() + TSyntheticPe::kEntryRva);
  EXPECT_EQ(info->CodeBegin, Base() + TSyntheticPe::kTextRva);
  EXPECT_EQ(info->CodeEnd, Base() + TSyntheticPe::kTextRva + TSyntheticPe::kTextSize);
  EXPECT_EQ(info->DataBegin, Base() + 0x2000);
  EXPECT_EQ(info->DataEnd, Base() + 0x2000 + 0x300);
  ASSERT_EQ(info->Sections.size(), 3u);
  EXPECT_EQ(info->Sections[0].Name, ".text");
  EXPECT_TRUE(info->Sections[0].Code);
  EXPECT_FALSE(info->Sections[1].Code);
  EXPECT_EQ(info->Sections[2].Name, TSyntheticPe::kLongSectionName);
  // Only the bytes that belong to the section, not the file alignment after them.
  EXPECT_EQ(SectionBytes(image_, *info, TSyntheticPe::kLongSectionName).size(), 0x10u);
}

TEST_P(SyntheticPe, ExportsSkipForwarders) {
  const auto info = ParseImage(image_);
  ASSERT_TRUE(info);
  const auto exports = ReadExports(image_, *info);
  ASSERT_EQ(exports.size(), 2u);
  EXPECT_EQ(exports[0].Name, "Sleep");
  EXPECT_EQ(exports[0].Address, Base() + TSyntheticPe::kTextRva + TSyntheticPe::kSleepOffset);
  EXPECT_EQ(exports[1].Name, TSyntheticPe::kMangledExport);
  // The symbol source shows it demangled, as unit and function.
  const auto map = TMapFile::FromExports(image_, 0);
  ASSERT_NE(map, nullptr);
  const TMfPublic detach = map->FindPublic(exports[1].Address + 1);
  EXPECT_EQ(detach.Unit, "std");
  EXPECT_EQ(detach.Name, "thread::detach");
}

TEST_P(SyntheticPe, CoffFunctionSymbolsAndFunctionsKnownByTheirSection) {
  const auto info = ParseImage(image_);
  ASSERT_TRUE(info);
  const auto symbols = ReadFunctionSymbols(image_, *info);
  ASSERT_EQ(symbols.size(), 3u);
  EXPECT_EQ(symbols[0].Name, "_Sleep@4");
  EXPECT_EQ(symbols[0].Address, Base() + TSyntheticPe::kTextRva + TSyntheticPe::kSleepOffset);
  EXPECT_EQ(symbols[1].Name, "__ZN6Update4Work9RunUpdateEv");
  EXPECT_EQ(symbols[1].Address, Base() + TSyntheticPe::kTextRva + TSyntheticPe::kRunUpdateOffset);
  // Named by its section, with the decoration of 32-bit names.
  EXPECT_EQ(symbols[2].Name, Plus() ? "_ZN6Update4Work4WaitEv" : "__ZN6Update4Work4WaitEv");
  EXPECT_EQ(symbols[2].Address, Base() + TSyntheticPe::kTextRva + TSyntheticPe::kWaitOffset);
}

TEST_P(SyntheticPe, EveryCutIsRefusedOrReadWithinItsBytes) {
  for (std::size_t size = 0; size < image_.size(); ++size) {
    const std::vector<std::uint8_t> cut(image_.begin(), image_.begin() + size);
    const auto info = ParseImage(cut);
    if (size < TSyntheticPe::kSectionsEnd) {
      EXPECT_FALSE(info) << size;
    } else if (info) {
      ReadExports(cut, *info);
      EXPECT_LE(ReadFunctionSymbols(cut, *info).size(), 3u);
    }
  }
}

TEST_P(SyntheticPe, OtherMachinesAreRefused) {
  image_[0x44] = 0x64;  // ARM64
  image_[0x45] = 0xAA;
  EXPECT_FALSE(ParseImage(image_));
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, SyntheticPe, testing::Bool());

// A library of the system the tests run on, and a function it surely exports.
struct TSystemLibrary {
  std::string Path;
  std::string Function;
};

std::optional<TSystemLibrary> FindSystemLibrary() {
  std::vector<std::string> candidates;
  std::string function = "malloc";
  if (kTargetWindows) {
    candidates = {"C:\\windows\\system32\\kernel32.dll"};
    function = "GetProcAddress";
  } else if (sizeof(void*) == 8) {
    candidates = {"/lib/x86_64-linux-gnu/libc.so.6", "/usr/lib/x86_64-linux-gnu/libc.so.6",
                  "/lib64/libc.so.6", "/usr/lib64/libc.so.6"};
  } else {
    candidates = {"/lib/i386-linux-gnu/libc.so.6", "/usr/lib/i386-linux-gnu/libc.so.6",
                  "/usr/lib32/libc.so.6", "/lib32/libc.so.6", "/lib/libc.so.6"};
  }
  for (const std::string& path : candidates) {
    std::error_code error;
    if (std::filesystem::is_regular_file(TestSupport::FsPath(path), error)) {
      return TSystemLibrary{path, function};
    }
  }
  return std::nullopt;
}

TEST(SystemLibrary, ExportsItsWellKnownFunction) {
  const auto library = FindSystemLibrary();
  if (!library) GTEST_SKIP() << "no system library found";
  const auto bytes = SymbolsTest::ReadBytes(library->Path);
  const auto info = ParseImage(bytes);
  ASSERT_TRUE(info);
  const auto exports = ReadExports(bytes, *info);
  const auto found = std::find_if(exports.begin(), exports.end(), [&](const TImageSymbol& s) {
    return s.Name == library->Function;
  });
  ASSERT_NE(found, exports.end());
  EXPECT_LE(info->CodeBegin, found->Address);
  EXPECT_LT(found->Address, info->CodeEnd);
  EXPECT_TRUE(std::is_sorted(
      exports.begin(), exports.end(),
      [](const TImageSymbol& a, const TImageSymbol& b) { return a.Address < b.Address; }));

  // Without symbol data the symbol source is the exports: no units, no lines.
  constexpr std::uint64_t kBias = 0x10000;
  const auto map = TMapFile::ForImageFile(library->Path, kBias);
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->FindPublicAddress("", library->Function, true), found->Address + kBias);
  const TMfPublic atFunction = map->FindPublic(found->Address + kBias + 1);
  EXPECT_TRUE(atFunction.IsValid);
  EXPECT_EQ(atFunction.Address, found->Address + kBias);
  EXPECT_EQ(atFunction.Name, library->Function);  // the plainest of its names
  EXPECT_FALSE(map->FindSegment(true, found->Address + kBias).IsValid);
  EXPECT_EQ(map->FindLine(found->Address + kBias), 0);
  EXPECT_EQ(map->MinDebugInfo(), "exports");
}

}  // namespace
