#include "reporter/report/symbols/image_file.h"

#include <algorithm>

#include "reporter/report/symbols/image_formats.h"

namespace Reporter::Symbols {

namespace Detail {

void SortSymbols(std::vector<TImageSymbol>& symbols) {
  std::sort(symbols.begin(), symbols.end(), [](const TImageSymbol& a, const TImageSymbol& b) {
    return a.Address != b.Address ? a.Address < b.Address : a.Name < b.Name;
  });
}

}  // namespace Detail

namespace {

bool IsPe(TImageFormat format) {
  return format == TImageFormat::Pe32 || format == TImageFormat::Pe32Plus;
}

}  // namespace

std::optional<TImageInfo> ParseImage(std::span<const std::uint8_t> file) {
  if (Detail::LooksLikePe(file)) return Detail::ParsePe(file);
  if (Detail::LooksLikeElf(file)) return Detail::ParseElf(file);
  return std::nullopt;
}

std::vector<TImageSymbol> ReadExports(std::span<const std::uint8_t> file, const TImageInfo& info) {
  return IsPe(info.Format) ? Detail::ReadPeExports(file, info) : Detail::ReadElfExports(file, info);
}

std::vector<TImageSymbol> ReadFunctionSymbols(std::span<const std::uint8_t> file,
                                              const TImageInfo& info) {
  return IsPe(info.Format) ? Detail::ReadPeFunctionSymbols(file, info)
                           : Detail::ReadElfFunctionSymbols(file, info);
}

std::span<const std::uint8_t> SectionBytes(std::span<const std::uint8_t> file,
                                           const TImageInfo& info, std::string_view name) {
  for (const TImageSection& section : info.Sections) {
    if (section.Name != name) continue;
    if (section.FileOffset > file.size() || section.FileSize > file.size() - section.FileOffset) {
      return {};
    }
    return file.subspan(section.FileOffset, section.FileSize);
  }
  return {};
}

}  // namespace Reporter::Symbols
