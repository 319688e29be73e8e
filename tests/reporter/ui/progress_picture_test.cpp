// The picture rule: only an exact 32x32 picture with alpha is drawn, blended over the background.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "reporter/ui/progress_picture.h"

namespace {

using namespace Reporter::UI;

// A resource whose pixel (column, row as stored) is blue, green, red, alpha.
std::vector<std::uint8_t> Resource(int storedHeight, std::uint8_t alpha) {
  std::vector<std::uint8_t> bytes(kPictureResourceSize, 0);
  bytes[0] = 40;
  bytes[4] = 32;
  for (int i = 0; i < 4; ++i) bytes[8 + i] = std::uint8_t(std::uint32_t(storedHeight) >> (8 * i));
  for (std::size_t pixel = 0; pixel < 32 * 32; ++pixel) {
    std::uint8_t* p = bytes.data() + kPictureHeaderSize + 4 * pixel;
    p[0] = 0x10;  // blue
    p[1] = 0x80;  // green
    p[2] = 0xF0;  // red
    p[3] = alpha;
  }
  return bytes;
}

TEST(ProgressPicture, OnlyTheExactSizeIsDrawn) {
  auto bytes = Resource(32, 255);
  EXPECT_EQ(bytes.size(), 4136u);
  EXPECT_TRUE(BlendPicture(bytes, 0));
  for (const std::size_t size : {std::size_t(0), std::size_t(40), std::size_t(4135),
                                 std::size_t(4137), std::size_t(40 + 3 * 32 * 32)}) {
    bytes.resize(size, 0);
    EXPECT_FALSE(BlendPicture(bytes, 0)) << size;
  }
}

TEST(ProgressPicture, AlphaBlendsEachChannelOverTheBackground) {
  const std::uint32_t background = 0x204060;  // red 0x20, green 0x40, blue 0x60
  const auto opaque = BlendPicture(Resource(32, 255), background);
  ASSERT_TRUE(opaque);
  // a = 256: the pixel alone.
  EXPECT_EQ((*opaque)[0], 0xF08010u);
  const auto clear = BlendPicture(Resource(32, 0), background);
  ASSERT_TRUE(clear);
  // a = 1: (background * 255 + pixel) / 256 per channel.
  const std::uint32_t red = (0x20 * 255 + 0xF0) / 256, green = (0x40 * 255 + 0x80) / 256,
                      blue = (0x60 * 255 + 0x10) / 256;
  EXPECT_EQ((*clear)[0], red << 16 | green << 8 | blue);
  const auto half = BlendPicture(Resource(32, 127), background);
  ASSERT_TRUE(half);
  EXPECT_EQ((*half)[5] >> 16, (0x20u * 128 + 0xF0u * 128) / 256);
}

TEST(ProgressPicture, RowsComeOutTopFirstWhateverTheStoredOrder) {
  for (const int storedHeight : {32, -32}) {
    auto bytes = Resource(storedHeight, 255);
    // The first stored row gets a black pixel at column 3.
    std::uint8_t* first = bytes.data() + kPictureHeaderSize + 4 * 3;
    first[0] = first[1] = first[2] = 0;
    const auto pixels = BlendPicture(bytes, 0xFFFFFF);
    ASSERT_TRUE(pixels);
    const int row = storedHeight > 0 ? 31 : 0;
    EXPECT_EQ((*pixels)[std::size_t(row) * 32 + 3], 0u) << storedHeight;
    EXPECT_EQ((*pixels)[std::size_t(31 - row) * 32 + 3], 0xF08010u) << storedHeight;
  }
}

}  // namespace
