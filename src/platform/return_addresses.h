#pragma once

#include <cstddef>
#include <cstdint>

// The return addresses on the calling thread's stack, cheaply enough to be taken whenever an
// exception object is created.
namespace Platform {

// Innermost first, after leaving out `skip` of the caller's own frames (0: the caller's
// return address comes first). Returns how many were stored.
std::size_t CaptureReturnAddresses(std::uintptr_t* buffer, std::size_t capacity, std::size_t skip);

}  // namespace Platform
