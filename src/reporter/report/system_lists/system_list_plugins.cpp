#include "reporter/report/system_lists/system_list_plugins.h"

#include "reporter/report/system_lists/bug_report_plugins.h"
#include "reporter/report/system_lists/hardware_list.h"
#include "reporter/report/system_lists/module_list.h"
#include "reporter/report/system_lists/process_list.h"

namespace Reporter::Report {

void RegisterSystemListPlugins() {
  AddBugReportPlugin("hardware", "list of installed hardware", HardwareListText, true);
  AddBugReportPlugin("processes", "list of running processes", ProcessListText, true);
  AddBugReportPlugin("modules", "list of loaded modules", ModuleListText, true);
}

void UnregisterSystemListPlugins() {
  RemoveBugReportPlugin("modules");
  RemoveBugReportPlugin("processes");
  RemoveBugReportPlugin("hardware");
}

}  // namespace Reporter::Report
