#pragma once

#include "reporter/core/bug_report.h"
#include "reporter/delivery/deliver_bug_report.h"

namespace Reporter::Core {

// The values that the upload of this report files on their own: the header's, and the check
// values as the completion wrote them into it.
Delivery::TReportValues ReportValuesOf(IBugReport& report);

}  // namespace Reporter::Core
