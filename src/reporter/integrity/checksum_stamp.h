#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The checksum stamp that the build writes into each program file, after the symbol data has
// been appended. The stamp sits between the image and the symbol data (at the very end of a
// file without symbol data): the symbol trailer stays the file's last 16 bytes, and the
// loaders, which never read past the image, do not see it either. 16 bytes, little-endian:
//   [8-byte magic][u32 CRC-32][u32 offset of the stamp in the file]
// The CRC-32 covers every byte of the file except its own four, the rest of the stamp and the
// symbol data after it included, so that any changed byte is found.
namespace Reporter::Integrity {

inline constexpr std::size_t kStampSize = 16;
inline constexpr std::size_t kStampChecksumField = 8;  // offset of the CRC-32 inside the stamp
inline constexpr std::size_t kStampOffsetField = 12;
inline constexpr std::array<std::uint8_t, 8> kStampMagic = {'F', 'i', 'l', 'e',
                                                            'C', 'r', 'c', 0x1A};

enum class TStampCheck {
  Matches,
  Mismatch,  // a stamp is there, but the file's bytes give another checksum
  NoStamp,   // nothing at the stamp's place (never stamped, cut short or its trailer damaged)
};

// Where a stamp ends in this file: the start of the symbol data, else the end of the file.
std::size_t StampEnd(std::span<const std::uint8_t> file);
// The offset of the file's stamp; none when there is none at its place.
std::optional<std::size_t> FindStamp(std::span<const std::uint8_t> file);
// The CRC-32 of the file without the checksum field of the stamp at stampOffset.
std::uint32_t StampChecksum(std::span<const std::uint8_t> file, std::size_t stampOffset);

// The file with a fresh stamp, an earlier one replaced, so stamping twice gives the same bytes.
// None for a file of 4 GiB or more, whose offsets the stamp cannot hold.
std::optional<std::vector<std::uint8_t>> WithStamp(std::span<const std::uint8_t> file);

TStampCheck CheckStamp(std::span<const std::uint8_t> file);

}  // namespace Reporter::Integrity
