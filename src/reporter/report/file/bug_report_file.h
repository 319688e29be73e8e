#pragma once

#include <string>
#include <string_view>

#include "reporter/settings/reporter_settings.h"

// The bug report file beside the executable (or in the user's application data when that
// place cannot be written), and the copies the upload attaches.
namespace Reporter::Report {

// A configured name as a full path: relative names go to the executable's folder, "\name" to
// its drive; "\.\" and "folder\.." pairs are removed. Placeholders stay as they are.
std::string ResolveReportPath(std::string_view name);

// Writes report + "\r\n\r\n" as UTF-8 without byte-order mark, replacing the file's whole
// content. An empty fileName means the BugRepFile setting. False when the report is empty or
// the file could not be written anywhere.
bool SaveBugReportFile(std::string_view fileName, std::string_view report,
                       Settings::IReporterSettings& settings, bool automatic);

}  // namespace Reporter::Report
