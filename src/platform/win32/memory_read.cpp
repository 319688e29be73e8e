#include <windows.h>

#include <mutex>

#include "platform/memory_map.h"
#include "platform/win32/memory_protection.h"

namespace Platform {
namespace {

// Every page of the range is committed, readable and no guard page. A copy must not touch a
// guard page: the thread owning the stack would later find no guard to grow it with.
bool AllReadable(std::uintptr_t address, std::size_t size) {
  const std::uintptr_t end = address + size;
  for (std::uintptr_t cursor = address; cursor < end;) {
    MEMORY_BASIC_INFORMATION info{};
    if (VirtualQuery(reinterpret_cast<const void*>(cursor), &info, sizeof info) != sizeof info) {
      return false;
    }
    if (Win32::AccessOf(info) != TMemoryAccess::Readable) return false;
    const auto next = reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
    if (next <= cursor) return false;
    cursor = next;
  }
  return true;
}

}  // namespace

// ReadProcessMemory on our own process turns a bad address into a failed call, not a fault,
// also when another thread frees the memory during the copy.
bool ReadMemory(std::uintptr_t address, void* buffer, std::size_t size) {
  if (size == 0) return true;
  if (address + size < address || !AllReadable(address, size)) return false;
  SIZE_T read = 0;
  return ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(address), buffer,
                           size, &read) &&
         read == size;
}

bool ReadExecuteOnlyMemory(std::uintptr_t address, void* buffer, std::size_t size) {
  if (size == 0) return true;
  if (address + size < address) return false;
  static std::mutex mutex;  // two readers of one page must not restore it under each other
  std::lock_guard<std::mutex> lock(mutex);
  const TMemoryRegion region = QueryMemoryRegion(address);
  if (address + size > region.End) return false;
  if (region.Access == TMemoryAccess::Readable) return ReadMemory(address, buffer, size);
  if (region.Access != TMemoryAccess::ExecuteOnly) return false;

  void* const pages = reinterpret_cast<void*>(address);
  DWORD previous = 0;
  if (!VirtualProtect(pages, size, PAGE_EXECUTE_READ, &previous)) return false;
  const bool read = ReadMemory(address, buffer, size);
  DWORD ignored = 0;
  VirtualProtect(pages, size, previous, &ignored);
  return read;
}

}  // namespace Platform
