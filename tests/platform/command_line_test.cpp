#include "platform/command_line.h"

#include <gtest/gtest.h>

#include "rtl/parameters.h"

namespace {

using Platform::CommandLine::Join;
using Platform::CommandLine::ProgramCandidates;

TEST(CommandLineJoin, QuotesArgumentsWithBlanksUnlessTheyHoldAQuote) {
  EXPECT_EQ(Join({"Update", "/s:/tmp/new", "/d:/opt/quill", "l:/", "\"/opt/My App/quill\"", "--x"}),
            "Update /s:/tmp/new /d:/opt/quill l:/ \"/opt/My App/quill\" --x");
  EXPECT_EQ(Join({"Update", "/opt/My App/quill", "--x"}), "Update \"/opt/My App/quill\" --x");
  EXPECT_EQ(Join({"say \"hi\" now"}), "say \"hi\" now");
}

TEST(CommandLineJoin, ControlCharactersCountAsBlanks) {
  EXPECT_EQ(Join({"a\tb", "c\nd", "\x01"}), "\"a\tb\" \"c\nd\" \"\x01\"");
}

TEST(CommandLineJoin, SplittingGivesBackTheArguments) {
  const std::vector<std::string> arguments = {"/opt/quill/Update", "/s:C:\\Neue Version", "l:/",
                                              "Grüße an alle", "--x"};
  std::vector<std::string> splitAgain;
  for (const auto& parameter : RTL::Parameters::Split(Join(arguments))) {
    splitAgain.push_back(parameter.text);
  }
  EXPECT_EQ(splitAgain, arguments);
}

TEST(ProgramCandidates, UnquotedPathIsTriedAtEachSpaceShortestFirst) {
  const auto candidates = ProgramCandidates("  /opt/My App/quill  -x \"a b\" c");
  ASSERT_EQ(candidates.size(), 3u);
  EXPECT_EQ(candidates[0].program, "/opt/My");
  EXPECT_EQ(candidates[0].arguments, (std::vector<std::string>{"App/quill", "-x", "a b", "c"}));
  EXPECT_EQ(candidates[1].program, "/opt/My App/quill");
  EXPECT_EQ(candidates[1].arguments, (std::vector<std::string>{"-x", "a b", "c"}));
  // The raw text in between stays as written; a quoted parameter ends the readings.
  EXPECT_EQ(candidates[2].program, "/opt/My App/quill  -x");
  EXPECT_EQ(candidates[2].arguments, (std::vector<std::string>{"a b", "c"}));
}

TEST(ProgramCandidates, QuotedProgramHasOneReading) {
  const auto candidates = ProgramCandidates("\"/opt/My App/quill\" -x y");
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(candidates[0].program, "/opt/My App/quill");
  EXPECT_EQ(candidates[0].arguments, (std::vector<std::string>{"-x", "y"}));
}

TEST(ProgramCandidates, BlankLineNamesNoProgram) {
  EXPECT_TRUE(ProgramCandidates("").empty());
  EXPECT_TRUE(ProgramCandidates(" \t ").empty());
  EXPECT_TRUE(ProgramCandidates(std::string_view("\0prog", 5)).empty());
}

}  // namespace
