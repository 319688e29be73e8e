#pragma once

#include "reporter/report/tracer/memory_view.h"

namespace Reporter::Tracer {

// True when the bytes in front of the address end with a call instruction: a 5-byte relative
// call, an indirect call of 2, 3, 4, 6 or 7 bytes (FF /2 or FF /3, a REX byte in front of it
// allowed), or a 7-byte far call. False when those 8 bytes cannot be read.
bool IsAfterCallSite(TMemoryView& memory, Address address);

}  // namespace Reporter::Tracer
