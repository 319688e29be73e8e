#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "reporter/report/symbols/map_file.h"

// The compact symbol data that the build appends to each program file (after the image, where
// the loaders never look), and the trailer that finds it from the end of the file:
//   [data][u32 size of data][u32 CRC-32 of data][8-byte magic]
// The data (all numbers LEB128, addresses link-time):
//   u8 version (2), u32 CRC-32 of everything after this field,
//   top of code (0: none),
//   units: count, then front-coded texts (shared prefix length, suffix length, suffix bytes),
//   names: count, then front-coded texts,
//   functions: count and the count of all their lines, then per function in address order:
//     gap to the previous function's end
//     (its start for the first), length (at least 1), name index, unit index,
//     line count * 4 + "has an entry line" * 2 + "has line numbers", the entry line when it
//     has one, then per line: address delta (from the function's start for its first line,
//     at least 1 after that) and the line's difference to the line before it (zigzag; the
//     first line of the data counts from 0).
// Names are the functions as a call stack shows them ("TJob::Run"), units their namespaces
// ("Update.Work") or, outside any, the stem of their source file.
namespace Reporter::Symbols {

struct TSymbolFunction {
  std::uint64_t Start = 0;
  std::uint64_t Length = 0;
  std::uint32_t Name = 0;  // index into TSymbolData::Names
  std::uint32_t Unit = 0;  // index into TSymbolData::Units
  bool LineNumbers = false;
  std::uint32_t FirstLine = 0;  // its lines: Lines[FirstLine, FirstLine + LineCount)
  std::uint32_t LineCount = 0;
  // A part split off from its function (".cold") counts its relative lines from the line of
  // the function's entry, which lies elsewhere; 0 for a function that begins at its entry.
  int EntryLine = 0;
};

struct TSymbolData {
  std::uint64_t TopOfCode = 0;
  std::vector<std::string> Units;
  std::vector<std::string> Names;
  std::vector<TSymbolFunction> Functions;  // sorted by start, not overlapping
  std::vector<TMfLine> Lines;              // sorted by address, inside their functions
  std::uint32_t Checksum = 0;              // the CRC-32 field, set when decoded
};

inline constexpr std::uint8_t kSymbolDataVersion = 2;
inline constexpr std::size_t kSymbolTrailerSize = 16;
inline constexpr std::array<std::uint8_t, 8> kSymbolTrailerMagic = {'S', 'y', 'm', 'D',
                                                                    'a', 't', 'a', 0x1A};

std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

// The data block of a table that obeys the rules above (the writer sorts the texts of both
// lists for the front coding and renumbers the indexes).
std::vector<std::uint8_t> EncodeSymbolData(const TSymbolData& table);
// None when the block breaks any rule: wrong version or checksum, an index, count, length or
// address out of range, overlapping functions, bytes left over.
std::optional<TSymbolData> DecodeSymbolData(std::span<const std::uint8_t> data);

struct TSymbolTrailer {
  std::uint32_t Size = 0;
  std::uint32_t Checksum = 0;
};
std::array<std::uint8_t, kSymbolTrailerSize> EncodeSymbolTrailer(const TSymbolTrailer& trailer);
// The trailer in the last 16 bytes; none when the magic is missing or the size does not fit
// into the bytes before the trailer (fileSize is the whole file's size).
std::optional<TSymbolTrailer> DecodeSymbolTrailer(std::span<const std::uint8_t> last16,
                                                  std::uint64_t fileSize);

}  // namespace Reporter::Symbols
