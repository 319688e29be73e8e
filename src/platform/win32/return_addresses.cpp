#include "platform/return_addresses.h"

#include <windows.h>

#include "platform/unwind_walk.h"

namespace Platform {

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
  return Internal::UnwindReturnAddresses(buffer, capacity, skip);
#endif
}

}  // namespace Platform
