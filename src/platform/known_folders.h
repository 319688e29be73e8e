#pragma once

#include <optional>
#include <string>

// The user's and the machine's well-known folders, as placeholders in the reporter's settings
// texts name them.
namespace Platform {

enum class KnownFolder { Desktop, UserAppData, CommonAppData, LocalAppData };

// The folder's full path without a trailing separator; none when the system names none.
// Windows asks the shell; POSIX uses the XDG variables (XDG_DESKTOP_DIR, XDG_CONFIG_HOME,
// XDG_DATA_HOME) or their usual places under HOME, and /var/lib for the machine.
[[nodiscard]] std::optional<std::string> KnownFolderPath(KnownFolder folder);

// The computer's name; empty when it cannot be read.
std::string ComputerName();

}  // namespace Platform
