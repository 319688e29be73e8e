#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/progress_window.h"

// The progress box's picture: a bitmap resource of exactly a 40-byte bitmap header and 32x32
// pixels of blue, green, red and alpha, blended over the box's background.
namespace Reporter::UI {

inline constexpr std::size_t kPictureHeaderSize = 40;
inline constexpr std::size_t kPictureResourceSize =
    kPictureHeaderSize + 4 * Platform::kBoxPictureSize * Platform::kBoxPictureSize;

// The pixels, top row first, each blended as (background * (256 - a) + pixel * a) / 256 with
// a = alpha + 1. A header with a negative height stores the top row first, any other the bottom
// row first. None when the resource has any other size: nothing is drawn then.
std::optional<Platform::TBoxPicture> BlendPicture(std::span<const std::uint8_t> resource,
                                                  std::uint32_t background);

}  // namespace Reporter::UI
