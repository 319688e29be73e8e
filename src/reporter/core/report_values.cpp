#include "reporter/core/report_values.h"

#include "reporter/report/header/header_fields.h"

namespace Reporter::Core {

Delivery::TReportValues ReportValuesOf(IBugReport& report) {
  namespace HeaderKey = Report::HeaderKey;
  Delivery::TReportValues values;
  if (const std::shared_ptr<Settings::IFieldList> header = report.GetBugReportHeader()) {
    values.exceptClass = header->GetContent(HeaderKey::ExceptionClass);
    values.exceptMsg = header->GetContent(HeaderKey::ExceptionMessage);
    values.version = header->GetContent(HeaderKey::Version);
    values.computerName = header->GetContent(HeaderKey::ComputerName);
  }
  values.callstackCrc = Report::CallstackCrcText(
      report.GetCallstackCrc(0), report.GetCallstackCrc(1), report.GetCallstackCrc(2));
  return values;
}

}  // namespace Reporter::Core
