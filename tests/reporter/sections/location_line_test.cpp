#include "reporter/report/sections/location_line.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "platform/process.h"
#include "reporter/report/sections/disassembly.h"
#include "reporter/report/sections/section_format.h"
#include "reporter/report/tracer/module_table.h"

namespace LocationProbe {

// A function of this program that its symbol data knows. Unsigned: the sanitizers' overflow
// check would give it a frame whose set-up opens on another line than its first instruction.
[[gnu::noinline]] unsigned Target(unsigned value) {
  return value * 3 + 1;
}

}  // namespace LocationProbe

namespace Reporter::Report {
namespace {

Tracer::Address TargetAddress() {
  return reinterpret_cast<std::uintptr_t>(&LocationProbe::Target);
}

std::string ProgramFileName() {
  return Tracer::FileNameOf(Platform::ExecutablePath());
}

TEST(LocationLine, UnresolvableAddressShowsQuestionMarks) {
  EXPECT_EQ(LocationLine(0x10, {}), HexAddress(0x10) + " +0 ???");
  EXPECT_EQ(LocationLine(0x10, {false, true}), HexAddress(0x10) + " ???");
}

TEST(LocationLine, FunctionOfThisProgramIsNamed) {
  const Tracer::Address address = TargetAddress() + 1;
  const std::string line = LocationLine(address, {});
  const std::regex form("^" + HexAddress(address) + " \\+1 " +
                        std::regex_replace(ProgramFileName(), std::regex("[.]"), "[.]") +
                        " LocationProbe [0-9]+ \\+0 Target$");
  EXPECT_TRUE(std::regex_match(line, form)) << line;

  const std::string bare = LocationLine(address, {false, false});
  EXPECT_EQ(bare.find('+'), std::string::npos) << bare;
  EXPECT_NE(bare.find(" Target"), std::string::npos) << bare;
}

// A failed trace names its stage and where it failed; the failing thread's also tells where
// the exception itself happened, since its stack lines are gone.
TEST(LocationLine, FailedTraceTellsTheStageAndBothLocations) {
  Tracer::TTraceResult result;
  result.FailedStage = "InDeepChecks";
  result.FailureAddress = TargetAddress() + 1;
  const std::string failure = LocationLine(result.FailureAddress, {});
  const std::string exception = LocationLine(TargetAddress() + 2, {});
  EXPECT_EQ(FailedTraceText(result, true, TargetAddress() + 2, {}),
            ">> internal error in InDeepChecks:\r\n" + failure +
                "\r\n>> original exception location: \r\n" + exception);
  EXPECT_EQ(FailedTraceText(result, false, 0, {}),
            ">> internal error in InDeepChecks:\r\n" + failure);
  result.FailureAddress = 0;
  EXPECT_EQ(FailedTraceText(result, false, 0, {}), ">> internal error in InDeepChecks");
}

TEST(LocationLine, FormatsAResolvedLocation) {
  Tracer::TFinalOutput location;
  location.ModuleName = "Update.exe";
  location.UnitName = "Update.Work";
  location.Line = 214;
  location.PublicName = "RunUpdate";
  location.PublicAddr = 0x49c6ec;
  location.PublicLine = 202;
  EXPECT_EQ(FormatLocationLine(0x49c6f9, location, {}),
            HexAddress(0x49c6f9) + " +d Update.exe Update.Work 214 +12 RunUpdate");
  // No line known: none shown, and the relative line reads "+0".
  location.Line = 0;
  EXPECT_EQ(FormatLocationLine(0x49c6f9, location, {}),
            HexAddress(0x49c6f9) + " +d Update.exe Update.Work +0 RunUpdate");
}

TEST(DisassemblyText, MarksTheAddressAndIsEmptyWhenNothingIsThere) {
  const Tracer::Address address = TargetAddress();
  const std::string text = DisassemblyText(address, 10);
  EXPECT_NE(text.find(HexAddress(address) + " > "), std::string::npos) << text;
  EXPECT_EQ(DisassemblyText(0x10, 10), "");
}

}  // namespace
}  // namespace Reporter::Report
