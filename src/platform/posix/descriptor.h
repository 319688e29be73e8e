#pragma once

#include <unistd.h>

#include "platform/scoped_handle.h"

namespace Platform::Posix {

struct DescriptorTraits {
  using Type = int;
  static constexpr int Invalid() { return -1; }
  static bool Close(int descriptor) { return close(descriptor) == 0; }
};

// A file descriptor closed when it goes out of scope.
using Descriptor = ScopedHandle<DescriptorTraits>;

}  // namespace Platform::Posix
