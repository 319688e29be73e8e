#pragma once

#include <unwind.h>

#include <cstddef>
#include <cstdint>

// The compiler's own unwinder (call frame information, so frames without a frame pointer are
// found too): the platforms' CaptureReturnAddresses use it where the system has no better walk.
namespace Platform::Internal {

struct TUnwindWalk {
  std::uintptr_t* buffer;
  std::size_t capacity;
  std::size_t skip;
  std::size_t count;
};

inline _Unwind_Reason_Code UnwindStep(_Unwind_Context* context, void* argument) {
  auto& walk = *static_cast<TUnwindWalk*>(argument);
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

// The return addresses above the function this is inlined into, after skipping `skip` of them.
// Always inlined, so that the walk's first frame is that function, whose own frame is skipped.
[[gnu::always_inline]] inline std::size_t UnwindReturnAddresses(std::uintptr_t* buffer,
                                                                std::size_t capacity,
                                                                std::size_t skip) {
  TUnwindWalk walk{buffer, capacity, skip + 1, 0};
  _Unwind_Backtrace(&UnwindStep, &walk);
  return walk.count;
}

}  // namespace Platform::Internal
