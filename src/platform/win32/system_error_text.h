#pragma once

#include <cstdint>
#include <string>

namespace Platform::Win32 {

// The system's readable text for an error code (GetLastError), UTF-8, without the trailing
// line break and full stop, so that callers can put it into their own sentences.
std::string SystemErrorText(std::uint32_t errorCode);

// Stores the text of the calling thread's last error where a caller asked for it.
void StoreLastErrorText(std::string* errorText);

}  // namespace Platform::Win32
