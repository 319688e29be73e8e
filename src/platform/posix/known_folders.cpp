#include "platform/known_folders.h"

#include <unistd.h>

#include <climits>

#include "platform/process.h"

namespace Platform {
namespace {

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The variable's value, else the folder below HOME; none when neither is set.
std::optional<std::string> FromEnvironment(const char* variable, const char* belowHome) {
  std::string value = EnvironmentValue(variable);
  if (!value.empty()) return WithoutTrailingSlash(value);
  const std::string home = EnvironmentValue("HOME");
  if (home.empty()) return std::nullopt;
  return WithoutTrailingSlash(home) + "/" + belowHome;
}

}  // namespace

std::optional<std::string> KnownFolderPath(KnownFolder folder) {
  switch (folder) {
    case KnownFolder::Desktop:
      return FromEnvironment("XDG_DESKTOP_DIR", "Desktop");
    case KnownFolder::UserAppData:
      return FromEnvironment("XDG_CONFIG_HOME", ".config");
    case KnownFolder::LocalAppData:
      return FromEnvironment("XDG_DATA_HOME", ".local/share");
    case KnownFolder::CommonAppData:
      return std::string("/var/lib");
  }
  return std::nullopt;
}

std::string ComputerName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

}  // namespace Platform
