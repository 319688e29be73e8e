#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/machine_info.h"

namespace Platform {
namespace {

std::string_view Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string UserNameOf(uid_t uid) {
  std::vector<char> buffer(1024);
  passwd entry{};
  passwd* found = nullptr;
  while (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < 65536) {
    buffer.resize(buffer.size() * 2);
  }
  if (found != nullptr && found->pw_name != nullptr) return found->pw_name;
  return std::string(Environment("USER"));
}

gid_t GroupId(const char* name, bool& known) {
  std::vector<char> buffer(4096);
  group entry{};
  group* found = nullptr;
  while (getgrnam_r(name, &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < 1 << 20) {
    buffer.resize(buffer.size() * 2);
  }
  known = found != nullptr;
  return known ? found->gr_gid : 0;
}

// The groups whose members may act as root through sudo on the usual distributions.
bool InAdministratorGroup() {
  const int count = getgroups(0, nullptr);
  if (count < 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count) + 1);
  const int listed = getgroups(static_cast<int>(groups.size()), groups.data());
  if (listed < 0) return false;
  groups.resize(static_cast<std::size_t>(listed));
  groups.push_back(getegid());
  for (const char* name : {"sudo", "wheel", "admin"}) {
    bool known = false;
    const gid_t id = GroupId(name, known);
    if (!known) continue;
    for (const gid_t member : groups) {
      if (member == id) return true;
    }
  }
  return false;
}

}  // namespace

std::string RemoteClientName() {
  return RemoteClientOfSsh(Environment("SSH_CLIENT"), Environment("SSH_CONNECTION"));
}

TUserAccount CurrentUserAccount() {
  TUserAccount account;
  account.Name = UserNameOf(getuid());
  account.Administrator = geteuid() == 0 || InAdministratorGroup();
  return account;
}

// Linux keeps no registered owner.
std::optional<TRegisteredOwner> RegisteredOwner() {
  return std::nullopt;
}

}  // namespace Platform
