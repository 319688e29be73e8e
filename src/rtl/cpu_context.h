#pragma once

#include <cstdint>

namespace RTL {

// A thread's processor registers in the widest form any build needs (the 32-bit builds leave
// R8..R15 at 0): a plain record, so that exception objects can carry one.
struct TCpuContext {
  std::uint64_t Ax = 0, Bx = 0, Cx = 0, Dx = 0, Si = 0, Di = 0;
  std::uint64_t R8 = 0, R9 = 0, R10 = 0, R11 = 0, R12 = 0, R13 = 0, R14 = 0, R15 = 0;
  std::uint64_t Ip = 0;  // instruction pointer
  std::uint64_t Sp = 0;  // stack pointer
  std::uint64_t Bp = 0;  // frame pointer
  std::uint64_t Flags = 0;
  // The upper end of the thread's stack when the system tells it (POSIX: the thread's stack
  // attributes, since the mapping around its stack also holds its thread-local data); 0 when
  // unknown, and then the memory map tells.
  std::uint64_t StackTop = 0;
};

}  // namespace RTL
