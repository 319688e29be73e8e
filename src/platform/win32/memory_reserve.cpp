#include "platform/memory_reserve.h"

#include <windows.h>

namespace Platform {
namespace {

constexpr std::size_t kReservedBytes = 4 * 1024 * 1024;
constexpr std::size_t kCommittedBytes = 512 * 1024;

}  // namespace

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

std::size_t TMemoryReserve::HeldBytes() const {
  std::size_t bytes = 0;
  for (int i = 0; i < kBlocks; ++i) {
    if (reserved_[i] != nullptr) bytes += kReservedBytes;
    if (committed_[i] != nullptr) bytes += kCommittedBytes;
  }
  return bytes;
}

}  // namespace Platform
