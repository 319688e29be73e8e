#include "platform/system_lists.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "platform/hardware_ids.h"

namespace {

using Platform::ClassKey;
using Platform::DeviceKey;
using Platform::SubclassKey;
using Platform::VendorKey;

// The layout of pci.ids and usb.ids, with the pieces that must not be mistaken for names.
constexpr const char* kDatabase =
    "# comment 8086  Not a vendor\r\n"
    "8086  Intel Corporation\r\n"
    "\t100e  82540EM Gigabit Ethernet Controller\r\n"
    "\t\t8086 001e  PRO/1000 MT Mobile Connection\r\n"
    "1AF4  Red Hat, Inc.\n"
    "\t1041  Virtio 1.0 network device\n"
    "C 02  Network controller\n"
    "\t00  Ethernet controller\n"
    "\t\t00  not a subclass\n"
    "AT 0100  USB Streaming\n"
    "\t0101  Terminal, not a device\n"
    "C 09  Hub\n";

std::map<std::string, std::string> Read(const std::set<std::string>& wanted) {
  std::istringstream database(kDatabase);
  return Platform::ReadHardwareIdNames(database, wanted);
}

TEST(HardwareIds, FindsVendorsDevicesClassesAndSubclassesByLowerCaseKeys) {
  const auto names = Read({VendorKey(0x8086), DeviceKey(0x8086, 0x100e), VendorKey(0x1af4),
                           DeviceKey(0x1AF4, 0x1041), ClassKey(2), SubclassKey(2, 0), ClassKey(9)});
  EXPECT_EQ(names, (std::map<std::string, std::string>{
                       {"8086", "Intel Corporation"},
                       {"8086:100e", "82540EM Gigabit Ethernet Controller"},
                       {"1af4", "Red Hat, Inc."},
                       {"1af4:1041", "Virtio 1.0 network device"},
                       {"C02", "Network controller"},
                       {"C02:00", "Ethernet controller"},
                       {"C09", "Hub"},
                   }));
}

TEST(HardwareIds, KeepsOnlyWantedNamesAndIgnoresOtherSections) {
  // "AT 0100" opens a section of its own: its entries belong to no vendor or class.
  const auto names = Read({VendorKey(0x0100), DeviceKey(0x0100, 0x0101), DeviceKey(0x1af4, 0x0101),
                           SubclassKey(9, 0), DeviceKey(0x8086, 0x001e)});
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(Read({}).empty());
}

TEST(LongPathName, ReplacesShortComponentsFromTheLastToTheFirst) {
  std::vector<std::string> asked;
  const auto lookup = [&](const std::string& path) -> std::optional<std::string> {
    asked.push_back(path);
    if (path == "C:\\PROGRA~1") return "Program Files";
    if (path == "C:\\PROGRA~1\\MYAPP~1.EXE") return "My Application.exe";
    return std::nullopt;
  };
  EXPECT_EQ(Platform::LongPathName("C:\\PROGRA~1\\MYAPP~1.EXE", lookup),
            "C:\\Program Files\\My Application.exe");
  EXPECT_EQ(asked, (std::vector<std::string>{"C:\\PROGRA~1\\MYAPP~1.EXE", "C:\\PROGRA~1"}));
}

TEST(LongPathName, LeavesWildcardsPlainNamesAndFailedLookupsAlone) {
  int lookups = 0;
  const auto lookup = [&](const std::string&) -> std::optional<std::string> {
    ++lookups;
    return std::nullopt;
  };
  EXPECT_EQ(Platform::LongPathName("C:\\A~1*\\B~?\\plain\\GONE~1", lookup),
            "C:\\A~1*\\B~?\\plain\\GONE~1");
  EXPECT_EQ(lookups, 1);
}

TEST(DosImagePath, RewritesTheKernelsPrefixes) {
  EXPECT_EQ(Platform::DosImagePath("\\SystemRoot\\System32\\smss.exe", "C:\\Windows\\system32"),
            "C:\\Windows\\system32\\smss.exe");
  EXPECT_EQ(Platform::DosImagePath("\\SYSTEMROOT\\system32\\csrss.exe", "D:\\W\\s"),
            "D:\\W\\s\\csrss.exe");
  EXPECT_EQ(Platform::DosImagePath("\\??\\C:\\Windows\\winlogon.exe", "x"),
            "C:\\Windows\\winlogon.exe");
  // "\??\" only as written; "System32x" is another folder.
  EXPECT_EQ(Platform::DosImagePath("\\?? \\a.exe", "x"), "\\?? \\a.exe");
  EXPECT_EQ(Platform::DosImagePath("\\SystemRoot\\System32x\\a.exe", "x"),
            "\\SystemRoot\\System32x\\a.exe");
  EXPECT_EQ(Platform::DosImagePath("C:\\app.exe", "x"), "C:\\app.exe");
}

}  // namespace
