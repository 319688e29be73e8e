#include "reporter/report/system_lists/module_list.h"

#include <gtest/gtest.h>

namespace {

using Platform::TModuleRecord;
using Reporter::Report::FormatModuleList;

TEST(ModuleList, SortsByBaseAndPadsEachColumnOneWiderThanItsLongestEntry) {
  const struct {
    const char* behaviour;
    std::vector<TModuleRecord> modules;
    const char* text;
  } cases[] = {
      {"sorted by base, name and version columns one wider than the longest",
       {{0x7c800000, "kernel32.dll", "C:\\WINDOWS\\system32", "5.1.2600.5781"},
        {0x00400000, "Update.exe", "C:\\Program Files\\App", "1.0.0.0"}},
       "00400000 Update.exe   1.0.0.0       C:\\Program Files\\App\r\n"
       "7c800000 kernel32.dll 5.1.2600.5781 C:\\WINDOWS\\system32"},
      {"a module without version keeps the version column of spaces",
       {{0x10000000, "plain.dll", "C:\\a", ""}, {0x20000000, "v.dll", "C:\\b", "2.0"}},
       "10000000 plain.dll     C:\\a\r\n"
       "20000000 v.dll     2.0 C:\\b"},
      {"no version at all still leaves one space before the directory",
       {{0x1000, "a.so", "/lib", ""}},
       "00001000 a.so  /lib"},
      {"wide addresses share the width of the largest",
       {{0x140000000, "app.exe", "C:", ""}, {0x7ff812340000, "ntdll.dll", "C:", ""}},
       "000140000000 app.exe    C:\r\n"
       "7ff812340000 ntdll.dll  C:"},
      {"widths count characters, not bytes",
       {{0x1000, "\xC3\x84nderung.dll", "d", ""}, {0x2000, "abcdefghijkl", "d", ""}},
       "00001000 \xC3\x84nderung.dll  d\r\n"
       "00002000 abcdefghijkl  d"},
      {"an empty list is empty text", {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    EXPECT_EQ(FormatModuleList(c.modules), c.text);
  }
}

}  // namespace
