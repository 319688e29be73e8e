// Naming the operating system from its version record.

#include <gtest/gtest.h>

#include "reporter/report/header/operating_system.h"

namespace {

using namespace Reporter::Report;
using Platform::TOsVersion;

TOsVersion Version(std::uint32_t major, std::uint32_t minor, bool workstation) {
  TOsVersion version;
  version.Major = major;
  version.Minor = minor;
  version.Workstation = workstation;
  return version;
}

struct TNameRow {
  std::uint32_t Major;
  std::uint32_t Minor;
  const char* Workstation;
  const char* Server;
};

TEST(OperatingSystemName, WorkstationAndServerOfEveryVersion) {
  const TNameRow rows[] = {
      {3, 51, "Windows NT 3", "Windows NT 3"},     {1, 0, "Windows NT 3", "Windows NT 3"},
      {4, 0, "Windows NT 4", "Windows NT 4"},      {4, 90, "Windows NT 4", "Windows NT 4"},
      {5, 0, "Windows 2000", "Windows 2000"},      {5, 1, "Windows XP", "Windows XP"},
      {5, 2, "Windows XP", "Windows 2003"},        {5, 7, "Windows XP", "Windows 2003"},
      {6, 0, "Windows Vista", "Windows 2008"},     {6, 1, "Windows 7", "Windows 2008 R2"},
      {6, 2, "Windows 8", "Windows 2012"},         {6, 3, "Windows 8.1", "Windows 2012 R2"},
      {6, 4, "Windows NT New", "Windows NT New"},  {10, 0, "Windows 10", "Windows 2016"},
      {10, 1, "Windows 10", "Windows 2016"},       {7, 0, "Windows NT New", "Windows NT New"},
      {11, 0, "Windows NT New", "Windows NT New"},
  };
  for (const TNameRow& row : rows) {
    SCOPED_TRACE(std::to_string(row.Major) + "." + std::to_string(row.Minor));
    EXPECT_EQ(OperatingSystemName(Version(row.Major, row.Minor, true)), row.Workstation);
    EXPECT_EQ(OperatingSystemName(Version(row.Major, row.Minor, false)), row.Server);
  }
}

TEST(OperatingSystemName, EditionMarksFollowInTheirOrder) {
  TOsVersion version = Version(5, 1, true);
  version.R2 = true;
  version.TabletPc = true;
  version.Starter = true;
  version.MediaCenter = true;
  version.NativeX64 = true;
  version.ServicePack = "Service Pack 3";
  EXPECT_EQ(OperatingSystemName(version),
            "Windows XP R2 Tablet PC Starter Media Center x64 Service Pack 3");
}

TEST(OperatingSystemName, MediaCenterOnlyBeforeVista) {
  TOsVersion vista = Version(6, 0, true);
  vista.MediaCenter = true;
  EXPECT_EQ(OperatingSystemName(vista), "Windows Vista");
  TOsVersion xp = Version(5, 1, true);
  xp.MediaCenter = true;
  EXPECT_EQ(OperatingSystemName(xp), "Windows XP Media Center");
}

TEST(OperatingSystemName, ServerR2AndServicePack) {
  TOsVersion version = Version(5, 2, false);
  version.R2 = true;
  version.NativeX64 = true;
  version.ServicePack = "Service Pack 2";
  EXPECT_EQ(OperatingSystemName(version), "Windows 2003 R2 x64 Service Pack 2");
}

TEST(OperatingSystemText, NameAndBuildFromAVersionRecord) {
  Platform::TOperatingSystem system;
  system.Version = Version(6, 1, true);
  system.Version->Build = 7601;
  system.Version->ServicePack = "Service Pack 1";
  EXPECT_EQ(OperatingSystemText(system), "Windows 7 Service Pack 1 build 7601");
}

TEST(OperatingSystemText, SystemsWithoutARecordDescribeThemselves) {
  Platform::TOperatingSystem system;
  system.Description = "Debian GNU/Linux 12 (bookworm) build 6.1.0-18-amd64";
  EXPECT_EQ(OperatingSystemText(system), system.Description);
}

TEST(OperatingSystemText, ThisMachineHasADescription) {
  EXPECT_NE(OperatingSystemText().find(" build "), std::string::npos) << OperatingSystemText();
}

}  // namespace
