#include "reporter/report/system_lists/hardware_list.h"

#include <gtest/gtest.h>

namespace {

using Platform::TDeviceRecord;
using Reporter::Report::DriverNote;
using Reporter::Report::FormatHardwareList;

TDeviceRecord Device(std::string className, std::string title) {
  TDeviceRecord device;
  device.ClassName = std::move(className);
  device.DeviceTitle = std::move(title);
  return device;
}

TDeviceRecord WithDriver(TDeviceRecord device, std::string provider, std::string version,
                         std::string date = "") {
  device.DriverKey = "System\\CurrentControlSet\\Control\\Class\\{guid}\\0000";
  device.ProviderName = std::move(provider);
  device.DriverVersion = std::move(version);
  device.DriverDate = std::move(date);
  return device;
}

TEST(HardwareList, ClassesAndDevicesSortIgnoringCaseWithEqualTitlesTheLaterFirst) {
  TDeviceRecord unnamed = Device("", "Thing");
  unnamed.ClassId = "{4d36e97d-e325-11ce-bfc1-08002be10318}";
  TDeviceRecord named = Device("Mice", "Mouse");
  named.ClassId = "{4d36e96f-e325-11ce-bfc1-08002be10318}";
  const struct {
    const char* behaviour;
    std::vector<TDeviceRecord> devices;
    const char* text;
  } cases[] = {
      {"classes and devices are sorted ignoring case",
       {Device("Ports (COM & LPT)", "Communications Port (COM1)"),
        Device("Disk drives", "WDC WD5000"), Device("Disk drives", "ata disk"),
        Device("Disk drives", "QEMU HARDDISK"), Device("Disk drives", "QEMU harddisk")},
       "+ Disk drives\r\n  - ata disk\r\n  - QEMU harddisk\r\n  - QEMU HARDDISK\r\n"
       "  - WDC WD5000\r\n+ Ports (COM & LPT)\r\n  - Communications Port (COM1)"},
      {"class titles differing only in case stay separate, the later first",
       {Device("Disk drives", "a"), Device("disk drives", "b")},
       "+ disk drives\r\n  - b\r\n+ Disk drives\r\n  - a"},
      {"a title joins a class only when the first class sorting with it is spelt the same",
       {Device("Disk drives", "a"), Device("disk drives", "b"), Device("Disk drives", "c")},
       "+ Disk drives\r\n  - c\r\n+ disk drives\r\n  - b\r\n+ Disk drives\r\n  - a"},
      {"equal device titles are kept, the later first",
       {WithDriver(Device("Network adapters", "NIC"), "Vendor A", "1.0"),
        WithDriver(Device("Network adapters", "NIC"), "Vendor B", "2.0")},
       "+ Network adapters\r\n  - NIC (driver 2.0)\r\n  - NIC (driver 1.0)"},
      {"a class without name is listed under its id, one with neither is left out",
       {unnamed, Device("", "Lost"), named},
       "+ Mice\r\n  - Mouse\r\n+ {4d36e97d-e325-11ce-bfc1-08002be10318}\r\n  - Thing"},
      {"a device without title is still listed",
       {Device("System devices", "")},
       "+ System devices\r\n  - "},
      {"an empty list is empty text", {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    EXPECT_EQ(FormatHardwareList(c.devices), c.text);
  }
}

TEST(DriverNote, OnlyProvidersOtherThanTheSystemsMakerGetANoteWithVersionOrElseDate) {
  const TDeviceRecord device = Device("c", "d");
  EXPECT_EQ(DriverNote(WithDriver(device, "Realtek", "10.1.505.2015")), " (driver 10.1.505.2015)");
  EXPECT_EQ(DriverNote(WithDriver(device, "MICROSOFT", "6.1.7600.16385")), "");
  EXPECT_EQ(DriverNote(WithDriver(device, "microsoft", "6.1")), "");
  EXPECT_EQ(DriverNote(WithDriver(device, "(Standard system devices)", "6.1")), "");
  EXPECT_EQ(DriverNote(WithDriver(device, "", "6.1")), "");
  EXPECT_EQ(DriverNote(WithDriver(device, "Microsoft Corp", "6.1")), " (driver 6.1)");
  // The date stands in for a missing version, and both are trimmed.
  EXPECT_EQ(DriverNote(WithDriver(device, "Intel", "", " 7-13-2009 ")), " (driver 7-13-2009)");
  EXPECT_EQ(DriverNote(WithDriver(device, "Intel", "\t8.0 ", "7-13-2009")), " (driver 8.0)");
  EXPECT_EQ(DriverNote(WithDriver(device, "Intel", "", "")), "");
  TDeviceRecord withoutKey = WithDriver(device, "Intel", "8.0");
  withoutKey.DriverKey.clear();
  EXPECT_EQ(DriverNote(withoutKey), "");
}

}  // namespace
