#include <windows.h>

#include <cstddef>

#include "platform/memory_map.h"
#include "platform/threads.h"

namespace Platform {
namespace {

// The thread information block's stack base, read through the segment register that points
// at it (NtCurrentTeb does the same but trips a false bounds warning of the compiler).
std::uintptr_t StackBase() {
  std::uintptr_t base = 0;
#if defined(__x86_64__)
  __asm__("movq %%gs:%c1, %0" : "=r"(base) : "i"(offsetof(NT_TIB, StackBase)));
#else
  __asm__("movl %%fs:%c1, %0" : "=r"(base) : "i"(offsetof(NT_TIB, StackBase)));
#endif
  return base;
}

}  // namespace

std::optional<TStackRange> StackRangeAt(std::uintptr_t stackPointer) {
  const TMemoryRegion region = QueryMemoryRegion(stackPointer);
  if (!region.Committed || region.Access != TMemoryAccess::Readable) return std::nullopt;
  return TStackRange{stackPointer, region.End};
}

TStackRange CurrentThreadStackRange() {
  volatile char marker = 0;
  return TStackRange{reinterpret_cast<std::uintptr_t>(&marker), StackBase()};
}

}  // namespace Platform
