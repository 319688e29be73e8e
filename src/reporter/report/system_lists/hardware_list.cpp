#include "reporter/report/system_lists/hardware_list.h"

#include <algorithm>

#include "reporter/report/system_lists/list_columns.h"
#include "rtl/case_folding.h"
#include "rtl/text.h"

namespace Reporter::Report {
namespace {

struct THardwareDevice {
  std::string Title;
  std::string Note;
};

struct THardwareClass {
  std::string Title;
  std::vector<THardwareDevice> Devices;
};

bool NotBefore(const std::string& title, const std::string& newTitle) {
  return RTL::Text::CompareIgnoreCase(title, newTitle) >= 0;
}

THardwareClass& ClassFor(std::vector<THardwareClass>& classes, const std::string& title) {
  const auto place = std::find_if(classes.begin(), classes.end(), [&](const THardwareClass& c) {
    return NotBefore(c.Title, title);
  });
  if (place != classes.end() && place->Title == title) return *place;
  return *classes.insert(place, THardwareClass{title, {}});
}

void InsertDevice(THardwareClass& deviceClass, THardwareDevice device) {
  auto& devices = deviceClass.Devices;
  const auto place = std::find_if(devices.begin(), devices.end(), [&](const THardwareDevice& d) {
    return NotBefore(d.Title, device.Title);
  });
  devices.insert(place, std::move(device));
}

}  // namespace

std::string DriverNote(const Platform::TDeviceRecord& device) {
  if (device.DriverKey.empty()) return {};
  const std::string& provider = device.ProviderName;
  if (provider.empty() || provider.front() == '(' ||
      RTL::Text::SameIgnoreCase(provider, "Microsoft")) {
    return {};
  }
  const std::string version =
      RTL::Text::Trim(device.DriverVersion.empty() ? device.DriverDate : device.DriverVersion);
  if (version.empty()) return {};
  return " (driver " + version + ")";
}

std::string FormatHardwareList(const std::vector<Platform::TDeviceRecord>& devices) {
  std::vector<THardwareClass> classes;
  for (const Platform::TDeviceRecord& device : devices) {
    const std::string& classTitle = device.ClassName.empty() ? device.ClassId : device.ClassName;
    if (classTitle.empty()) continue;
    InsertDevice(ClassFor(classes, classTitle), {device.DeviceTitle, DriverNote(device)});
  }
  std::vector<std::string> lines;
  for (const THardwareClass& deviceClass : classes) {
    lines.push_back("+ " + deviceClass.Title);
    for (const THardwareDevice& device : deviceClass.Devices) {
      lines.push_back("  - " + device.Title + device.Note);
    }
  }
  return JoinLines(lines);
}

std::string HardwareListText() {
  return FormatHardwareList(Platform::ListDevices());
}

}  // namespace Reporter::Report
