#pragma once

#include <windows.h>

#include "platform/threads.h"

namespace Platform::Win32 {

// The registers of a CONTEXT record.
inline TThreadContext FromContext(const CONTEXT& context) {
  TThreadContext result;
#if defined(__x86_64__) || defined(_M_X64)
  result.Ax = context.Rax;
  result.Bx = context.Rbx;
  result.Cx = context.Rcx;
  result.Dx = context.Rdx;
  result.Si = context.Rsi;
  result.Di = context.Rdi;
  result.R8 = context.R8;
  result.R9 = context.R9;
  result.R10 = context.R10;
  result.R11 = context.R11;
  result.R12 = context.R12;
  result.R13 = context.R13;
  result.R14 = context.R14;
  result.R15 = context.R15;
  result.Ip = context.Rip;
  result.Sp = context.Rsp;
  result.Bp = context.Rbp;
#else
  result.Ax = context.Eax;
  result.Bx = context.Ebx;
  result.Cx = context.Ecx;
  result.Dx = context.Edx;
  result.Si = context.Esi;
  result.Di = context.Edi;
  result.Ip = context.Eip;
  result.Sp = context.Esp;
  result.Bp = context.Ebp;
#endif
  result.Flags = context.EFlags;
  return result;
}

}  // namespace Platform::Win32
