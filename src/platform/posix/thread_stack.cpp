#include <pthread.h>

#include <algorithm>

#include "platform/memory_map.h"
#include "platform/posix/memory_maps.h"
#include "platform/threads.h"

namespace Platform {
namespace {

// The readable mapping that holds the address: a thread's stack, or the main thread's
// [stack] mapping.
std::optional<std::uintptr_t> ReadableMappingEnd(std::uintptr_t address) {
  const std::vector<Posix::TMapping> mappings = Posix::ReadMappings();
  const auto found = std::find_if(mappings.begin(), mappings.end(), [&](const auto& mapping) {
    return mapping.Begin <= address && address < mapping.End;
  });
  if (found == mappings.end() || !found->Read) return std::nullopt;
  return found->End;
}

}  // namespace

std::optional<TStackRange> StackRangeAt(std::uintptr_t stackPointer) {
  const std::optional<std::uintptr_t> end = ReadableMappingEnd(stackPointer);
  if (!end) return std::nullopt;
  return TStackRange{stackPointer, *end};
}

TStackRange CurrentThreadStackRange() {
  volatile char marker = 0;
  const auto here = reinterpret_cast<std::uintptr_t>(&marker);
  TStackRange range{here, here};
  // The main thread's stack grows on demand, so its attributes tell only a limit; its top is
  // the end of the mapping it lives in.
  if (CurrentThreadId() != MainThreadId()) {
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
      void* address = nullptr;
      std::size_t size = 0;
      if (pthread_attr_getstack(&attributes, &address, &size) == 0) {
        range.Top = reinterpret_cast<std::uintptr_t>(address) + size;
      }
      pthread_attr_destroy(&attributes);
    }
  }
  if (range.Top <= here) range.Top = ReadableMappingEnd(here).value_or(here);
  return range;
}

}  // namespace Platform
