#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/path_style.h"
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

// The upload's copies, kept in the reporter's temporary folder: always a new file of their
// own, never whatever had the name before (a link included). False when the name is taken
// or the report could not be written whole.
bool SaveNewBugReportFile(const std::string& path, std::string_view report);
// A copy of a saved bug report file, byte for byte, made the same way.
bool CopyBugReportFile(const std::string& source, const std::string& target);

// What the writer takes from the running program; tests put their own folders in.
struct TReportFileContext {
  std::string ExecutablePath;
  Platform::PathStyle Style = Platform::NativePathStyle();
  // Expands the placeholders of the fallback path.
  std::function<std::string(std::string_view)> Expand;
};

// This program's executable and style; placeholders expanded for no module, the four of the
// exception staying as they are.
TReportFileContext ProgramReportFileContext();

// SaveBugReportFile with the given context. This console program shows no save-as dialog, so
// an interactive save (automatic false) writes to the configured place as well.
bool SaveBugReportFile(std::string_view fileName, std::string_view report,
                       Settings::IReporterSettings& settings, bool automatic,
                       const TReportFileContext& context);

}  // namespace Reporter::Report
