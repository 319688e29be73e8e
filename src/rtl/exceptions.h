#pragma once

#include <exception>
#include <string>

// The program's exception classes: each carries a readable (German) message.
namespace RTL {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
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

}  // namespace RTL
