#pragma once

#include <cstdint>

namespace Platform {

// Ends the process at once with the exit code: no destructors, no atexit handlers, no
// runtime shutdown, no flushing of buffered output. Safe on any thread, also inside a signal
// handler.
[[noreturn]] void ExitProcessNow(std::uint32_t exitCode);

}  // namespace Platform
