#include "rtl/os_exceptions.h"

#include <cstdio>

#include "rtl/rtl_strings.h"

namespace RTL {
namespace {

std::string Hex(std::uintptr_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%0*llX", static_cast<int>(sizeof(void*) * 2),
                static_cast<unsigned long long>(value));
  return text;
}

std::string Format(const char* pattern, const std::string& first, const std::string& second) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, first.c_str(), second.c_str());
  return text;
}

template <class TClass>
std::exception_ptr Make(const TFault& fault) {
  return std::make_exception_ptr(TClass(FaultMessage(fault), fault));
}

}  // namespace

EExternal::EExternal(std::string message, const TFault& fault)
    : Exception(std::move(message)), fault_(fault) {}

std::string FaultMessage(const TFault& fault) {
  using namespace FaultCode;
  switch (fault.Code) {
    case kAccessViolation: {
      const char* pattern = fault.Access == TAccessKind::Write ? Strings::kAccessViolationWrite
                            : fault.Access == TAccessKind::Execute
                                ? Strings::kAccessViolationExecute
                                : Strings::kAccessViolationRead;
      return Format(pattern, Hex(fault.Address), Hex(fault.AccessAddress));
    }
    case kIntDivideByZero:
      return Strings::kDivByZero;
    case kIntOverflow:
      return Strings::kIntOverflow;
    case kFltDivideByZero:
      return Strings::kZeroDivide;
    case kFltOverflow:
      return Strings::kOverflow;
    case kFltUnderflow:
      return Strings::kUnderflow;
    case kFltInvalidOperation:
    case kFltDenormalOperand:
    case kFltInexactResult:
    case kFltStackCheck:
      return Strings::kInvalidOp;
    case kStackOverflow:
      return Strings::kStackOverflow;
    case kPrivilegedInstruction:
      return Strings::kPrivilege;
    case kIllegalInstruction:
      return Strings::kInvalidOpCode;
    case kControlC:
      return Strings::kControlC;
    case kArrayBoundsExceeded:
      return Strings::kRangeError;
    default: {
      char code[16];
      std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(fault.Code));
      return Format(Strings::kExternalException, code, "");
    }
  }
}

std::exception_ptr MakeExternalException(const TFault& fault) {
  using namespace FaultCode;
  switch (fault.Code) {
    case kAccessViolation:
      return Make<EAccessViolation>(fault);
    case kIntDivideByZero:
      return Make<EDivByZero>(fault);
    case kIntOverflow:
      return Make<EIntOverflow>(fault);
    case kArrayBoundsExceeded:
      return Make<ERangeError>(fault);
    case kFltDivideByZero:
      return Make<EZeroDivide>(fault);
    case kFltOverflow:
      return Make<EOverflow>(fault);
    case kFltUnderflow:
      return Make<EUnderflow>(fault);
    case kFltInvalidOperation:
    case kFltDenormalOperand:
    case kFltInexactResult:
    case kFltStackCheck:
      return Make<EInvalidOp>(fault);
    case kStackOverflow:
      return Make<EStackOverflow>(fault);
    case kPrivilegedInstruction:
      return Make<EPrivilege>(fault);
    case kIllegalInstruction:
      return Make<EInvalidOpCode>(fault);
    case kControlC:
      return Make<EControlC>(fault);
    default:
      return Make<EExternalException>(fault);
  }
}

}  // namespace RTL
