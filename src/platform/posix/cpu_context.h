#pragma once

#include <ucontext.h>

#include <cstdint>

#include "platform/threads.h"

namespace Platform::Posix {

// The registers of a signal frame. Async-signal-safe.
inline void CopyRegisters(const ucontext_t& context, TThreadContext& out) {
  const greg_t* const r = context.uc_mcontext.gregs;
  auto value = [](greg_t reg) {
    return static_cast<std::uint64_t>(static_cast<std::uintptr_t>(reg));
  };
#if defined(__x86_64__)
  out.Ax = value(r[REG_RAX]);
  out.Bx = value(r[REG_RBX]);
  out.Cx = value(r[REG_RCX]);
  out.Dx = value(r[REG_RDX]);
  out.Si = value(r[REG_RSI]);
  out.Di = value(r[REG_RDI]);
  out.R8 = value(r[REG_R8]);
  out.R9 = value(r[REG_R9]);
  out.R10 = value(r[REG_R10]);
  out.R11 = value(r[REG_R11]);
  out.R12 = value(r[REG_R12]);
  out.R13 = value(r[REG_R13]);
  out.R14 = value(r[REG_R14]);
  out.R15 = value(r[REG_R15]);
  out.Ip = value(r[REG_RIP]);
  out.Sp = value(r[REG_RSP]);
  out.Bp = value(r[REG_RBP]);
  out.Flags = value(r[REG_EFL]);
#elif defined(__i386__)
  out.Ax = value(r[REG_EAX]);
  out.Bx = value(r[REG_EBX]);
  out.Cx = value(r[REG_ECX]);
  out.Dx = value(r[REG_EDX]);
  out.Si = value(r[REG_ESI]);
  out.Di = value(r[REG_EDI]);
  out.Ip = value(r[REG_EIP]);
  out.Sp = value(r[REG_ESP]);
  out.Bp = value(r[REG_EBP]);
  out.Flags = value(r[REG_EFL]);
#else
#error "registers of this processor are not mapped"
#endif
}

}  // namespace Platform::Posix
