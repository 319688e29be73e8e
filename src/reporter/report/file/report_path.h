#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/path_style.h"

// Where a bug report file goes. Portable: the platform's path style is a parameter, so that
// the Windows rules are tested on every build.
namespace Reporter::Report {

// A configured name (written with backslashes, as the settings are) as a full path beside the
// executable: relative names go to its folder, "\name" to its drive, "\.\" folds to "\" and
// each ".." removes the folder before it. The POSIX style reads a backslash as "/" and has
// no drives, so there only a leading "/" makes a name absolute.
std::string ResolveReportPath(std::string_view name, std::string_view executablePath,
                              Platform::PathStyle style);

// The place used when the configured one cannot be opened:
// "%userappdata%\<executable name without extension>\<name>" expanded by `expand`, each ":"
// then "." except a leading drive's, so that a time in the name cannot make it invalid.
std::string FallbackReportPath(std::string_view name, std::string_view executablePath,
                               Platform::PathStyle style,
                               const std::function<std::string(std::string_view)>& expand);

// Creates every missing folder of the path's folder part, outermost first; failures are left
// to the open that follows.
void CreateMissingFolders(std::string_view path, Platform::PathStyle style);

}  // namespace Reporter::Report
