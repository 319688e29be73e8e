#pragma once

#include <cstdint>
#include <span>

// CRC-32 (the polynomial of zip and PNG) fast enough to cover a whole program file at start-up:
// by carry-less multiplication where the processor has it, else eight bytes per step through
// eight tables.
namespace Reporter::Integrity {

class TCrc32 {
 public:
  void Update(std::span<const std::uint8_t> bytes);
  std::uint32_t Value() const { return ~state_; }

 private:
  std::uint32_t state_ = 0xFFFFFFFFu;
};

}  // namespace Reporter::Integrity
