#include "reporter/report/system_lists/module_list.h"

#include <gtest/gtest.h>

namespace {

using Platform::TModuleRecord;
using Reporter::Report::FormatModuleList;

TEST(ModuleList, LinesAreSortedByBaseWithNameAndVersionColumnsOneWiderThanTheLongest) {
  const std::vector<TModuleRecord> modules = {
      {0x7c800000, "kernel32.dll", "C:\\WINDOWS\\system32", "5.1.2600.5781"},
      {0x00400000, "Update.exe", "C:\\Program Files\\App", "1.0.0.0"},
  };
  EXPECT_EQ(FormatModuleList(modules),
            "00400000 Update.exe   1.0.0.0       C:\\Program Files\\App\r\n"
            "7c800000 kernel32.dll 5.1.2600.5781 C:\\WINDOWS\\system32");
}

TEST(ModuleList, ModuleWithoutVersionKeepsTheVersionColumnOfSpaces) {
  const std::vector<TModuleRecord> modules = {
      {0x10000000, "plain.dll", "C:\\a", ""},
      {0x20000000, "v.dll", "C:\\b", "2.0"},
  };
  EXPECT_EQ(FormatModuleList(modules),
            "10000000 plain.dll     C:\\a\r\n"
            "20000000 v.dll     2.0 C:\\b");
}

TEST(ModuleList, NoModuleHasAVersionStillLeavesOneSpaceBeforeTheDirectory) {
  EXPECT_EQ(FormatModuleList({{0x1000, "a.so", "/lib", ""}}), "00001000 a.so  /lib");
}

TEST(ModuleList, WideAddressesShareTheWidthOfTheLargest) {
  const std::vector<TModuleRecord> modules = {
      {0x140000000, "app.exe", "C:", ""},
      {0x7ff812340000, "ntdll.dll", "C:", ""},
  };
  EXPECT_EQ(FormatModuleList(modules),
            "000140000000 app.exe    C:\r\n"
            "7ff812340000 ntdll.dll  C:");
}

TEST(ModuleList, WidthsCountCharactersNotBytes) {
  const std::vector<TModuleRecord> modules = {
      {0x1000, "\xC3\x84nderung.dll", "d", ""},  // "Ä" is two bytes, one character
      {0x2000, "abcdefghijkl", "d", ""},
  };
  EXPECT_EQ(FormatModuleList(modules),
            "00001000 \xC3\x84nderung.dll  d\r\n"
            "00002000 abcdefghijkl  d");
}

TEST(ModuleList, EmptyListIsEmptyText) {
  EXPECT_EQ(FormatModuleList({}), "");
}

}  // namespace
