// The check values of a call stack: names and offsets inside functions instead of absolute
// addresses, so that the same crash in another build of unchanged functions gives the same
// values.
#include <array>

#include "reporter/report/sections/stack_lines.h"
#include "rtl/text.h"

namespace Reporter::Report {
namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr auto kCrcTable = MakeCrcTable();

// The values only need to stay the same across builds, so only the letters of the names the
// program's units use are folded: A-Z and the German capitals.
char16_t LowerUnit(char16_t unit) {
  if (unit >= u'A' && unit <= u'Z') return static_cast<char16_t>(unit + 32);
  if (unit == u'\u00C4' || unit == u'\u00D6' || unit == u'\u00DC') {
    return static_cast<char16_t>(unit + 32);
  }
  return unit;
}

std::uint32_t CrcName(std::uint32_t crc, const std::string& name) {
  for (const char16_t unit : RTL::Text::Utf8ToUtf16(name)) {
    const char16_t lower = LowerUnit(unit);
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(lower & 0xFF),
                                   static_cast<std::uint8_t>(lower >> 8)};
    crc = CrcUpdate(crc, bytes);
  }
  return crc;
}

}  // namespace

std::uint32_t CrcUpdate(std::uint32_t crc, std::span<const std::uint8_t> bytes) {
  for (const std::uint8_t byte : bytes) crc = kCrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc;
}

std::uint32_t StackLineValue(const Tracer::TStackItem& item) {
  // A function name comes from the function's symbol, whose address is the start.
  if (item.FunctionName.empty() || item.ModuleName.empty()) {
    return static_cast<std::uint32_t>(item.Addr);
  }
  std::uint32_t crc = CrcName(static_cast<std::uint32_t>(item.relAddr), item.ModuleName);
  if (!item.UnitName.empty()) crc = CrcName(crc, item.UnitName);
  return CrcName(crc, item.FunctionName);
}

std::uint32_t CrcAbsorb(std::uint32_t running, std::uint32_t value) {
  const std::uint8_t bytes[4] = {
      static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
      static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  return CrcUpdate(running, bytes);
}

}  // namespace Reporter::Report
