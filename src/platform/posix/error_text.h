#pragma once

#include <string>

#include "platform/result.h"

namespace Platform::Posix {

// The system's text for an errno value.
std::string ErrorText(int error);

// A failure with ErrorText(error).
Failure ErrorFailure(int error);

}  // namespace Platform::Posix
