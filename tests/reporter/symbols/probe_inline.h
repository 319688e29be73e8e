#pragma once

#include <cstdint>

// Code that the probe inlines from a header: its line rows name this file, while its address
// belongs to the line of the call in the probe's own file.
template <typename Call>
[[gnu::always_inline]] inline std::uint64_t CallInlined(Call call, volatile int& counter) {
  counter = counter + 1;
  const std::uint64_t result = call();
  counter = counter + 1;
  return result;
}
