// The stamp on made-up files: where it goes, that it covers every byte, and the CRC-32 it uses.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "reporter/integrity/checksum_stamp.h"
#include "reporter/integrity/crc32.h"
#include "reporter/report/symbols/symbol_data.h"

namespace {

using namespace Reporter::Integrity;
using Reporter::Symbols::kSymbolTrailerSize;

std::vector<std::uint8_t> Bytes(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = std::uint8_t(seed + i * 37 + (i >> 3));
  return bytes;
}

// An image followed by symbol data and its trailer, as the build leaves a program.
std::vector<std::uint8_t> ProgramWithSymbolData(std::size_t imageSize, std::size_t dataSize) {
  std::vector<std::uint8_t> file = Bytes(imageSize, 1);
  const std::vector<std::uint8_t> data = Bytes(dataSize, 99);
  file.insert(file.end(), data.begin(), data.end());
  const auto trailer = Reporter::Symbols::EncodeSymbolTrailer(
      {std::uint32_t(data.size()), Reporter::Symbols::Crc32(data)});
  file.insert(file.end(), trailer.begin(), trailer.end());
  return file;
}

TEST(Crc32, AgreesWithTheBytewiseOneOnEveryLengthAndAlignment) {
  // Past 64 bytes, in steps of 16, the folding path takes over where the processor has it.
  const std::vector<std::uint8_t> bytes = Bytes(300, 5);
  for (std::size_t start = 0; start < 9; ++start) {
    for (std::size_t length = 0; start + length <= bytes.size(); ++length) {
      const std::span<const std::uint8_t> part(bytes.data() + start, length);
      TCrc32 crc;
      crc.Update(part);
      ASSERT_EQ(crc.Value(), Reporter::Symbols::Crc32(part)) << start << "+" << length;
    }
  }
  TCrc32 pieces;
  pieces.Update(std::span(bytes).first(13));
  pieces.Update(std::span(bytes).subspan(13));
  EXPECT_EQ(pieces.Value(), Reporter::Symbols::Crc32(bytes));
  EXPECT_EQ(TCrc32().Value(), 0u);
  const std::uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  TCrc32 known;
  known.Update(check);
  EXPECT_EQ(known.Value(), 0xCBF43926u);
}

TEST(ChecksumStamp, GoesBeforeTheSymbolDataWhoseTrailerStaysLast) {
  const std::vector<std::uint8_t> program = ProgramWithSymbolData(200, 50);
  const auto stamped = WithStamp(program);
  ASSERT_TRUE(stamped);
  ASSERT_EQ(stamped->size(), program.size() + kStampSize);
  EXPECT_TRUE(std::equal(program.begin(), program.begin() + 200, stamped->begin()));
  EXPECT_TRUE(std::equal(program.begin() + 200, program.end(), stamped->begin() + 200 + kStampSize))
      << "the symbol data and its trailer follow unchanged";
  EXPECT_EQ(FindStamp(*stamped), 200u);
  EXPECT_TRUE(Reporter::Symbols::DecodeSymbolTrailer(std::span(*stamped).last(kSymbolTrailerSize),
                                                     stamped->size()));
  EXPECT_EQ(CheckStamp(*stamped), TStampCheck::Matches);
}

TEST(ChecksumStamp, GoesAtTheEndOfAFileWithoutSymbolData) {
  const std::vector<std::uint8_t> image = Bytes(100, 3);
  const auto stamped = WithStamp(image);
  ASSERT_TRUE(stamped);
  EXPECT_EQ(FindStamp(*stamped), 100u);
  EXPECT_EQ(CheckStamp(*stamped), TStampCheck::Matches);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), stamped->begin()));
}

TEST(ChecksumStamp, StampingAgainGivesTheSameFile) {
  for (const auto& program : {ProgramWithSymbolData(300, 20), Bytes(64, 8)}) {
    const auto once = WithStamp(program);
    ASSERT_TRUE(once);
    const auto twice = WithStamp(*once);
    ASSERT_TRUE(twice);
    EXPECT_EQ(*twice, *once);
  }
}

TEST(ChecksumStamp, AFileChangedAfterStampingIsRestampedInPlace) {
  auto stamped = *WithStamp(ProgramWithSymbolData(120, 30));
  stamped[10] ^= 0xFF;
  ASSERT_EQ(CheckStamp(stamped), TStampCheck::Mismatch);
  const auto again = WithStamp(stamped);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->size(), stamped.size());
  EXPECT_EQ(CheckStamp(*again), TStampCheck::Matches);
}

TEST(ChecksumStamp, EveryFlippedByteIsFound) {
  for (const auto& program : {ProgramWithSymbolData(97, 23), Bytes(41, 4)}) {
    const auto stamped = *WithStamp(program);
    for (std::size_t at = 0; at < stamped.size(); ++at) {
      for (const std::uint8_t mask : {0x01, 0x80, 0xFF}) {
        auto damaged = stamped;
        damaged[at] ^= mask;
        ASSERT_NE(CheckStamp(damaged), TStampCheck::Matches) << "byte " << at << " ^ " << +mask;
      }
    }
  }
}

TEST(ChecksumStamp, ShortenedOrLengthenedFilesFail) {
  const auto stamped = *WithStamp(ProgramWithSymbolData(80, 16));
  for (const std::size_t cut : {1u, 16u, 17u}) {
    const std::vector<std::uint8_t> shorter(stamped.begin(), stamped.end() - cut);
    EXPECT_NE(CheckStamp(shorter), TStampCheck::Matches) << cut;
  }
  auto longer = stamped;
  longer.push_back(0);
  EXPECT_NE(CheckStamp(longer), TStampCheck::Matches);
}

TEST(ChecksumStamp, UnstampedAndTinyFilesHaveNoStamp) {
  EXPECT_EQ(CheckStamp({}), TStampCheck::NoStamp);
  EXPECT_EQ(CheckStamp(Bytes(5, 0)), TStampCheck::NoStamp);
  EXPECT_EQ(CheckStamp(ProgramWithSymbolData(0, 10)), TStampCheck::NoStamp);
  EXPECT_EQ(CheckStamp(ProgramWithSymbolData(300, 10)), TStampCheck::NoStamp);
  // The magic alone at the stamp's place, with the wrong offset, is no stamp.
  std::vector<std::uint8_t> fake = Bytes(40, 2);
  std::copy(kStampMagic.begin(), kStampMagic.end(), fake.end() - kStampSize);
  EXPECT_EQ(CheckStamp(fake), TStampCheck::NoStamp);
  // A stamp of nothing but itself still covers itself.
  const auto onlyStamp = WithStamp({});
  ASSERT_TRUE(onlyStamp);
  EXPECT_EQ(onlyStamp->size(), kStampSize);
  EXPECT_EQ(CheckStamp(*onlyStamp), TStampCheck::Matches);
}

}  // namespace
