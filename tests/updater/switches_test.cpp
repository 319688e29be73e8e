#include "updater/switches.h"

#include <gtest/gtest.h>

#include "updater/job_fixture.h"
#include "updater/work.h"

namespace {

using UpdateTests::ScopedCommandLine;
using namespace Update::Switches;

TEST(Switches, ValueSwitchesTakeDashOrSlashInEitherCase) {
  ScopedCommandLine line(R"(C:\Update.exe -D:C:\App /s:C:\New /P:C:\App\Quill.exe -i:C:\q.ini)");
  EXPECT_EQ(GetDestDir(), R"(C:\App)");
  EXPECT_EQ(GetSourceDir(), R"(C:\New)");
  EXPECT_EQ(GetCallerExe(), R"(C:\App\Quill.exe)");
  EXPECT_EQ(GetIniFile(), R"(C:\q.ini)");
}

TEST(Switches, QuotedValueKeepsItsSpace) {
  ScopedCommandLine line(R"(Update.exe /d:"C:\Program Files\App" /s:C:\New)");
  EXPECT_EQ(GetDestDir(), R"(C:\Program Files\App)");
  EXPECT_EQ(GetSourceDir(), R"(C:\New)");
}

TEST(Switches, ValueSwitchEdgeCases) {
  const struct {
    const char* line;
    const char* destination;
    const char* why;
  } cases[] = {
      {R"(Update.exe /d::C:\App)", R"(C:\App)", "one colon after the switch is dropped"},
      {"Update.exe /d: /s:x", "", "an empty value does not take the next switch"},
      {R"(Update.exe d:C:\App)", "", "without a dash or slash it is no switch"},
      {R"(/d:C:\Own\Path.exe /d /dx:y)", "", "parameter 0 is the program, never a switch"},
      {"Update.exe /d:\" C:\\App \"", " C:\\App ", "values are not trimmed"},
  };
  for (const auto& c : cases) {
    ScopedCommandLine line(c.line);
    EXPECT_EQ(GetDestDir(), c.destination) << c.why;
  }
  ScopedCommandLine line("Update.exe /d: /s:first /s:second");
  EXPECT_EQ(GetSourceDir(), "first");
}

TEST(Switches, SplittingSkipsLoneDoubleQuotesAndKeepsUnclosedRuns) {
  ScopedCommandLine line("Update.exe \"\" /s:a \"/d:C:\\My App /p:x");
  EXPECT_EQ(GetSourceDir(), "a");
  EXPECT_EQ(GetDestDir(), "C:\\My App /p:x") << "an unclosed quote takes the rest";
  EXPECT_EQ(GetCallerExe(), "");
}

TEST(Switches, AbsentSwitchesGiveEmptyTexts) {
  ScopedCommandLine line("Update.exe");
  EXPECT_EQ(GetSourceDir(), "");
  EXPECT_EQ(GetIniFile(), "");
  ParseWindowSwitches();
  EXPECT_EQ(GetCallerClass(), "");
  EXPECT_EQ(GetCallerCaption(), "");
  EXPECT_EQ(Update::Work::GetRestartCommand(), "");
}

TEST(Switches, WindowClassFoundInAnyParameterContainingIt) {
  for (const char* parameter :
       {"c:/TMainForm", "/c:/TMainForm", "x-c:/TMainForm", "C:/TMainForm"}) {
    ScopedCommandLine line(std::string("Update.exe ") + parameter + " \"w:/Quill  \" ");
    ParseWindowSwitches();
    EXPECT_EQ(GetCallerClass(), "TMainForm") << parameter;
    EXPECT_EQ(GetCallerCaption(), "Quill");
  }
}

TEST(Switches, LastWindowSwitchWinsAndBothInOneCountsAsClass) {
  ScopedCommandLine line("Update.exe w:/First w:/Second c:/A c:/B_w:/x");
  ParseWindowSwitches();
  EXPECT_EQ(GetCallerCaption(), "Second");
  EXPECT_EQ(GetCallerClass(), "B_w:/x");
}

TEST(Switches, PathWithDriveAndForwardSlashesAlsoCountsAsWindowClass) {
  ScopedCommandLine line("Update.exe /p:C:/Apps/Quill.exe");
  ParseWindowSwitches();
  EXPECT_EQ(GetCallerClass(), "Apps/Quill.exe");
  EXPECT_EQ(GetCallerExe(), "C:/Apps/Quill.exe");
}

TEST(Switches, ExtractSwitchValueTrimsAndIgnoresAsciiCase) {
  std::string value = "stale";
  EXPECT_FALSE(Update::Switches::ExtractSwitchValue("/d:C:\\App", "c:/", value));
  EXPECT_EQ(value, "");
  EXPECT_TRUE(Update::Switches::ExtractSwitchValue("xW:/ Caption\t", "w:/", value));
  EXPECT_EQ(value, "Caption");
}

TEST(RestartCommand, TailAfterFirstTailSwitchKeepsQuotes) {
  ScopedCommandLine line(
      R"(Update.exe /s:C:\New /d:C:\App l:/ "C:\Program Files\App\Quill.exe" /x  )");
  EXPECT_EQ(Update::Work::GetRestartCommand(), R"("C:\Program Files\App\Quill.exe" /x)");
}

TEST(RestartCommand, FirstTailSwitchCountsWherever) {
  {
    ScopedCommandLine line(R"(L:/Tools/Update.exe /s:x l:/ real)");
    EXPECT_EQ(Update::Work::GetRestartCommand(), "Tools/Update.exe /s:x l:/ real");
  }
  {
    ScopedCommandLine line("Update.exe /s:x");
    EXPECT_EQ(Update::Work::GetRestartCommand(), "");
  }
}

TEST(RestartCommand, SwitchesInTheTailLoseValuesAndWinWindows) {
  ScopedCommandLine line("Update.exe /s:mine c:/Mine l:/ caller.exe /s:theirs c:/Theirs");
  ParseWindowSwitches();
  EXPECT_EQ(GetSourceDir(), "mine");
  EXPECT_EQ(GetCallerClass(), "Theirs");
}

}  // namespace
