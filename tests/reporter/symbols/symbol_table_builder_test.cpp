#include "symbol_table_builder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/process.h"
#include "reporter/report/symbols/map_file.h"
#include "symbols_test_support.h"
#include "synthetic_pe.h"

namespace {

using namespace SymbolExtractor;
using namespace Reporter::Symbols;
using SymbolsTest::TSyntheticPe;

TEST(FileStem, NameWithoutFolderAndExtension) {
  EXPECT_EQ(FileStem("src/updater/main.cpp"), "main");
  EXPECT_EQ(FileStem("C:\\src\\job.h"), "job");
  EXPECT_EQ(FileStem("archive.tar.gz"), "archive.tar");
  EXPECT_EQ(FileStem("Makefile"), "Makefile");
  EXPECT_EQ(FileStem("/src/.hidden"), ".hidden");
}

TEST(BuildSymbolData, WindowsX86NamesLoseTheirDecoration) {
  constexpr std::uint64_t kBase = 0x400000;
  const auto image = SymbolsTest::MakeSyntheticPe(false, kBase);
  std::string error;
  const auto data = BuildSymbolData(image, error);
  ASSERT_TRUE(data) << error;
  ASSERT_EQ(data->Functions.size(), 3u);
  const TSymbolFunction& sleep = data->Functions[0];
  EXPECT_EQ(data->Names[sleep.Name], "Sleep");
  EXPECT_EQ(data->Units[sleep.Unit], "");
  EXPECT_EQ(sleep.Start, kBase + TSyntheticPe::kTextRva + TSyntheticPe::kSleepOffset);
  // Without sizes a function runs to the next one, the last to the end of its section.
  EXPECT_EQ(sleep.Length, TSyntheticPe::kRunUpdateOffset - TSyntheticPe::kSleepOffset);
  // Without debug information the mangled name tells no namespace from a class.
  const TSymbolFunction& run = data->Functions[1];
  EXPECT_EQ(data->Names[run.Name], "Work::RunUpdate");
  EXPECT_EQ(data->Units[run.Unit], "Update");
  EXPECT_EQ(run.Length, TSyntheticPe::kWaitOffset - TSyntheticPe::kRunUpdateOffset);
  EXPECT_FALSE(run.LineNumbers);
  const TSymbolFunction& wait = data->Functions[2];
  EXPECT_EQ(data->Names[wait.Name], "Work::Wait");
  EXPECT_EQ(wait.Length, TSyntheticPe::kTextSize - TSyntheticPe::kWaitOffset);
  EXPECT_EQ(data->TopOfCode, kBase + TSyntheticPe::kTextRva + TSyntheticPe::kTextSize);
}

TEST(BuildSymbolData, RefusesWhatIsNoImage) {
  const std::vector<std::uint8_t> text(1000, 'x');
  std::string error;
  EXPECT_FALSE(BuildSymbolData(text, error));
  EXPECT_FALSE(error.empty());
}

TEST(BuildSymbolData, RebuildsThisProgramsDataByteForByte) {
  const auto file = SymbolsTest::ReadBytes(Platform::ExecutablePath());
  const auto image = ImageWithoutSymbolData(file);
  ASSERT_LT(image.size(), file.size());
  EXPECT_EQ(ImageWithoutSymbolData(image).size(), image.size());
  std::string error;
  const auto data = BuildSymbolData(image, error);
  ASSERT_TRUE(data) << error;
  EXPECT_TRUE(WithSymbolData(image, *data) == file);

  // The marked function: its qualified name, its unit, and line entries inside it.
  const auto function = std::find_if(
      data->Functions.begin(), data->Functions.end(),
      [&](const TSymbolFunction& f) { return data->Names[f.Name] == SymbolsTest::kMarkedName; });
  ASSERT_NE(function, data->Functions.end());
  EXPECT_EQ(data->Units[function->Unit], SymbolsTest::kMarkedUnit);
  EXPECT_TRUE(function->LineNumbers);
  ASSERT_GT(function->LineCount, 0u);
  const TMfLine& first = data->Lines[function->FirstLine];
  EXPECT_EQ(first.Address, function->Start);
  EXPECT_GE(first.Line, SymbolsTest::MarkedFunctionLine());
  EXPECT_LE(first.Line, SymbolsTest::MarkedCallLine());
}

}  // namespace
