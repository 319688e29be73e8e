#pragma once

#include <cstddef>

// Room kept back for the report of an out-of-memory failure: address space reserved and memory
// committed, both inaccessible, given back to the system the moment an exception is reported
// and taken again afterwards.
namespace Platform {

class TMemoryReserve {
 public:
  TMemoryReserve() = default;
  ~TMemoryReserve();  // releases
  TMemoryReserve(const TMemoryReserve&) = delete;
  TMemoryReserve& operator=(const TMemoryReserve&) = delete;

  // Four blocks of 4 MiB reserved address space and four blocks of 512 KiB committed memory;
  // blocks the system refuses are left out. Does nothing while the reserve is held.
  void Reserve();
  // Gives every block back. Safe inside a POSIX signal handler.
  void Release();
  // Bytes currently held (reserved and committed together).
  std::size_t HeldBytes() const;

 private:
  static constexpr int kBlocks = 4;
  static constexpr std::size_t kReservedBytes = 4 * 1024 * 1024;
  static constexpr std::size_t kCommittedBytes = 512 * 1024;
  void* reserved_[kBlocks] = {};
  void* committed_[kBlocks] = {};
};

}  // namespace Platform
