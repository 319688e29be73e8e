#include "platform/return_addresses.h"

#include <unwind.h>

namespace Platform {
namespace {

struct TWalk {
  std::uintptr_t* buffer;
  std::size_t capacity;
  std::size_t skip;
  std::size_t count;
};

_Unwind_Reason_Code Step(_Unwind_Context* context, void* argument) {
  auto& walk = *static_cast<TWalk*>(argument);
  const std::uintptr_t address = _Unwind_GetIP(context);
  if (address == 0) return _URC_END_OF_STACK;
  if (walk.skip > 0) {
    --walk.skip;
    return _URC_NO_REASON;
  }
  if (walk.count >= walk.capacity) return _URC_END_OF_STACK;
  walk.buffer[walk.count++] = address;
  return _URC_NO_REASON;
}

}  // namespace

// The unwinder reads the call frame information, so frames without a frame pointer are found
// too; its first frame is this function itself.
__attribute__((noinline)) std::size_t CaptureReturnAddresses(std::uintptr_t* buffer,
                                                             std::size_t capacity,
                                                             std::size_t skip) {
  TWalk walk{buffer, capacity, skip + 1, 0};
  _Unwind_Backtrace(&Step, &walk);
  return walk.count;
}

}  // namespace Platform
