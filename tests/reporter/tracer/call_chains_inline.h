#pragma once

#include "call_chains.h"

// Code that the chains inline from a header: its line rows name this file, while the frame
// of the function it is inlined into shows the line of the call in that function's file.
[[gnu::always_inline]] inline void CallInlined(Probe probe, volatile int& sink) {
  sink = sink + 1;
  probe();
  sink = sink + 1;
}
