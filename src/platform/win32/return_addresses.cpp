#include "platform/return_addresses.h"

#include <windows.h>

#include <unwind.h>

namespace Platform {
namespace {

struct TWalk {
  std::uintptr_t* buffer;
  std::size_t capacity;
  std::size_t skip;
  std::size_t count;
};

[[maybe_unused]] _Unwind_Reason_Code Step(_Unwind_Context* context, void* argument) {
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

__attribute__((noinline)) std::size_t CaptureReturnAddresses(std::uintptr_t* buffer,
                                                             std::size_t capacity,
                                                             std::size_t skip) {
#if defined(_WIN64)
  // x64 code always carries unwind tables; the system walks them.
  std::size_t count = 0;
  const DWORD toSkip = static_cast<DWORD>(skip + 1);
  while (count < capacity) {
    const DWORD chunk = static_cast<DWORD>(capacity - count > 62 ? 62 : capacity - count);
    const USHORT got = RtlCaptureStackBackTrace(toSkip + static_cast<DWORD>(count), chunk,
                                                reinterpret_cast<PVOID*>(buffer + count), nullptr);
    count += got;
    if (got < chunk) break;
  }
  return count;
#else
  // 32-bit code is built without frame pointers, which the system's walk relies on; the
  // compiler's unwinder reads the call frame information instead.
  TWalk walk{buffer, capacity, skip + 1, 0};
  _Unwind_Backtrace(&Step, &walk);
  return walk.count;
#endif
}

}  // namespace Platform
