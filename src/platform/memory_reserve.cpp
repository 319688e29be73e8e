#include "platform/memory_reserve.h"

namespace Platform {

std::size_t TMemoryReserve::HeldBytes() const {
  std::size_t bytes = 0;
  for (int i = 0; i < kBlocks; ++i) {
    if (reserved_[i] != nullptr) bytes += kReservedBytes;
    if (committed_[i] != nullptr) bytes += kCommittedBytes;
  }
  return bytes;
}

}  // namespace Platform
