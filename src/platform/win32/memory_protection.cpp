#include "platform/win32/memory_protection.h"

namespace Platform::Win32 {

bool IsGuard(const MEMORY_BASIC_INFORMATION& info) {
  return info.State == MEM_COMMIT && (info.Protect & PAGE_GUARD) != 0;
}

bool IsExecutable(const MEMORY_BASIC_INFORMATION& info) {
  if (info.State != MEM_COMMIT) return false;
  switch (info.Protect & 0xFF) {
    case PAGE_EXECUTE:
    case PAGE_EXECUTE_READ:
    case PAGE_EXECUTE_READWRITE:
    case PAGE_EXECUTE_WRITECOPY:
      return true;
    default:
      return false;
  }
}

TMemoryAccess AccessOf(const MEMORY_BASIC_INFORMATION& info) {
  if (info.State != MEM_COMMIT || IsGuard(info)) return TMemoryAccess::NotReadable;
  switch (info.Protect & 0xFF) {
    case PAGE_READONLY:
    case PAGE_READWRITE:
    case PAGE_WRITECOPY:
    case PAGE_EXECUTE_READ:
    case PAGE_EXECUTE_READWRITE:
    case PAGE_EXECUTE_WRITECOPY:
      return TMemoryAccess::Readable;
    case PAGE_EXECUTE:
      return TMemoryAccess::ExecuteOnly;
    default:  // PAGE_NOACCESS
      return TMemoryAccess::NotReadable;
  }
}

}  // namespace Platform::Win32
