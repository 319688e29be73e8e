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

TEST(HardwareList, ClassesAndDevicesAreSortedIgnoringCase) {
  const std::vector<TDeviceRecord> devices = {
      Device("Ports (COM & LPT)", "Communications Port (COM1)"),
      Device("Disk drives", "WDC WD5000"),
      Device("Disk drives", "ata disk"),
      Device("Disk drives", "QEMU HARDDISK"),
      Device("Disk drives", "QEMU harddisk"),
  };
  EXPECT_EQ(FormatHardwareList(devices),
            "+ Disk drives\r\n"
            "  - ata disk\r\n"
            "  - QEMU harddisk\r\n"
            "  - QEMU HARDDISK\r\n"
            "  - WDC WD5000\r\n"
            "+ Ports (COM & LPT)\r\n"
            "  - Communications Port (COM1)");
}

TEST(HardwareList, ClassTitlesDifferingOnlyInCaseStaySeparateWithTheLaterFirst) {
  EXPECT_EQ(FormatHardwareList({Device("Disk drives", "a"), Device("disk drives", "b")}),
            "+ disk drives\r\n"
            "  - b\r\n"
            "+ Disk drives\r\n"
            "  - a");
  // A title joins a class only when the first class that sorts with it is spelt the same.
  EXPECT_EQ(FormatHardwareList({Device("Disk drives", "a"), Device("disk drives", "b"),
                                Device("Disk drives", "c")}),
            "+ Disk drives\r\n"
            "  - c\r\n"
            "+ disk drives\r\n"
            "  - b\r\n"
            "+ Disk drives\r\n"
            "  - a");
}

TEST(HardwareList, EqualDeviceTitlesAreKeptWithTheLaterFirst) {
  const std::vector<TDeviceRecord> devices = {
      WithDriver(Device("Network adapters", "NIC"), "Vendor A", "1.0"),
      WithDriver(Device("Network adapters", "NIC"), "Vendor B", "2.0"),
  };
  EXPECT_EQ(FormatHardwareList(devices),
            "+ Network adapters\r\n"
            "  - NIC (driver 2.0)\r\n"
            "  - NIC (driver 1.0)");
}

TEST(HardwareList, ClassWithoutNameIsListedUnderItsIdAndOneWithNeitherIsLeftOut) {
  TDeviceRecord unnamed = Device("", "Thing");
  unnamed.ClassId = "{4d36e97d-e325-11ce-bfc1-08002be10318}";
  TDeviceRecord nothing = Device("", "Lost");
  TDeviceRecord named = Device("Mice", "Mouse");
  named.ClassId = "{4d36e96f-e325-11ce-bfc1-08002be10318}";
  EXPECT_EQ(FormatHardwareList({unnamed, nothing, named}),
            "+ Mice\r\n"
            "  - Mouse\r\n"
            "+ {4d36e97d-e325-11ce-bfc1-08002be10318}\r\n"
            "  - Thing");
}

TEST(HardwareList, DeviceWithoutTitleIsStillListed) {
  EXPECT_EQ(FormatHardwareList({Device("System devices", "")}), "+ System devices\r\n  - ");
}

TEST(HardwareList, EmptyListIsEmptyText) {
  EXPECT_EQ(FormatHardwareList({}), "");
}

TEST(DriverNote, OnlyProvidersOtherThanTheSystemsMakerGetANote) {
  const TDeviceRecord device = Device("c", "d");
  EXPECT_EQ(DriverNote(WithDriver(device, "Realtek", "10.1.505.2015")), " (driver 10.1.505.2015)");
  EXPECT_EQ(DriverNote(WithDriver(device, "MICROSOFT", "6.1.7600.16385")), "");
  EXPECT_EQ(DriverNote(WithDriver(device, "microsoft", "6.1")), "");
  EXPECT_EQ(DriverNote(WithDriver(device, "(Standard system devices)", "6.1")), "");
  EXPECT_EQ(DriverNote(WithDriver(device, "", "6.1")), "");
  EXPECT_EQ(DriverNote(WithDriver(device, "Microsoft Corp", "6.1")), " (driver 6.1)");
}

TEST(DriverNote, DateStandsInForAMissingVersionAndBothAreTrimmed) {
  const TDeviceRecord device = Device("c", "d");
  EXPECT_EQ(DriverNote(WithDriver(device, "Intel", "", " 7-13-2009 ")), " (driver 7-13-2009)");
  EXPECT_EQ(DriverNote(WithDriver(device, "Intel", "\t8.0 ", "7-13-2009")), " (driver 8.0)");
  EXPECT_EQ(DriverNote(WithDriver(device, "Intel", "", "")), "");
}

TEST(DriverNote, DeviceWithoutDriverKeyHasNone) {
  TDeviceRecord device = WithDriver(Device("c", "d"), "Intel", "8.0");
  device.DriverKey.clear();
  EXPECT_EQ(DriverNote(device), "");
}

}  // namespace
