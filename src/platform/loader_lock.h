#pragma once

#include <cstdint>

namespace Platform {

// Whether the calling thread holds the module loader's lock (Windows: inside DllMain or a TLS
// callback, where waiting for another thread can deadlock), tested for up to
// maxWaitMilliseconds in 10 ms steps. Always false on POSIX, which has no such lock that a
// thread callback could hold.
[[nodiscard]] bool LoaderLockHeld(std::uint32_t maxWaitMilliseconds = 250);

}  // namespace Platform
