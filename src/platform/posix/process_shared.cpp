#include "platform/process_shared.h"

#include <unistd.h>

#include <cstdio>
#include <map>
#include <mutex>

namespace Platform {
namespace {

// One process, one address space: the named objects are entries of a table of the process.
struct NamedObjects {
  std::mutex tableLock;
  std::map<std::string, std::recursive_mutex, std::less<>> locks;
  std::map<std::string, void*, std::less<>> slots;
};

NamedObjects& Objects() {
  static NamedObjects objects;
  return objects;
}

std::recursive_mutex& LockNamed(const std::string& name) {
  NamedObjects& objects = Objects();
  std::lock_guard guard(objects.tableLock);
  return objects.locks[name];  // map nodes never move, the reference stays valid
}

}  // namespace

std::string ProcessObjectName(std::string_view baseName) {
  char pid[32];
  std::snprintf(pid, sizeof(pid), "%lx", static_cast<unsigned long>(getpid()));
  return std::string(baseName) + "$" + pid;
}

ProcessNamedLock::ProcessNamedLock(std::string_view baseName) {
  std::recursive_mutex& mutex = LockNamed(ProcessObjectName(baseName));
  mutex.lock();
  handle_ = reinterpret_cast<std::uintptr_t>(&mutex);
  held_ = true;
}

ProcessNamedLock::~ProcessNamedLock() {
  if (held_) reinterpret_cast<std::recursive_mutex*>(handle_)->unlock();
}

bool ProcessPointerSlot::Open(std::string_view baseName, bool& created) {
  Close();
  NamedObjects& objects = Objects();
  std::lock_guard guard(objects.tableLock);
  name_ = ProcessObjectName(baseName);
  auto [entry, inserted] = objects.slots.try_emplace(name_, nullptr);
  created = inserted;
  creator_ = inserted;
  view_ = &entry->second;
  return true;
}

void* ProcessPointerSlot::Get() const {
  return view_ ? *static_cast<void**>(view_) : nullptr;
}

void ProcessPointerSlot::Set(void* value) {
  if (view_) *static_cast<void**>(view_) = value;
}

void ProcessPointerSlot::Close() {
  if (!view_) return;
  if (creator_) {
    NamedObjects& objects = Objects();
    std::lock_guard guard(objects.tableLock);
    objects.slots.erase(name_);
  }
  view_ = nullptr;
  creator_ = false;
  name_.clear();
}

}  // namespace Platform
