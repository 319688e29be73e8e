#include "reporter/settings/placeholders.h"

#include <gtest/gtest.h>

#include "platform/known_folders.h"
#include "platform/process.h"
#include "reporter/settings/reporter_settings.h"
#include "reporter/settings/settings_folders.h"

namespace {

using namespace Reporter::Settings;

// Every value its own, in the order of the fields.
TPlaceholderValues Sample() {
  return {"Update.exe",  "Plugin.dll",  "1.2.3.4", "5.6",
          "EUpdateWork", "Lock failed", "REPORT",  {2024, 3, 7, 9, 5, 3, 42},
          "PC1",         "Windows 10",  "details", "D",
          "U",           "C",           "L"};
}

TEST(ExpandPlaceholders, ReplacesEveryPlaceholderIgnoringCase) {
  EXPECT_EQ(ExpandPlaceholders("%appname%|%MODNAME%|%AppVersion%|%modversion%|%exceptclass%|"
                               "%exceptMsg%|%bugreport%|%lf%|%computername%|%OS%|"
                               "%errorDetails%|%desktop%|%userappdata%|%commonappdata%|"
                               "%localappdata%",
                               Sample()),
            "Update.exe|Plugin.dll|1.2.3.4|5.6|EUpdateWork|Lock failed|REPORT|\r\n|PC1|"
            "Windows 10|details|D|U|C|L");
  EXPECT_EQ(ExpandPlaceholders("%appname% and %APPNAME%", Sample()), "Update.exe and Update.exe");
  EXPECT_EQ(ExpandPlaceholders("no placeholder, 100% sure %", Sample()),
            "no placeholder, 100% sure %");
}

TEST(ExpandPlaceholders, DateAndTimeHaveFixedWidthsButMillisecondsAsTheyAre) {
  EXPECT_EQ(ExpandPlaceholders("%date%", Sample()), "2024-03-07");
  EXPECT_EQ(ExpandPlaceholders("%time%", Sample()), "09:05:03, 42ms");
  EXPECT_EQ(ExpandPlaceholders("%DateTime%", Sample()), "2024-03-07, 09:05:03, 42ms");
  TLocalTime midnight{2000, 1, 1, 0, 0, 0, 0};
  EXPECT_EQ(FormatPlaceholderTime(midnight), "00:00:00, 0ms");
}

TEST(ExpandPlaceholders, InsertedTextIsExpandedOnlyByLaterSteps) {
  TPlaceholderValues values = Sample();
  values.exceptMsg = "%appname% broke%LF%at %date%";
  EXPECT_EQ(ExpandPlaceholders("%exceptMsg%", values), "%appname% broke\r\nat 2024-03-07");
  // A value that holds its own placeholder is inserted once, not again and again.
  values.appName = "%appname%";
  EXPECT_EQ(ExpandPlaceholders("%appname%%appname%", values), "%appname%%appname%");
}

TEST(ExpandPlaceholders, MissingExceptionMessageReadsUnknown) {
  TPlaceholderValues values = Sample();
  values.exceptMsg.clear();
  EXPECT_EQ(ExpandPlaceholders("[%exceptMsg%]", values), "[Unknown]");
}

TEST(ExpandPlaceholders, ForAModuleUsesTheRealExecutableAndFolders) {
  const std::string path = Platform::ExecutablePath();
  const std::string name = path.substr(path.find_last_of("\\/") + 1);
  EXPECT_EQ(ExpandPlaceholders("%appname%/%modname%", Platform::MainModule(), "E", "", "", ""),
            name + "/" + name);
  const std::string desktop =
      ExpandPlaceholders("%desktop%", Platform::MainModule(), "", "", "", "");
  EXPECT_FALSE(desktop.empty());
  EXPECT_NE(desktop.back(), '/');
  EXPECT_NE(desktop.back(), '\\');
  EXPECT_EQ(ExpandPlaceholders("%appversion%", Platform::MainModule(), "", "", "", "").empty(),
            false);
}

TEST(VersionText, PrefersTheVersionVariableAndFallsBackToQuestionMark) {
  EXPECT_EQ(VersionText(std::string("7.0 beta"), Platform::MainModule()), "7.0 beta");
  EXPECT_EQ(VersionText(std::nullopt, 0x5E7B0000), "?");
}

}  // namespace
