#include "reporter/report/tracer/call_site.h"

#include <cstdint>

namespace Reporter::Tracer {

bool IsAfterCallSite(TMemoryView& memory, Address address) {
  if (address < 8) return false;
  std::uint8_t bytes[8];
  if (!memory.ReadCode(address - 8, bytes, sizeof bytes)) return false;
  // b(n) is the byte n places in front of the address.
  const auto b = [&](int n) { return bytes[8 - n]; };
  const auto indirectCall = [&](int length) {
    return b(length) == 0xFF && (b(length - 1) & 0x30) == 0x10;
  };
  return b(5) == 0xE8 || indirectCall(2) || indirectCall(3) || indirectCall(4) || indirectCall(6) ||
         indirectCall(7) || b(7) == 0x9A;
}

}  // namespace Reporter::Tracer
