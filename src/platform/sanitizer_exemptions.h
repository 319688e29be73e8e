#pragma once

// Exemptions from the sanitizers (the linux-asan preset) for code that does on purpose what
// they catch; each use says why in one line. Builds without the sanitizers ignore them.

// Faults on purpose: the processor must raise the fault, not the sanitizer's check before it.
// Never inlined, since the checks would come back with the caller's body.
#define UPDATE_DELIBERATE_FAULT \
  __attribute__((noinline, no_sanitize("null", "integer-divide-by-zero")))
