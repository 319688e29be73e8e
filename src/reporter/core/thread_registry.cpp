#include "reporter/core/thread_registry.h"

#include "reporter/core/reporter_threads.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/shared_block.h"

namespace Reporter::Core {
namespace {

constexpr std::size_t kTextSize = 64;
constexpr std::size_t kRegistryCapacity = 512;

// The block's layout is fixed, since other modules of the process read the same bytes.
struct TRecord {
  std::uint32_t ThreadId;
  std::uint32_t CreatorThreadId;
  std::uint64_t CreatorAddr;
  std::uint64_t Handle;
  char Name[kTextSize];
  char ClassName[kTextSize];
};

struct TBlockLayout {
  std::uint32_t Count;
  std::uint32_t Reserved;
  TRecord Records[kRegistryCapacity];
};

struct TRegistry {
  std::mutex openLock;
  Platform::TSharedBlock block;
  bool failed = false;
};

TRegistry& Registry() {
  static TRegistry* registry = new TRegistry;  // threads may end after static destruction
  return *registry;
}

TBlockLayout* Layout() {
  TRegistry& registry = Registry();
  std::lock_guard guard(registry.openLock);
  if (!registry.block.IsOpen() && !registry.failed) {
    bool created = false;
    registry.failed = !registry.block.Open(kThreadRegistryName, sizeof(TBlockLayout), created);
  }
  return static_cast<TBlockLayout*>(registry.block.Data());
}

void CopyText(char (&target)[kTextSize], std::string_view text) {
  std::memset(target, 0, kTextSize);
  std::memcpy(target, text.data(), std::min(text.size(), kTextSize - 1));
}

std::string TextOf(const char (&source)[kTextSize]) {
  return std::string(source, std::find(source, source + kTextSize, '\0'));
}

TRecord* FindRecord(TBlockLayout& layout, Platform::ThreadId thread) {
  const std::uint32_t count = std::min<std::uint32_t>(layout.Count, kRegistryCapacity);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (layout.Records[i].ThreadId == thread) return &layout.Records[i];
  }
  return nullptr;
}

TRecord* FindOrAddRecord(TBlockLayout& layout, Platform::ThreadId thread) {
  if (TRecord* record = FindRecord(layout, thread)) return record;
  if (layout.Count >= kRegistryCapacity) return nullptr;
  TRecord* record = &layout.Records[layout.Count++];
  std::memset(record, 0, sizeof *record);
  record->ThreadId = thread;
  return record;
}

// Writers wait for the mutex without limit: an entry must not get lost.
template <class TChange>
bool Change(TChange change) {
  TBlockLayout* layout = Layout();
  if (layout == nullptr || !Registry().block.Lock(-1)) return false;
  const bool done = change(*layout);
  Registry().block.Unlock();
  return done;
}

}  // namespace

bool OpenThreadRegistry() {
  return Layout() != nullptr;
}

void CloseThreadRegistry() {
  TRegistry& registry = Registry();
  std::lock_guard guard(registry.openLock);
  registry.block.Close();
  registry.failed = false;
}

bool EnterThread(const TThreadEntry& entry) {
  return Change([&](TBlockLayout& layout) {
    TRecord* record = FindOrAddRecord(layout, entry.ThreadId);
    if (record == nullptr) return false;
    record->CreatorThreadId = entry.CreatorThreadId;
    record->CreatorAddr = entry.CreatorAddr;
    record->Handle = entry.Handle;
    CopyText(record->Name, entry.Name);
    CopyText(record->ClassName, entry.ClassName);
    return true;
  });
}

bool NameThread(Platform::ThreadId thread, std::string_view name) {
  return Change([&](TBlockLayout& layout) {
    TRecord* record = FindOrAddRecord(layout, thread);
    if (record == nullptr) return false;
    CopyText(record->Name, name);
    return true;
  });
}

void RemoveThread(Platform::ThreadId thread) {
  ForgetReporterThread(thread);
  Change([&](TBlockLayout& layout) {
    TRecord* record = FindRecord(layout, thread);
    if (record == nullptr) return false;
    // The last record moves into the gap; the order of the entries means nothing.
    TRecord* last = &layout.Records[std::min<std::uint32_t>(layout.Count, kRegistryCapacity) - 1];
    if (record != last) *record = *last;
    --layout.Count;
    return true;
  });
}

TLookup LookUpThread(Platform::ThreadId thread, TThreadEntry& entry,
                     std::int32_t waitMilliseconds) {
  TBlockLayout* layout = Layout();
  if (layout == nullptr) return TLookup::NotFound;
  if (!Registry().block.Lock(waitMilliseconds)) return TLookup::Busy;
  TLookup result = TLookup::NotFound;
  if (const TRecord* record = FindRecord(*layout, thread)) {
    entry.ThreadId = record->ThreadId;
    entry.Name = TextOf(record->Name);
    entry.ClassName = TextOf(record->ClassName);
    entry.CreatorAddr = static_cast<std::uintptr_t>(record->CreatorAddr);
    entry.CreatorThreadId = record->CreatorThreadId;
    entry.Handle = static_cast<std::uintptr_t>(record->Handle);
    result = TLookup::Found;
  }
  Registry().block.Unlock();
  return result;
}

TThreadRegistryLock::TThreadRegistryLock() {
  held_ = Layout() != nullptr && Registry().block.Lock(-1);
}

TThreadRegistryLock::~TThreadRegistryLock() {
  if (held_) Registry().block.Unlock();
}

void EnterMainThread() {
  TThreadEntry entry;
  entry.ThreadId = Platform::CurrentThreadId();
  entry.Name = std::string(kMainThreadName);
  EnterThread(entry);
}

void NameThreadFromRequest(Platform::ThreadId thread, std::string_view utf8Name) {
  // -1 names the thread that raised the request.
  if (thread == static_cast<Platform::ThreadId>(-1)) thread = Platform::CurrentThreadId();
  NameThread(thread, utf8Name);
}

}  // namespace Reporter::Core
