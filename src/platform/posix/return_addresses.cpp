#include "platform/return_addresses.h"

#include "platform/unwind_walk.h"

namespace Platform {

__attribute__((noinline)) std::size_t CaptureReturnAddresses(std::uintptr_t* buffer,
                                                             std::size_t capacity,
                                                             std::size_t skip) {
  return Internal::UnwindReturnAddresses(buffer, capacity, skip);
}

}  // namespace Platform
