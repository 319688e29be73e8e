// libFuzzer target: the symbol data reader, the image header readers, the line program and
// debug information readers and the reading of symbol names take any bytes without reading
// outside them, crashing or hanging, and lookups on whatever loads stay inside it. Built and
// run by scripts/fuzz.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "../tools/symbol_extractor/dwarf_info.h"
#include "../tools/symbol_extractor/dwarf_lines.h"
#include "reporter/report/symbols/image_file.h"
#include "reporter/report/symbols/map_file.h"
#include "reporter/report/symbols/readable_name.h"
#include "reporter/report/symbols/symbol_data.h"

namespace {

using namespace Reporter::Symbols;

// Addresses to look up: each 32-bit value at the start of the input, and its neighbours.
std::vector<std::uint64_t> Probes(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint64_t> probes = {0, 1, 0xFFFFFFFF, ~std::uint64_t(0)};
  for (std::size_t i = 0; i + 4 <= bytes.size() && i < 64; i += 4) {
    const std::uint64_t value =
        bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | std::uint64_t(bytes[i + 3]) << 24;
    probes.insert(probes.end(), {value - 1, value, value + 1});
  }
  return probes;
}

void LookUp(const TMapFile& map, std::span<const std::uint8_t> bytes) {
  for (const std::uint64_t address : Probes(bytes)) {
    map.FindPublic(address);
    map.FindSegment(true, address);
    map.FindLine(address);
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()),
                              std::min<std::size_t>(bytes.size(), 16));
  map.FindPublicAddress(text, text);
  map.FindPublicAddress("", text, true);
  map.MinDebugInfo();
  map.TopOfCode();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);

  // As a data block as it is, and with version and checksum put in front, so that the tables
  // themselves are reached.
  if (const auto map = TMapFile::FromSymbolData(bytes, 0x1000)) LookUp(*map, bytes);
  std::vector<std::uint8_t> sealed = {kSymbolDataVersion, 0, 0, 0, 0};
  const std::uint32_t crc = Crc32(bytes);
  for (int i = 0; i < 4; ++i) sealed[1 + i] = std::uint8_t(crc >> (8 * i));
  sealed.insert(sealed.end(), bytes.begin(), bytes.end());
  if (const auto map = TMapFile::FromSymbolData(sealed, 0)) LookUp(*map, bytes);
  if (size >= kSymbolTrailerSize) DecodeSymbolTrailer(bytes.last(kSymbolTrailerSize), size);

  // As an image file.
  if (const auto info = ParseImage(bytes)) {
    ReadExports(bytes, *info);
    ReadFunctionSymbols(bytes, *info);
    SectionBytes(bytes, *info, ".debug_line");
    if (const auto map = TMapFile::FromExports(bytes, 0)) LookUp(*map, bytes);
  }

  // As line programs and debug information (every section the same bytes, so that offsets
  // into one land in another), and as a symbol's name (of a length that names have).
  const auto lines = SymbolExtractor::ReadLinePrograms({bytes, bytes, bytes});
  SymbolExtractor::ReadDebugInfo({bytes, bytes, bytes, bytes, bytes, bytes, bytes, bytes}, lines);
  const std::string_view text(reinterpret_cast<const char*>(data),
                              std::min<std::size_t>(size, 2048));
  ReadableSymbolName(text);
  return 0;
}
