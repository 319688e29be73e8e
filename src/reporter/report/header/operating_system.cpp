#include "reporter/report/header/operating_system.h"

namespace Reporter::Report {
namespace {

const char* ProductName(const Platform::TOsVersion& version) {
  const bool workstation = version.Workstation;
  switch (version.Major) {
    case 0:
    case 1:
    case 2:
    case 3:
      return "Windows NT 3";
    case 4:
      return "Windows NT 4";
    case 5:
      if (version.Minor == 0) return "Windows 2000";
      if (version.Minor == 1 || workstation) return "Windows XP";
      return "Windows 2003";
    case 6:
      switch (version.Minor) {
        case 0:
          return workstation ? "Windows Vista" : "Windows 2008";
        case 1:
          return workstation ? "Windows 7" : "Windows 2008 R2";
        case 2:
          return workstation ? "Windows 8" : "Windows 2012";
        case 3:
          return workstation ? "Windows 8.1" : "Windows 2012 R2";
        default:
          return "Windows NT New";
      }
    case 10:
      return workstation ? "Windows 10" : "Windows 2016";
    default:
      return "Windows NT New";
  }
}

}  // namespace

std::string OperatingSystemName(const Platform::TOsVersion& version) {
  std::string name = ProductName(version);
  if (version.R2) name += " R2";
  if (version.TabletPc) name += " Tablet PC";
  if (version.Starter) name += " Starter";
  // Media Center was an edition of its own only before Vista.
  if (version.MediaCenter && version.Major < 6) name += " Media Center";
  if (version.NativeX64) name += " x64";
  if (!version.ServicePack.empty()) name += " " + version.ServicePack;
  return name;
}

std::string OperatingSystemText(const Platform::TOperatingSystem& system) {
  if (!system.Version) return system.Description;
  return OperatingSystemName(*system.Version) + " build " + std::to_string(system.Version->Build);
}

std::string OperatingSystemText() {
  return OperatingSystemText(Platform::QueryOperatingSystem());
}

}  // namespace Reporter::Report
