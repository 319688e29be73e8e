#include "platform/loader_lock.h"

#include <windows.h>
#include <winternl.h>

#include <cstddef>
#include <cstring>

namespace Platform {
namespace {

constexpr std::uint32_t kStepMilliseconds = 10;
// Where the process environment block keeps its pointer to the loader's critical section.
constexpr std::size_t kLoaderLockOffset = sizeof(void*) == 8 ? 0x110 : 0xA0;

// This thread's environment block, through the segment register that points at it: what
// NtCurrentTeb does, without its false bounds warning of the compiler.
const TEB* CurrentTeb() {
  const TEB* teb = nullptr;
#if defined(__x86_64__)
  __asm__("movq %%gs:%c1, %0" : "=r"(teb) : "i"(offsetof(NT_TIB, Self)));
#else
  __asm__("movl %%fs:%c1, %0" : "=r"(teb) : "i"(offsetof(NT_TIB, Self)));
#endif
  return teb;
}

// The id of the thread that owns the loader lock, 0 when it is free or cannot be found (an
// emulation may fill in less of the block).
DWORD LoaderLockOwner() {
  const TEB* teb = CurrentTeb();
  if (teb == nullptr) return 0;
  const auto* peb = reinterpret_cast<const unsigned char*>(teb->ProcessEnvironmentBlock);
  if (peb == nullptr) return 0;
  const RTL_CRITICAL_SECTION* lock = nullptr;
  std::memcpy(&lock, peb + kLoaderLockOffset, sizeof(lock));
  if (lock == nullptr) return 0;
  // Written by other threads as they take and leave the lock.
  const HANDLE owner = *reinterpret_cast<const volatile HANDLE*>(&lock->OwningThread);
  return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(owner));
}

}  // namespace

bool LoaderLockHeld(std::uint32_t maxWaitMilliseconds) {
  const DWORD self = GetCurrentThreadId();
  // Held by this thread it stays held however long we wait; held by another one it is
  // usually let go within moments.
  for (std::uint32_t waited = 0;; waited += kStepMilliseconds) {
    const DWORD owner = LoaderLockOwner();
    if (owner == 0) return false;
    if (owner == self || waited >= maxWaitMilliseconds) return true;
    Sleep(kStepMilliseconds);
  }
}

}  // namespace Platform
