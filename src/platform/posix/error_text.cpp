#include "platform/posix/error_text.h"

#include <string.h>

namespace Platform::Posix {
namespace {

// strerror_r comes in a GNU flavour (returns the text) and an XSI one (fills the buffer).
[[maybe_unused]] const char* Pick(const char* result, const char*) {
  return result;
}
[[maybe_unused]] const char* Pick(int, const char* buffer) {
  return buffer;
}

}  // namespace

std::string ErrorText(int error) {
  char buffer[256] = {};
  return Pick(strerror_r(error, buffer, sizeof(buffer)), buffer);
}

Failure ErrorFailure(int error) {
  return Failure{ErrorText(error)};
}

}  // namespace Platform::Posix
