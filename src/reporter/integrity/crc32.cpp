#include "reporter/integrity/crc32.h"

#include <array>

#include "reporter/integrity/crc32_fold.h"

namespace Reporter::Integrity {
namespace {

using TTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr TTables MakeTables() {
  TTables tables{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? 0xEDB88320u ^ (value >> 1) : value >> 1;
    tables[0][i] = value;
  }
  for (std::uint32_t i = 0; i < 256; ++i) {
    for (std::size_t t = 1; t < 8; ++t) {
      const std::uint32_t previous = tables[t - 1][i];
      tables[t][i] = (previous >> 8) ^ tables[0][previous & 0xFF];
    }
  }
  return tables;
}
constexpr TTables kTables = MakeTables();

}  // namespace

void TCrc32::Update(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = state_;
  const std::uint8_t* p = bytes.data();
  std::size_t size = bytes.size();
  if (size >= kFoldMinimum && CanFoldCrc32()) {
    const std::size_t folded = size & ~std::size_t(15);
    crc = FoldCrc32(crc, p, folded);
    p += folded;
    size -= folded;
  }
  while (size >= 8) {
    const std::uint32_t low = crc ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                     std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
    crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^ kTables[5][(low >> 16) & 0xFF] ^
          kTables[4][low >> 24] ^ kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^
          kTables[0][p[7]];
    p += 8;
    size -= 8;
  }
  while (size-- > 0) crc = kTables[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
  state_ = crc;
}

}  // namespace Reporter::Integrity
