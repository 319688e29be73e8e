#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "reporter/report/symbols/image_file.h"

// The two image formats behind image_file.h, one file each.
namespace Reporter::Symbols::Detail {

bool LooksLikePe(std::span<const std::uint8_t> file);
std::optional<TImageInfo> ParsePe(std::span<const std::uint8_t> file);
std::vector<TImageSymbol> ReadPeExports(std::span<const std::uint8_t> file, const TImageInfo& info);
std::vector<TImageSymbol> ReadPeFunctionSymbols(std::span<const std::uint8_t> file,
                                                const TImageInfo& info);

bool LooksLikeElf(std::span<const std::uint8_t> file);
std::optional<TImageInfo> ParseElf(std::span<const std::uint8_t> file);
std::vector<TImageSymbol> ReadElfExports(std::span<const std::uint8_t> file,
                                         const TImageInfo& info);
std::vector<TImageSymbol> ReadElfFunctionSymbols(std::span<const std::uint8_t> file,
                                                 const TImageInfo& info);

// Sorts by address, then name, so that every reader hands out the same order.
void SortSymbols(std::vector<TImageSymbol>& symbols);

}  // namespace Reporter::Symbols::Detail
