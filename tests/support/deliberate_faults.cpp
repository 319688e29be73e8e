#include "support/deliberate_faults.h"

namespace TestSupport {
namespace {

volatile int gSink = 0;

// Deep enough to leave any stack; the array keeps every frame large and alive.
int Recurse(int depth) {
  volatile char frame[1024];
  frame[0] = static_cast<char>(depth);
  if (depth < 0) return 0;  // never: only keeps the compiler from calling this endless
  return Recurse(depth + 1) + frame[0];
}

}  // namespace

void OverflowTheStack() {
  gSink = Recurse(0);
}

}  // namespace TestSupport
