#pragma once

#include <cstdint>
#include <exception>

#include "rtl/cpu_context.h"
#include "rtl/exceptions.h"

// Faults the operating system raised (access violations, divisions by zero, ...), as objects of
// the program's exception hierarchy, one class per kind of fault.
namespace RTL {

// The fault codes as Windows numbers them; other systems map their signals onto them.
namespace FaultCode {
inline constexpr std::uint32_t kAccessViolation = 0xC0000005;
inline constexpr std::uint32_t kIllegalInstruction = 0xC000001D;
inline constexpr std::uint32_t kPrivilegedInstruction = 0xC0000096;
inline constexpr std::uint32_t kIntDivideByZero = 0xC0000094;
inline constexpr std::uint32_t kIntOverflow = 0xC0000095;
inline constexpr std::uint32_t kFltDivideByZero = 0xC000008E;
inline constexpr std::uint32_t kFltOverflow = 0xC0000091;
inline constexpr std::uint32_t kFltUnderflow = 0xC0000093;
inline constexpr std::uint32_t kFltInvalidOperation = 0xC0000090;
inline constexpr std::uint32_t kFltDenormalOperand = 0xC000008D;
inline constexpr std::uint32_t kFltInexactResult = 0xC000008F;
inline constexpr std::uint32_t kFltStackCheck = 0xC0000092;
inline constexpr std::uint32_t kStackOverflow = 0xC00000FD;
inline constexpr std::uint32_t kControlC = 0xC000013A;
inline constexpr std::uint32_t kArrayBoundsExceeded = 0xC000008C;
}  // namespace FaultCode

// How an access violation touched memory.
enum class TAccessKind { Read, Write, Execute };

// The facts of one fault.
struct TFault {
  std::uint32_t Code = 0;
  std::uintptr_t Address = 0;        // the faulting instruction
  std::uintptr_t AccessAddress = 0;  // access violations: the address it tried to reach
  TAccessKind Access = TAccessKind::Read;
  TCpuContext Context;
  bool HasContext = false;
};

// Every fault of the operating system.
class EExternal : public Exception {
 public:
  EExternal(std::string message, const TFault& fault);
  std::uint32_t Code() const { return fault_.Code; }
  std::uintptr_t FaultAddress() const { return fault_.Address; }
  const TFault& Fault() const { return fault_; }
  // The processor state at the fault; null when none was given.
  const TCpuContext* Context() const { return fault_.HasContext ? &fault_.Context : nullptr; }

 private:
  TFault fault_;
};

#define RTL_EXTERNAL_CLASS(Name, Base) \
  class Name : public Base {           \
   public:                             \
    using Base::Base;                  \
  }

RTL_EXTERNAL_CLASS(EAccessViolation, EExternal);
RTL_EXTERNAL_CLASS(EIntError, EExternal);
RTL_EXTERNAL_CLASS(EDivByZero, EIntError);
RTL_EXTERNAL_CLASS(EIntOverflow, EIntError);
RTL_EXTERNAL_CLASS(ERangeError, EIntError);
RTL_EXTERNAL_CLASS(EMathError, EExternal);
RTL_EXTERNAL_CLASS(EZeroDivide, EMathError);
RTL_EXTERNAL_CLASS(EOverflow, EMathError);
RTL_EXTERNAL_CLASS(EUnderflow, EMathError);
RTL_EXTERNAL_CLASS(EInvalidOp, EMathError);
RTL_EXTERNAL_CLASS(EStackOverflow, EExternal);
RTL_EXTERNAL_CLASS(EPrivilege, EExternal);
RTL_EXTERNAL_CLASS(EInvalidOpCode, EExternal);
RTL_EXTERNAL_CLASS(EControlC, EExternal);
RTL_EXTERNAL_CLASS(EExternalException, EExternal);

#undef RTL_EXTERNAL_CLASS

// The message of a fault, from the string table.
std::string FaultMessage(const TFault& fault);

// The object of the fault's class with its message, ready to be reported.
std::exception_ptr MakeExternalException(const TFault& fault);

}  // namespace RTL
