#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/system_lists.h"

// The "processes" section: one line per running process.
namespace Reporter::Report {

// "normal", "idle", "high", "realtime", "below normal", "above normal"; empty for 0 and -1
// (not available); "$" and the value in hexadecimal for any other class.
std::string PriorityText(std::int32_t priorityClass);

// In the records' order: the process id in hexadecimal (all ids as wide as the widest), a
// space, the file name, the session id (a column only when some session id is not 0), the
// GDI and USER object counts, the priority and the directory.
std::string FormatProcessList(const std::vector<Platform::TProcessRecord>& processes);

// The list of the system's processes.
std::string ProcessListText();

}  // namespace Reporter::Report
