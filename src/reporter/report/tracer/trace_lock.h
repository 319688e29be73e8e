#pragma once

#include <mutex>

namespace Reporter::Tracer::Internal {

// One trace (or listing) at a time in the process: the module and function tables and the
// thread-context requests are shared.
inline std::mutex& TraceLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace Reporter::Tracer::Internal
