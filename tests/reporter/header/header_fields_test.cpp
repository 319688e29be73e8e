// The header's line rules: order, guards, empty values and the insertion index, on steps with
// made-up values.

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "reporter/header/field_lookup.h"
#include "reporter/report/header/header_fields.h"

namespace {

using namespace Reporter::Report;

std::vector<std::string> Keys(const THeader& header) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : header.Fields) keys.push_back(key);
  return keys;
}

int IndexOf(const THeader& header, const std::string& key) {
  const auto found = std::find_if(header.Fields.begin(), header.Fields.end(),
                                  [&](const auto& field) { return field.first == key; });
  return found == header.Fields.end() ? -1 : static_cast<int>(found - header.Fields.begin());
}

using HeaderTest::ValueOf;

// A step that always gives these fields.
THeaderLine Giving(std::string name, TFieldPairs fields) {
  return {std::move(name), [fields](const THeaderInput&) { return fields; }};
}

// The standard steps with fixed values, so that only the step under test varies.
std::vector<THeaderLine> FixedLines(const std::string& remoteClient) {
  std::vector<THeaderLine> lines = StandardHeaderLines();
  for (THeaderLine& line : lines) {
    if (line.Name == "plugins" || line.Name.rfind("exception ", 0) == 0 ||
        line.Name == "callstack crc") {
      continue;
    }
    const std::string value = line.Name == "wts client name" ? remoteClient : "value";
    line.Produce = [key = line.Name, value](const THeaderInput&) -> TFieldPairs {
      return {{key, value}};
    };
  }
  return lines;
}

// Only the named standard steps.
std::vector<THeaderLine> StandardLinesNamed(std::initializer_list<std::string> names) {
  std::vector<THeaderLine> lines;
  for (THeaderLine& line : StandardHeaderLines()) {
    if (std::find(names.begin(), names.end(), line.Name) != names.end()) lines.push_back(line);
  }
  return lines;
}

THeaderInput ExceptionInput(std::string exceptClass, std::string message) {
  THeaderInput input;
  input.ExceptionNumber = 1;
  input.ExceptClass = std::move(exceptClass);
  input.ExceptMessage = std::move(message);
  return input;
}

TEST(HeaderInsertIndex, OutsideARemoteSessionLaterFieldsGoBeforeTheCallstackCrc) {
  const THeader header =
      BuildHeaderFields(ExceptionInput("EUpdateWork", "Failed."), FixedLines(""));
  EXPECT_EQ(IndexOf(header, "wts client name"), -1);
  ASSERT_GE(IndexOf(header, "callstack crc"), 1);
  EXPECT_EQ(header.InsertIndex, IndexOf(header, "callstack crc"));
}

TEST(HeaderInsertIndex, InARemoteSessionTheIndexStaysOneLower) {
  const THeader header =
      BuildHeaderFields(ExceptionInput("EUpdateWork", "Failed."), FixedLines("CLIENT-PC"));
  EXPECT_EQ(IndexOf(header, "wts client name"), 2);
  EXPECT_EQ(header.InsertIndex, IndexOf(header, "callstack crc") - 1);
}

TEST(HeaderInsertIndex, CountsEmptyValuesButNotLinesThatDoNotApply) {
  std::vector<THeaderLine> lines = {
      Giving("a", {{"a", "1"}}),
      Giving("empty", {{"empty", " \r\n"}}),
      Giving("absent", {}),
      {"fails", [](const THeaderInput&) -> TFieldPairs { throw std::runtime_error("x"); }},
      Giving("b", {{"b", "2"}}),
      Giving("callstack crc", {{"callstack crc", "c"}}),
  };
  const THeader header = BuildHeaderFields({}, lines);
  EXPECT_EQ(Keys(header), (std::vector<std::string>{"a", "b", "callstack crc"}));
  EXPECT_EQ(header.InsertIndex, 2);
}

TEST(HeaderInsertIndex, WithoutACallstackCrcFieldsAreAppended) {
  EXPECT_EQ(BuildHeaderFields({}, {Giving("a", {{"a", "1"}, {"b", "2"}})}).InsertIndex, 2);
}

TEST(HeaderFields, AFailingValueLeavesOnlyItsLineOut) {
  std::vector<THeaderLine> lines = FixedLines("");
  const auto failing = std::find_if(lines.begin(), lines.end(), [](const THeaderLine& line) {
    return line.Name == "system language";
  });
  ASSERT_NE(failing, lines.end());
  failing->Produce = [](const THeaderInput&) -> TFieldPairs { throw std::bad_alloc(); };
  const THeader intact = BuildHeaderFields(ExceptionInput("E", "M."), FixedLines(""));
  const THeader header = BuildHeaderFields(ExceptionInput("E", "M."), lines);
  std::vector<std::string> expected = Keys(intact);
  expected.erase(std::find(expected.begin(), expected.end(), "system language"));
  EXPECT_EQ(Keys(header), expected);
}

TEST(HeaderFields, ValuesAreStoredTrimmed) {
  EXPECT_EQ(BuildHeaderFields({}, {Giving("a", {{"a", "\t value \r\n"}})}).Fields,
            (TFieldPairs{{"a", "value"}}));
}

TEST(HeaderFields, StandardLinesComeInTheReportsOrder) {
  THeaderInput input = ExceptionInput("EUpdateWork", "Failed.");
  input.PluginFields = {{"my plugin", "its text"}};
  const std::vector<std::string> expected = {
      "date/time",        "computer name",    "wts client name",  "user name",
      "registered owner", "operating system", "system language",  "system up time",
      "program up time",  "processor",        "physical memory",  "free disk space",
      "display mode",     "process id",       "allocated memory", "largest free block",
      "command line",     "executable",       "exec. date/time",  "version",
      "bde version",      "compiled with",    "Exvora version",   "my plugin",
      "callstack crc",    "exception number", "exception class",  "exception message"};
  std::vector<THeaderLine> lines = FixedLines("CLIENT-PC");
  // The plugin step hands on the plugins' own keys.
  EXPECT_EQ(Keys(BuildHeaderFields(input, lines)), expected);
}

TEST(HeaderExceptionLines, MessageEqualToTheClassHasNoLine) {
  const THeader header = BuildHeaderFields(
      ExceptionInput("EAbort", "EAbort"),
      StandardLinesNamed({"exception number", "exception class", "exception message"}));
  EXPECT_EQ(header.Fields, (TFieldPairs{{"exception number", "1"}, {"exception class", "EAbort"}}));
}

TEST(HeaderExceptionLines, MessageLineBreaksBecomeSpaces) {
  const THeader header = BuildHeaderFields(ExceptionInput("EUpdateWork", "First\r\nsecond  line."),
                                           StandardLinesNamed({"exception message"}));
  EXPECT_EQ(header.Fields, (TFieldPairs{{"exception message", "First second line."}}));
}

TEST(HeaderExceptionLines, FreezeShowsItsMessageButNoClass) {
  THeaderInput input = ExceptionInput("EFrozen", "EFrozen");
  input.Frozen = true;
  input.FrozenMessage = "The application seems to be frozen.";
  const THeader header =
      BuildHeaderFields(input, StandardLinesNamed({"exception class", "exception message"}));
  EXPECT_EQ(header.Fields,
            (TFieldPairs{{"exception message", "The application seems to be frozen."}}));
}

TEST(HeaderExceptionLines, NumberAndCrcPlaceholder) {
  THeaderInput input = ExceptionInput("E", "M.");
  input.ExceptionNumber = 12345678901234ull;
  const THeader header =
      BuildHeaderFields(input, StandardLinesNamed({"callstack crc", "exception number"}));
  EXPECT_EQ(header.Fields, (TFieldPairs{{"callstack crc", "will be calculated soon"},
                                        {"exception number", "12345678901234"}}));
  EXPECT_EQ(header.InsertIndex, 0);
}

TEST(HeaderProgramLines, VersionTextWinsOverTheFileVersion) {
  THeaderInput input;
  input.VersionText = "7.1 beta";
  const THeader header = BuildHeaderFields(input, StandardLinesNamed({"version", "date/time"}));
  ASSERT_NE(ValueOf(header, "version"), nullptr);
  EXPECT_EQ(*ValueOf(header, "version"), "7.1 beta");
}

TEST(HeaderProgramLines, DateTimeIsTheExceptionsTime) {
  THeaderInput input;
  input.Time = {2021, 3, 5, 14, 3, 7, 45};
  const THeader header = BuildHeaderFields(input, StandardLinesNamed({"date/time"}));
  EXPECT_EQ(header.Fields, (TFieldPairs{{"date/time", "2021-03-05, 14:03:07, 45ms"}}));
}

}  // namespace
