#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/machine_info.h"
#include "reporter/settings/placeholders.h"

// How the header writes what the system tells, one value each.
namespace Reporter::Report {

// "2021-03-05, 14:03:07, 45ms": milliseconds without leading zeros.
std::string ReportDateTimeText(const Settings::TLocalTime& time);
// "2021-03-05 14:03"
std::string FileDateTimeText(const Platform::TFileDateTime& time);

// Line breaks become spaces and every run of spaces one space.
std::string FoldSpaces(std::string_view text);

// "user1  <admin>" for an administrator.
std::string UserText(const Platform::TUserAccount& account);
// "owner / organisation", the organisation only when there is one.
std::string RegisteredOwnerText(const Platform::TRegisteredOwner& owner);

// The seconds as DurationToStr writes them; under one second "<ms> milliseconds".
std::string ProgramUpTimeText(std::int64_t milliseconds);

// ("processor", name) for one, ("processors", "8x " + name) for more; blanks folded.
std::pair<std::string, std::string> ProcessorField(const Platform::TProcessorInfo& processors);

// "1023/16384 MB (free/total)", each rounded to the nearest MiB.
std::string PhysicalMemoryText(const Platform::TPhysicalMemory& memory);

// "(C:) 1,50 GB (D:) 20,00 GB"
std::string FreeDiskSpaceText(const std::vector<Platform::TDiskSpace>& disks,
                              char decimalSeparator);

// "1920x1080, 32 bit"
std::string DisplayModeText(const Platform::TDisplayMode& mode);

// "$1a2c"
std::string ProcessIdText(std::uint32_t processId);

// The part after the last "/" or "\".
std::string FileNameOfPath(std::string_view path);

}  // namespace Reporter::Report
