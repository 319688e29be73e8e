#include "reporter/integrity/checksum_stamp.h"

#include <algorithm>

#include "reporter/integrity/crc32.h"
#include "reporter/report/symbols/symbol_data.h"

namespace Reporter::Integrity {
namespace {

constexpr std::size_t kChecksumField = kStampChecksumField;
constexpr std::size_t kOffsetField = kStampOffsetField;

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
         std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24;
}

void WriteU32(std::uint8_t* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = std::uint8_t(value >> (8 * i));
}

}  // namespace

std::size_t StampEnd(std::span<const std::uint8_t> file) {
  using namespace Reporter::Symbols;
  if (file.size() < kSymbolTrailerSize) return file.size();
  const auto trailer = DecodeSymbolTrailer(file.last(kSymbolTrailerSize), file.size());
  if (!trailer) return file.size();
  return file.size() - kSymbolTrailerSize - trailer->Size;
}

std::optional<std::size_t> FindStamp(std::span<const std::uint8_t> file) {
  const std::size_t end = StampEnd(file);
  if (end < kStampSize) return std::nullopt;
  const std::size_t start = end - kStampSize;
  const auto stamp = file.subspan(start, kStampSize);
  if (!std::equal(kStampMagic.begin(), kStampMagic.end(), stamp.begin())) return std::nullopt;
  if (ReadU32(stamp, kOffsetField) != start) return std::nullopt;
  return start;
}

std::uint32_t StampChecksum(std::span<const std::uint8_t> file, std::size_t stampOffset) {
  const std::size_t field = stampOffset + kChecksumField;
  TCrc32 crc;
  crc.Update(file.first(std::min(field, file.size())));
  if (field + 4 < file.size()) crc.Update(file.subspan(field + 4));
  return crc.Value();
}

std::optional<std::vector<std::uint8_t>> WithStamp(std::span<const std::uint8_t> file) {
  const std::size_t end = StampEnd(file);
  const std::size_t start = FindStamp(file).value_or(end);
  if (std::uint64_t(file.size()) + kStampSize > 0xFFFFFFFFu) return std::nullopt;
  std::vector<std::uint8_t> result;
  result.reserve(start + kStampSize + (file.size() - end));
  result.insert(result.end(), file.begin(), file.begin() + std::ptrdiff_t(start));
  result.insert(result.end(), kStampMagic.begin(), kStampMagic.end());
  result.resize(result.size() + 8, 0);
  WriteU32(result.data() + start + kOffsetField, std::uint32_t(start));
  result.insert(result.end(), file.begin() + std::ptrdiff_t(end), file.end());
  WriteU32(result.data() + start + kChecksumField, StampChecksum(result, start));
  return result;
}

TStampCheck CheckStamp(std::span<const std::uint8_t> file) {
  const std::optional<std::size_t> stamp = FindStamp(file);
  if (!stamp) return TStampCheck::NoStamp;
  const std::uint32_t stored = ReadU32(file, *stamp + kChecksumField);
  return StampChecksum(file, *stamp) == stored ? TStampCheck::Matches : TStampCheck::Mismatch;
}

}  // namespace Reporter::Integrity
