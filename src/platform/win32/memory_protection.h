#pragma once

#include <windows.h>

#include "platform/memory_map.h"

namespace Platform::Win32 {

// What a VirtualQuery answer allows. Guard pages count as not readable: touching one takes its
// guard away (and grows a stack).
TMemoryAccess AccessOf(const MEMORY_BASIC_INFORMATION& info);
bool IsExecutable(const MEMORY_BASIC_INFORMATION& info);
bool IsGuard(const MEMORY_BASIC_INFORMATION& info);

}  // namespace Platform::Win32
