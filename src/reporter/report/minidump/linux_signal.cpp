#include "reporter/report/minidump/linux_signal.h"

#include "rtl/os_exceptions.h"

namespace Reporter::Report::Minidump {
namespace {

// The numbers of the x86 Linux ABI.
constexpr std::uint32_t kSigInt = 2;
constexpr std::uint32_t kSigIll = 4;
constexpr std::uint32_t kSigFpe = 8;
constexpr std::uint32_t kSigSegv = 11;
constexpr std::uint32_t kLastSignal = 64;

}  // namespace

std::uint32_t LinuxSignalOf(std::uint32_t faultCode) {
  namespace Code = RTL::FaultCode;
  switch (faultCode) {
    case Code::kAccessViolation:
    case Code::kStackOverflow:
    case Code::kPrivilegedInstruction:  // a general protection fault
    case Code::kArrayBoundsExceeded:
      return kSigSegv;
    case Code::kIllegalInstruction:
      return kSigIll;
    case Code::kIntDivideByZero:
    case Code::kIntOverflow:
    case Code::kFltDivideByZero:
    case Code::kFltOverflow:
    case Code::kFltUnderflow:
    case Code::kFltInvalidOperation:
    case Code::kFltDenormalOperand:
    case Code::kFltInexactResult:
    case Code::kFltStackCheck:
      return kSigFpe;
    case Code::kControlC:
      return kSigInt;
    default:
      return faultCode <= kLastSignal ? faultCode : 0;
  }
}

}  // namespace Reporter::Report::Minidump
