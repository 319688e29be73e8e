#pragma once

#include <windows.h>

#include "platform/scoped_handle.h"

namespace Platform::Win32 {

// Most kernel objects (events, threads, processes, mutexes, pipes) own nothing when null.
struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static bool Close(HANDLE handle) { return CloseHandle(handle) != 0; }
};

using KernelHandle = ScopedHandle<KernelHandleTraits>;

}  // namespace Platform::Win32
