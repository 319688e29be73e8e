#include "platform/environment.h"

#include <stdlib.h>

namespace Platform {

bool SetEnvironmentValue(const std::string& name, const std::string& value) {
  if (value.empty()) return unsetenv(name.c_str()) == 0;
  return setenv(name.c_str(), value.c_str(), 1) == 0;
}

}  // namespace Platform
