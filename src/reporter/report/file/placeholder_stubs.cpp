// Placeholder until the real writer exists.
#include "reporter/report/file/bug_report_file.h"

namespace Reporter::Report {
std::string ResolveReportPath(std::string_view name) {
  return std::string(name);
}
bool SaveBugReportFile(std::string_view, std::string_view, Settings::IReporterSettings&, bool) {
  return false;
}
}  // namespace Reporter::Report
