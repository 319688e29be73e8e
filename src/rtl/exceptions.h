#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "rtl/cpu_context.h"

// The program's exception classes: each carries a readable (German) message. A raised
// exception also remembers where it was raised and the return addresses at that moment,
// because the outermost handler sees it only after the stack has been unwound.
namespace RTL {

// Fills buffer with the calling code's return addresses, innermost first, leaving out the
// first `skip` of them; returns how many were stored.
using TStackCapture = std::size_t (*)(std::uintptr_t* buffer, std::size_t capacity,
                                      std::size_t skip);
// Installed once at start-up by the crash reporter; until then nothing is captured.
void SetStackCapture(TStackCapture capture);
TStackCapture StackCapture();

// The processor state where an exception was raised, kept for the report's registers and stack
// dump: by the time the outermost handler sees the exception, that part of the stack has been
// unwound and written over.
struct TRaiseContext {
  TCpuContext Registers;            // Ip, Sp and Bp are the raising code's
  std::vector<std::uint8_t> Stack;  // the stack from Registers.Sp upward, as it was
};
// Fills `out` with the calling thread's registers, Ip, Sp and Bp replaced by the given ones, and
// a copy of the stack from that Sp up (as far as a stack dump shows); false when it cannot.
using TContextCapture = bool (*)(std::uintptr_t ip, std::uintptr_t sp, std::uintptr_t bp,
                                 TRaiseContext& out);
// Installed once at start-up by the crash reporter; until then nothing is captured.
void SetContextCapture(TContextCapture capture);

class Exception : public std::exception {
 public:
  explicit Exception(std::string message);
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const { return message_; }

  // The code that created the object (its constructor's return address): where it was raised.
  std::uintptr_t RaiseAddress() const { return raiseAddress_; }
  // The return addresses at construction, innermost first; empty without a capture.
  const std::vector<std::uintptr_t>& PreparedStack() const { return preparedStack_; }
  // The processor state at construction; null without a capture.
  const TRaiseContext* RaiseContext() const { return raiseContext_.get(); }

  // The dynamic class's name without namespaces ("EUpdateWork"), and that of every ancestor,
  // the class itself first.
  std::string ClassName() const;
  std::vector<std::string> ClassNames() const;

 private:
  std::string message_;
  std::uintptr_t raiseAddress_ = 0;
  std::vector<std::uintptr_t> preparedStack_;
  // Shared by the copies the runtime makes of a thrown object.
  std::shared_ptr<const TRaiseContext> raiseContext_;
};

// An operation was cancelled on purpose; never reported.
class EAbort : public Exception {
 public:
  EAbort();
  using Exception::Exception;
};

// A file could not be opened or created.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// The platform refused a file operation.
class EInOutError : public Exception {
 public:
  using Exception::Exception;
};

// A path was rejected before the platform saw it.
class EArgumentException : public Exception {
 public:
  using Exception::Exception;
};
class EPathTooLongException : public Exception {
 public:
  using Exception::Exception;
};
class ENotSupportedException : public Exception {
 public:
  using Exception::Exception;
};
class EDirectoryNotFoundException : public Exception {
 public:
  using Exception::Exception;
};

// A value typed into a data-bound field was rejected; the user is told, but no report is made.
class EDBEditError : public Exception {
 public:
  using Exception::Exception;
};

// Stands in for a failure that came with no exception object of its own (a fatal runtime
// error, an abort): it carries the runtime's message.
class ESubstituteException : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace RTL
