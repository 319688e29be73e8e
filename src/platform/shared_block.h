#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A block of memory that every module of this process finds under one name, with a mutex that
// guards it. Windows: a named file mapping ("<name>$<process id in lower-case hex>") whose
// first bytes keep the handle of the mutex its creator made; POSIX: a block of the process
// found by the same name.
namespace Platform {

class TSharedBlock {
 public:
  TSharedBlock() = default;
  ~TSharedBlock() { Close(); }
  TSharedBlock(const TSharedBlock&) = delete;
  TSharedBlock& operator=(const TSharedBlock&) = delete;

  // Creates the block (zero-filled, `size` usable bytes) or opens the one that exists; false
  // when neither is possible. `created` tells which.
  [[nodiscard]] bool Open(std::string_view baseName, std::size_t size, bool& created);
  void Close();
  [[nodiscard]] bool IsOpen() const { return data_ != nullptr; }

  // The usable bytes; null when not open.
  void* Data() const { return data_; }

  // Takes the block's mutex, waiting at most that long (negative: without limit). A mutex
  // whose holder ended while holding it counts as taken.
  [[nodiscard]] bool Lock(std::int32_t timeoutMilliseconds);
  void Unlock();

 private:
  std::uintptr_t mapping_ = 0;
  void* view_ = nullptr;
  void* data_ = nullptr;
  void* mutex_ = nullptr;
};

}  // namespace Platform
