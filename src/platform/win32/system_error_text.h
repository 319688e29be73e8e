#pragma once

#include <cstdint>
#include <string>

#include "platform/result.h"

namespace Platform::Win32 {

// The system's readable text for an error code (GetLastError), UTF-8, without the trailing
// line break and full stop, so that callers can put it into their own sentences.
std::string SystemErrorText(std::uint32_t errorCode);

// A failure with the text of the calling thread's last error.
Failure LastErrorFailure();
// A failure with the text of this error code.
Failure ErrorFailure(std::uint32_t errorCode);

}  // namespace Platform::Win32
