#pragma once

#include <string>
#include <vector>

#include "platform/system_lists.h"

// The "hardware" section: the installed devices grouped by device class.
namespace Reporter::Report {

// " (driver <version>)" for a device whose driver comes from a provider other than the
// system's maker, else empty. The version is the driver's version, else its date, trimmed;
// without either there is no note. Providers "Microsoft" (any case) and those starting with
// "(" make none.
std::string DriverNote(const Platform::TDeviceRecord& device);

// "+ <class title>" per class and "  - <device title><driver note>" per device, both sorted
// by title ignoring case. The class title is the class name, else the class id; devices with
// neither are left out. A class title equal to another one only ignoring case forms a class
// of its own, placed before it; of equal device titles the later device comes first.
std::string FormatHardwareList(const std::vector<Platform::TDeviceRecord>& devices);

// The list of the machine's devices.
std::string HardwareListText();

}  // namespace Reporter::Report
