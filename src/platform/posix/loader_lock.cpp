#include "platform/loader_lock.h"

namespace Platform {

bool LoaderLockHeld(std::uint32_t) {
  // The dynamic loader runs no thread callbacks of ours under a lock of its own.
  return false;
}

}  // namespace Platform
