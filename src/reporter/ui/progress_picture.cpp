#include "reporter/ui/progress_picture.h"

namespace Reporter::UI {

std::optional<Platform::TBoxPicture> BlendPicture(std::span<const std::uint8_t> resource,
                                                  std::uint32_t background) {
  if (resource.size() != kPictureResourceSize) return std::nullopt;
  const std::int32_t height =
      std::int32_t(std::uint32_t(resource[8]) | std::uint32_t(resource[9]) << 8 |
                   std::uint32_t(resource[10]) << 16 | std::uint32_t(resource[11]) << 24);
  const bool topDown = height < 0;
  constexpr int kSize = Platform::kBoxPictureSize;
  Platform::TBoxPicture pixels(std::size_t(kSize) * kSize);
  for (int row = 0; row < kSize; ++row) {
    const int target = topDown ? row : kSize - 1 - row;
    for (int column = 0; column < kSize; ++column) {
      const std::uint8_t* pixel =
          resource.data() + kPictureHeaderSize + 4 * (std::size_t(row) * kSize + column);
      const std::uint32_t a = std::uint32_t(pixel[3]) + 1;
      std::uint32_t blended = 0;
      // Blue, green, red: the pixel's byte order, and the low to high bytes of 0x00RRGGBB.
      for (int channel = 0; channel < 3; ++channel) {
        const std::uint32_t back = (background >> (8 * channel)) & 0xFF;
        blended |= ((back * (256 - a) + pixel[channel] * a) / 256) << (8 * channel);
      }
      pixels[std::size_t(target) * kSize + column] = blended;
    }
  }
  return pixels;
}

}  // namespace Reporter::UI
