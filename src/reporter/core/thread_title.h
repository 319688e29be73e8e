#pragma once

#include <cstdint>
#include <string>

#include "platform/threads.h"

namespace Reporter::Core {

// The title of a thread's section: "main thread ($1a2c)", "thread $1a2c", "thread $1a2c
// (TWorker)"; empty for the reporter's own threads and those named "-", unless showAlways.
// A registry that stays locked longer than waitMilliseconds gives "thread $<hex id>".
std::string ThreadTitle(Platform::ThreadId thread, bool showAlways,
                        std::int32_t waitMilliseconds = 50);

}  // namespace Reporter::Core
