#include "platform/memory_reserve.h"

#include <windows.h>

namespace Platform {

TMemoryReserve::~TMemoryReserve() {
  Release();
}

void TMemoryReserve::Reserve() {
  // Only the free slots are filled: blocks already held stay, refused ones are tried again.
  for (int i = 0; i < kBlocks; ++i) {
    if (reserved_[i] == nullptr) {
      reserved_[i] = VirtualAlloc(nullptr, kReservedBytes, MEM_RESERVE, PAGE_NOACCESS);
    }
    if (committed_[i] == nullptr) {
      committed_[i] =
          VirtualAlloc(nullptr, kCommittedBytes, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
    }
  }
}

void TMemoryReserve::Release() {
  for (int i = 0; i < kBlocks; ++i) {
    if (reserved_[i] != nullptr) VirtualFree(reserved_[i], 0, MEM_RELEASE);
    if (committed_[i] != nullptr) VirtualFree(committed_[i], 0, MEM_RELEASE);
    reserved_[i] = committed_[i] = nullptr;
  }
}

}  // namespace Platform
