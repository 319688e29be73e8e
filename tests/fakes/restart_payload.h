#pragma once

// The payload ProcessEndTarget hands over when it restarts itself, and its text form, shared
// with the test that checks what arrived.

#include <string>

#include "platform/restart_handover.h"

namespace Fakes {

// Every byte different from its neighbours, from 0x00 up through 0xff and round again.
inline Platform::TRestartPayload KnownRestartPayload() {
  Platform::TRestartPayload payload;
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(i * 13);
  return payload;
}

inline std::string HexText(const Platform::TRestartPayload& payload) {
  std::string text;
  for (const std::uint8_t byte : payload) {
    text += "0123456789abcdef"[byte >> 4];
    text += "0123456789abcdef"[byte & 0xF];
  }
  return text;
}

}  // namespace Fakes
