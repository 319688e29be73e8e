#include "platform/shared_block.h"

#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/process_shared.h"

namespace Platform {
namespace {

// One process, one address space: the named blocks are entries of a table of the process.
struct TBlock {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size = 0;
  std::timed_mutex mutex;
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
  mutex_ = &block.mutex;
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
  auto* mutex = static_cast<std::timed_mutex*>(mutex_);
  if (mutex == nullptr) return false;
  if (timeoutMilliseconds < 0) {
    mutex->lock();
    return true;
  }
  return mutex->try_lock_for(std::chrono::milliseconds(timeoutMilliseconds));
}

void TSharedBlock::Unlock() {
  if (auto* mutex = static_cast<std::timed_mutex*>(mutex_)) mutex->unlock();
}

}  // namespace Platform
