#include "platform/shared_block.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/process_shared.h"

namespace Platform {
namespace {

// A lock whose timed wait runs on the monotonic clock through a condition variable: a plain
// mutex and its flag, both of which the thread checker understands (a timed mutex's wait goes
// through a call it does not see, so it took every later unlock for a stray one).
class TTimedLock {
 public:
  bool Lock(std::int32_t timeoutMilliseconds) {
    std::unique_lock guard(mutex_);
    const auto free = [this] { return !held_; };
    if (timeoutMilliseconds < 0) {
      released_.wait(guard, free);
    } else if (!released_.wait_for(guard, std::chrono::milliseconds(timeoutMilliseconds), free)) {
      return false;
    }
    held_ = true;
    return true;
  }
  void Unlock() {
    {
      std::lock_guard guard(mutex_);
      held_ = false;
    }
    released_.notify_one();
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
};

// One process, one address space: the named blocks are entries of a table of the process.
struct TBlock {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size = 0;
  TTimedLock lock;
  int openers = 0;
};

struct TBlocks {
  std::mutex lock;
  std::map<std::string, TBlock, std::less<>> blocks;
};

TBlocks& Blocks() {
  static TBlocks* blocks = new TBlocks;  // outlives every static user
  return *blocks;
}

}  // namespace

bool TSharedBlock::Open(std::string_view baseName, std::size_t size, bool& created) {
  Close();
  TBlocks& table = Blocks();
  std::lock_guard guard(table.lock);
  const std::string name = ProcessObjectName(baseName);
  auto [entry, inserted] = table.blocks.try_emplace(name);
  TBlock& block = entry->second;
  if (inserted) {
    block.bytes = std::make_unique<std::uint8_t[]>(size);  // zeroed
    block.size = size;
  }
  created = inserted;
  ++block.openers;
  mapping_ = reinterpret_cast<std::uintptr_t>(&block);
  data_ = block.bytes.get();
  mutex_ = &block.lock;
  view_ = data_;
  return true;
}

void TSharedBlock::Close() {
  if (!mapping_) return;
  TBlocks& table = Blocks();
  std::lock_guard guard(table.lock);
  auto* block = reinterpret_cast<TBlock*>(mapping_);
  if (--block->openers == 0) {
    for (auto it = table.blocks.begin(); it != table.blocks.end(); ++it) {
      if (&it->second == block) {
        table.blocks.erase(it);
        break;
      }
    }
  }
  mapping_ = 0;
  view_ = data_ = mutex_ = nullptr;
}

bool TSharedBlock::Lock(std::int32_t timeoutMilliseconds) {
  auto* lock = static_cast<TTimedLock*>(mutex_);
  return lock != nullptr && lock->Lock(timeoutMilliseconds);
}

void TSharedBlock::Unlock() {
  if (auto* lock = static_cast<TTimedLock*>(mutex_)) lock->Unlock();
}

}  // namespace Platform
