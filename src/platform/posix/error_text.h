#pragma once

#include <string>

namespace Platform::Posix {

// The system's text for an errno value.
std::string ErrorText(int error);

// Stores ErrorText(error) where the caller asked for it (errorText may be null).
void StoreErrorText(std::string* errorText, int error);

}  // namespace Platform::Posix
