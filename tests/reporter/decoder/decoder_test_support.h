#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "reporter/report/decoder/x86_decoder.h"

namespace DecoderTest {

inline constexpr Reporter::Decoder::TCpuMode k32 = Reporter::Decoder::TCpuMode::Bits32;
inline constexpr Reporter::Decoder::TCpuMode k64 = Reporter::Decoder::TCpuMode::Bits64;

// "48 8b 44 24 f8" or "488b4424f8" as bytes.
inline std::vector<std::uint8_t> Hex(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  int high = -1;
  for (const char c : text) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) continue;
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
      high = -1;
    }
  }
  return bytes;
}

inline Reporter::Decoder::TInstruction Decode(std::string_view hex, std::uint64_t address,
                                              Reporter::Decoder::TCpuMode mode) {
  const auto bytes = Hex(hex);
  return Reporter::Decoder::DecodeInstruction(bytes, address, mode);
}

}  // namespace DecoderTest
