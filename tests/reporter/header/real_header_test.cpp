// The header of the machine the tests run on (natively, under an emulator or under Wine):
// only what holds everywhere is checked, not the values.

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "platform/process.h"
#include "platform/system_lists.h"
#include "reporter/header/field_lookup.h"
#include "reporter/report/header/header_fields.h"
#include "reporter/report/header/header_texts.h"
#include "reporter/settings/placeholders.h"
#include "rtl/parameters.h"
#include "rtl/text.h"

namespace {

using namespace Reporter::Report;

using HeaderTest::ValueOf;

THeaderLine LineNamed(const std::string& name) {
  for (THeaderLine& line : StandardHeaderLines()) {
    if (line.Name == name) return line;
  }
  ADD_FAILURE() << "no line " << name;
  return {};
}

THeader RealHeader() {
  THeaderInput input;
  input.Time = Reporter::Settings::LocalTimeNow();
  input.ExceptionNumber = 3;
  input.ExceptClass = "EUpdateWork";
  input.ExceptMessage = "Die Datei kann nicht erstellt werden.";
  return BuildHeaderFields(input);
}

TEST(RealHeader, EveryAlwaysPresentKeyInOrder) {
  const THeader header = RealHeader();
  const std::vector<std::string> always = {
      "date/time",       "computer name",    "user name",       "operating system",
      "system language", "program up time",  "process id",      "allocated memory",
      "executable",      "exec. date/time",  "compiled with",   "Exvora version",
      "callstack crc",   "exception number", "exception class", "exception message"};
  std::size_t next = 0;
  for (const auto& [key, value] : header.Fields) {
    EXPECT_FALSE(value.empty()) << key;
    EXPECT_EQ(value, RTL::Text::Trim(value)) << key;
    if (next < always.size() && key == always[next]) ++next;
  }
  EXPECT_EQ(next, always.size()) << "missing or out of order: "
                                 << always[std::min(next, always.size() - 1)];
}

TEST(RealHeader, ValuesHaveTheirFormats) {
  const THeader header = RealHeader();
  const std::pair<const char*, const char*> formats[] = {
      {"date/time", R"(\d{4}-\d\d-\d\d, \d\d:\d\d:\d\d, \d{1,3}ms)"},
      {"exec. date/time", R"(\d{4}-\d\d-\d\d \d\d:\d\d)"},
      {"process id", R"(\$[0-9a-f]+)"},
      {"allocated memory", R"(\d+([,.]\d\d [KMG]B| Bytes))"},
      {"largest free block", R"(\d+([,.]\d\d [KMG]B| Bytes))"},
      {"physical memory", R"(\d+/\d+ MB \(free/total\))"},
      {"free disk space", R"(\(.+\) \d+([,.]\d\d [KMG]B| Bytes)( \(.+\) .+)?)"},
      {"processor", R"(\S.*)"},
      {"processors", R"(([2-9]|1[0-6])x \S.*)"},
      {"program up time", R"(\d+ milliseconds|\d+ \w+( \d+ \w+)?)"},
      {"user name", R"(\S+( <admin>|  <admin>)?)"},
      {"callstack crc", "will be calculated soon"},
      {"exception number", "3"},
      {"Exvora version", R"(5\.0\.0)"},
  };
  for (const auto& [key, pattern] : formats) {
    if (const std::string* value = ValueOf(header, key)) {
      EXPECT_TRUE(std::regex_match(*value, std::regex(pattern))) << key << ": " << *value;
    }
  }
  EXPECT_TRUE(ValueOf(header, "processor") != nullptr || ValueOf(header, "processors") != nullptr);
}

TEST(RealHeader, NamesThisProcessAndProgramWithoutDatabaseEngineNorSeparateModule) {
  const THeader header = RealHeader();
  ASSERT_NE(ValueOf(header, "process id"), nullptr);
  EXPECT_EQ(*ValueOf(header, "process id"), ProcessIdText(Platform::CurrentProcessId()));
  ASSERT_NE(ValueOf(header, "executable"), nullptr);
  EXPECT_EQ(*ValueOf(header, "executable"), FileNameOfPath(Platform::ExecutablePath()));
  EXPECT_EQ(ValueOf(header, "bde version"), nullptr);
  EXPECT_EQ(ValueOf(header, "current module"), nullptr);
}

TEST(RealHeader, CommandLineOnlyWithParameters) {
  const THeader header = RealHeader();
  const std::string raw = Platform::RawCommandLine();
  if (RTL::Parameters::Split(raw).size() > 1) {
    ASSERT_NE(ValueOf(header, "command line"), nullptr);
    EXPECT_EQ(*ValueOf(header, "command line"), RTL::Text::Trim(raw));
  } else {
    EXPECT_EQ(ValueOf(header, "command line"), nullptr);
  }
}

TEST(NoteReporterStart, ProgramUpTimeCountsFromIt) {
  NoteReporterStart();
  const THeader header = BuildHeaderFields({}, {LineNamed("program up time")});
  ASSERT_EQ(header.Fields.size(), 1u);
  EXPECT_EQ(header.Fields[0].first, "program up time");
  EXPECT_TRUE(std::regex_match(header.Fields[0].second, std::regex(R"(\d+ milliseconds)")))
      << header.Fields[0].second;
}

TEST(NoteReporterStart, GivesTheSettingsTheHeadersOperatingSystem) {
  NoteReporterStart();
  const THeader header = BuildHeaderFields({}, {LineNamed("operating system")});
  ASSERT_EQ(header.Fields.size(), 1u);
  EXPECT_EQ(header.Fields[0].first, "operating system");
  EXPECT_EQ(Reporter::Settings::OsDescription(), header.Fields[0].second);
}

}  // namespace
