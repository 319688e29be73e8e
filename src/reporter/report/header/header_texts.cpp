#include "reporter/report/header/header_texts.h"

#include <cstdio>

#include "reporter/report/header/header_formats.h"
#include "rtl/text.h"

namespace Reporter::Report {

std::string ReportDateTimeText(const Settings::TLocalTime& time) {
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d, %02d:%02d:%02d, %dms", time.year, time.month,
                time.day, time.hour, time.minute, time.second, time.millisecond);
  return text;
}

std::string FileDateTimeText(const Platform::TFileDateTime& time) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", time.Year, time.Month, time.Day,
                time.Hour, time.Minute);
  return text;
}

std::string FoldSpaces(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (char c : text) {
    if (c == '\r' || c == '\n') c = ' ';
    if (c == ' ' && !folded.empty() && folded.back() == ' ') continue;
    folded += c;
  }
  return folded;
}

std::string UserText(const Platform::TUserAccount& account) {
  if (account.Name.empty()) return {};
  return account.Administrator ? account.Name + "  <admin>" : account.Name;
}

std::string RegisteredOwnerText(const Platform::TRegisteredOwner& owner) {
  if (owner.Organization.empty()) return owner.Owner;
  return owner.Owner + " / " + owner.Organization;
}

std::string ProgramUpTimeText(std::int64_t milliseconds) {
  if (milliseconds < 0) milliseconds = 0;
  std::string text = DurationToStr(milliseconds / 1000);
  if (text.empty()) text = std::to_string(milliseconds) + " milliseconds";
  return text;
}

std::pair<std::string, std::string> ProcessorField(const Platform::TProcessorInfo& processors) {
  const std::string name = RTL::Text::Trim(FoldSpaces(processors.Name));
  if (processors.Count <= 1) return {"processor", name};
  return {"processors", std::to_string(processors.Count) + "x " + name};
}

std::string PhysicalMemoryText(const Platform::TPhysicalMemory& memory) {
  constexpr std::uint64_t kMiB = 1024 * 1024;
  const auto rounded = [](std::uint64_t bytes) {
    return std::to_string((bytes + kMiB / 2) / kMiB);
  };
  return rounded(memory.FreeBytes) + "/" + rounded(memory.TotalBytes) + " MB (free/total)";
}

std::string FreeDiskSpaceText(const std::vector<Platform::TDiskSpace>& disks,
                              char decimalSeparator) {
  std::string text;
  for (const Platform::TDiskSpace& disk : disks) {
    if (!text.empty()) text += " ";
    text += "(" + disk.Root + ") " + SizeToStr(disk.FreeBytes, decimalSeparator);
  }
  return text;
}

std::string DisplayModeText(const Platform::TDisplayMode& mode) {
  return std::to_string(mode.Width) + "x" + std::to_string(mode.Height) + ", " +
         std::to_string(mode.BitsPerPixel) + " bit";
}

std::string ProcessIdText(std::uint32_t processId) {
  char text[16];
  std::snprintf(text, sizeof text, "$%x", static_cast<unsigned>(processId));
  return text;
}

std::string FileNameOfPath(std::string_view path) {
  const std::size_t separator = path.find_last_of("/\\");
  return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

}  // namespace Reporter::Report
