#pragma once

#include <string>

#include "platform/machine_info.h"

// How the report names the operating system.
namespace Reporter::Report {

// "Windows 7 x64 Service Pack 1", "Windows 2008 R2": the product the version numbers stand
// for, with the edition marks the record carries.
std::string OperatingSystemName(const Platform::TOsVersion& version);

// The "operating system" header value: the name + " build " + the build number, or the
// system's own description where it gives no version record.
std::string OperatingSystemText(const Platform::TOperatingSystem& system);
std::string OperatingSystemText();

}  // namespace Reporter::Report
