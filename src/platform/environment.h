#pragma once

#include <string>

namespace Platform {

// Sets an environment variable of this process; an empty value removes it. Children started
// afterwards inherit it.
[[nodiscard]] bool SetEnvironmentValue(const std::string& name, const std::string& value);

}  // namespace Platform
