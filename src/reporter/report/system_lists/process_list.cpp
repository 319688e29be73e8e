#include "reporter/report/system_lists/process_list.h"

#include <algorithm>

#include "reporter/report/system_lists/list_columns.h"

namespace Reporter::Report {

std::string PriorityText(std::int32_t priorityClass) {
  switch (priorityClass) {
    case Platform::kNormalPriorityClass:
      return "normal";
    case Platform::kIdlePriorityClass:
      return "idle";
    case Platform::kHighPriorityClass:
      return "high";
    case Platform::kRealtimePriorityClass:
      return "realtime";
    case Platform::kBelowNormalPriorityClass:
      return "below normal";
    case Platform::kAboveNormalPriorityClass:
      return "above normal";
    case 0:
    case -1:
      return {};
    default:
      return "$" + HexText(static_cast<std::uint32_t>(priorityClass), 1);
  }
}

std::string FormatProcessList(const std::vector<Platform::TProcessRecord>& processes) {
  std::size_t idWidth = 0;
  std::size_t nameWidth = 0;
  std::size_t sessionDigits = 0;  // 0: no process has a session, so there is no column
  std::size_t gdiDigits = 0;
  std::size_t userDigits = 0;
  std::size_t priorityWidth = 0;
  for (const Platform::TProcessRecord& process : processes) {
    idWidth = std::max(idWidth, HexDigits(process.ProcessId));
    nameWidth = std::max(nameWidth, TextWidth(process.FileName));
    if (process.SessionId != 0) {
      sessionDigits = std::max(sessionDigits, DecimalDigits(process.SessionId));
    }
    gdiDigits = std::max(gdiDigits, DecimalDigits(process.GdiObjects));
    userDigits = std::max(userDigits, DecimalDigits(process.UserObjects));
    priorityWidth = std::max(priorityWidth, TextWidth(PriorityText(process.PriorityClass)));
  }
  std::vector<std::string> lines;
  lines.reserve(processes.size());
  for (const Platform::TProcessRecord& process : processes) {
    std::string line =
        HexText(process.ProcessId, idWidth) + " " + PadRight(process.FileName, nameWidth + 1);
    if (sessionDigits > 0) {
      line += PadRight(std::to_string(process.SessionId), sessionDigits + 1);
    }
    line += PadRight(std::to_string(process.GdiObjects), gdiDigits + 1);
    line += PadRight(std::to_string(process.UserObjects), userDigits + 1);
    line += PadRight(PriorityText(process.PriorityClass), priorityWidth + 1);
    line += process.Directory;
    lines.push_back(std::move(line));
  }
  return JoinLines(lines);
}

std::string ProcessListText() {
  return FormatProcessList(Platform::ListProcesses());
}

}  // namespace Reporter::Report
