#include "platform/memory_reserve.h"

#include <sys/mman.h>

namespace Platform {
namespace {

void* Map(std::size_t size, int extraFlags) {
  void* block = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | extraFlags, -1, 0);
  return block == MAP_FAILED ? nullptr : block;
}

}  // namespace

TMemoryReserve::~TMemoryReserve() {
  Release();
}

void TMemoryReserve::Reserve() {
  // Only the free slots are filled: blocks already held stay, refused ones are tried again.
  for (int i = 0; i < kBlocks; ++i) {
    if (reserved_[i] == nullptr) reserved_[i] = Map(kReservedBytes, MAP_NORESERVE);
    // Without MAP_NORESERVE the block counts against the system's commit limit, as committed
    // memory does on Windows; PROT_NONE keeps its pages from ever being touched.
    if (committed_[i] == nullptr) committed_[i] = Map(kCommittedBytes, 0);
  }
}

void TMemoryReserve::Release() {
  // munmap is a plain system call: fine inside a signal handler.
  for (int i = 0; i < kBlocks; ++i) {
    if (reserved_[i] != nullptr) munmap(reserved_[i], kReservedBytes);
    if (committed_[i] != nullptr) munmap(committed_[i], kCommittedBytes);
    reserved_[i] = committed_[i] = nullptr;
  }
}

}  // namespace Platform
