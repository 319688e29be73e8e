#include "reporter/report/minidump/dump_buffer.h"
#include "reporter/report/minidump/minidump_format.h"

namespace Reporter::Report::Minidump {
namespace {

// Offsets of the registers in the 64-bit context record.
enum TAmd64Offset : std::uint32_t {
  kAmd64Flags = 48,
  kAmd64EFlags = 68,
  kAmd64Rax = 120,
  kAmd64Rcx = 128,
  kAmd64Rdx = 136,
  kAmd64Rbx = 144,
  kAmd64Rsp = 152,
  kAmd64Rbp = 160,
  kAmd64Rsi = 168,
  kAmd64Rdi = 176,
  kAmd64R8 = 184,
  kAmd64Rip = 248,
};

// And in the 32-bit one.
enum TX86Offset : std::uint32_t {
  kX86Flags = 0,
  kX86Edi = 156,
  kX86Esi = 160,
  kX86Ebx = 164,
  kX86Edx = 168,
  kX86Ecx = 172,
  kX86Eax = 176,
  kX86Ebp = 180,
  kX86Eip = 184,
  kX86EFlags = 192,
  kX86Esp = 196,
};

std::uint32_t Low(std::uint64_t value) {
  return static_cast<std::uint32_t>(value);
}

}  // namespace

// The segment registers are left out (their flag is not set): the thread records carry none,
// and a debugger needs only the integer and control registers to walk the stack.
std::vector<std::uint8_t> ContextRecord(const Platform::TThreadContext& context,
                                        Platform::TDumpProcessor processor) {
  TDumpBuffer record;
  if (processor == Platform::TDumpProcessor::X86_64) {
    record.Reserve(kContextAmd64Size);
    record.Put32(kAmd64Flags, kContextAmd64 | kContextControl | kContextInteger);
    record.Put32(kAmd64EFlags, Low(context.Flags));
    const std::uint64_t integers[] = {context.Ax,  context.Cx,  context.Dx,  context.Bx,
                                      context.Sp,  context.Bp,  context.Si,  context.Di,
                                      context.R8,  context.R9,  context.R10, context.R11,
                                      context.R12, context.R13, context.R14, context.R15};
    std::uint32_t at = kAmd64Rax;
    for (const std::uint64_t value : integers) {
      record.Put64(at, value);
      at += 8;
    }
    static_assert(kAmd64Rax + 8 * 8 == kAmd64R8 && kAmd64Rsp == kAmd64Rax + 32);
    record.Put64(kAmd64Rip, context.Ip);
  } else {
    record.Reserve(kContextX86Size);
    record.Put32(kX86Flags, kContextX86 | kContextControl | kContextInteger);
    record.Put32(kX86Edi, Low(context.Di));
    record.Put32(kX86Esi, Low(context.Si));
    record.Put32(kX86Ebx, Low(context.Bx));
    record.Put32(kX86Edx, Low(context.Dx));
    record.Put32(kX86Ecx, Low(context.Cx));
    record.Put32(kX86Eax, Low(context.Ax));
    record.Put32(kX86Ebp, Low(context.Bp));
    record.Put32(kX86Eip, Low(context.Ip));
    record.Put32(kX86EFlags, Low(context.Flags));
    record.Put32(kX86Esp, Low(context.Sp));
  }
  return std::move(record.Bytes());
}

}  // namespace Reporter::Report::Minidump
