#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "reporter/delivery/fake_tracker.h"
#include "reporter/interception/matrix_run.h"
#include "support/build_setup.h"
#include "support/minidump_reading.h"

namespace {

using CrashMatrixTesting::TMatrixRun;
using Reporter::Delivery::Testing::TFakeTracker;
using ReportReading::Field;
using ReportReading::Lines;

// A row that ends the program with a report: its own line, the failure line, an empty line
// and the report, the same report saved beside the program, exit code 1. The report.
Lines ExpectReportedEnd(const TMatrixRun& run, const std::string& row, const std::string& className,
                        bool withMessage = true, bool saved = true) {
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.printed.before, Lines{"row " + row});
  EXPECT_TRUE(run.printed.found) << ::testing::PrintToString(run.lines);
  EXPECT_TRUE(run.printed.emptyLineAfter);
  EXPECT_EQ(Field(run.printed.report, "exception class"), className);
  EXPECT_EQ(Field(run.printed.report, "exception message").has_value(), withMessage);
  if (saved) {
    EXPECT_EQ(run.SavedReport(), ReportReading::WithoutTrailingEmptyLines(run.printed.report));
  }
  return run.printed.report;
}

// The faulting function is on the main thread's stack in the report.
void ExpectOnMainStack(const Lines& report, const std::string& function) {
  const Lines mainThread = ReportReading::Section(report, "main thread ($");
  EXPECT_TRUE(ReportReading::AnyLineHolds(mainThread, function))
      << ::testing::PrintToString(mainThread);
}

// The rows that end the program with its report: the class the report names and, for a fault
// of the processor, the function that must be on the main thread's stack (none for an abort).
struct TReportedRow {
  const char* row;
  const char* className;
  const char* faultingFunction;
};

void PrintTo(const TReportedRow& row, std::ostream* out) {
  *out << row.row;
}

class ReportedEnd : public testing::TestWithParam<TReportedRow> {};

TEST_P(ReportedEnd, PrintsAndSavesTheReportOfItsClass) {
  const TReportedRow& row = GetParam();
  TMatrixRun run;
  run.Run(row.row);
  const Lines report = ExpectReportedEnd(run, row.row, row.className);
  if (row.faultingFunction != nullptr) ExpectOnMainStack(report, row.faultingFunction);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReportedEnd,
    testing::Values(TReportedRow{"null-read", "EAccessViolation", "NullRead"},
                    TReportedRow{"null-write", "EAccessViolation", "NullWrite"},
                    TReportedRow{"divide-by-zero", "EDivByZero", "DivideByZero"},
                    TReportedRow{"stack-overflow", "EStackOverflow", "Recurse"},
                    TReportedRow{"abort", "ESubstituteException", nullptr}),
    [](const testing::TestParamInfo<TReportedRow>& info) {
      std::string name = info.param.row;
      std::replace(name.begin(), name.end(), '-', '_');
      return name;
    });

// A fault on one of the reporter's own threads is not handed to the handling thread, which may
// be waiting for that very thread: the process ends as it would without the reporter.
TEST(FatalEnds, FaultOnAReporterThreadEndsTheProcessUnreported) {
  TMatrixRun run;
  run.Run("reporter-thread-fault");
  EXPECT_FALSE(run.timedOut);
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.exitCode, 1);
  // Only the row's own line, then whatever the system prints of a crash (Wine its dump).
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines.front(), "row reporter-thread-fault");
  EXPECT_FALSE(run.printed.found) << ::testing::PrintToString(run.lines);
  EXPECT_FALSE(ReportReading::AnyLineHolds(run.lines, "after the join"));
}

TEST(FatalEnds, NonStandardThrowIsReported) {
  TMatrixRun run;
  run.Run("throw-int");
  const std::string className = Field(run.printed.report, "exception class").value_or("");
  EXPECT_FALSE(className.empty());
  ExpectReportedEnd(run, "throw-int", className, /*withMessage=*/false);
}

// The upload rows: the tracker listens on the port this build's programs report to.
TEST(FatalEnds, StandardExceptionIsReportedAndUploaded) {
  std::optional<TFakeTracker> tracker;
  if (UPDATE_TEST_CAN_UPLOAD)
    tracker.emplace(TestSupport::BuildSetupPort("crash_matrix_tracker_port"));
  TMatrixRun run(/*readsDump=*/true);
  run.Run("runtime-error");
  // Whether the sent report is also kept depends on the upload's timing: not checked here.
  const Lines report = ExpectReportedEnd(run, "runtime-error", "runtime_error", true, !tracker);
  EXPECT_EQ(Field(report, "exception message"), "Die Zeile ist gescheitert.");
  EXPECT_EQ(Field(report, "exception number"), "1");
  if (!tracker) GTEST_SKIP() << "the upload half: this build's programs cannot upload";
  const auto requests = tracker->Requests();
  const auto newCase = std::find_if(requests.begin(), requests.end(),
                                    [](const auto& request) { return request.Command() == "new"; });
  ASSERT_NE(newCase, requests.end()) << ::testing::PrintToString(tracker->Commands());
  const auto* attachment = newCase->Part("File1");
  ASSERT_NE(attachment, nullptr) << ::testing::PrintToString(newCase->PartNames());
  EXPECT_EQ(attachment->fileName, "bugreport.txt");
  const Lines sent =
      ReportReading::WithoutTrailingEmptyLines(ReportReading::TextLines(attachment->data));
  EXPECT_EQ(sent, ReportReading::WithoutTrailingEmptyLines(report))
      << ReportReading::FirstDifference(sent, ReportReading::WithoutTrailingEmptyLines(report));
  // The crash dump follows as the case's second file.
  const auto* dumpPart = newCase->Part("File2");
  ASSERT_NE(dumpPart, nullptr) << ::testing::PrintToString(newCase->PartNames());
  EXPECT_EQ(dumpPart->fileName, "bugreport.dmp");
  const TestSupport::TMinidump dump = TestSupport::ReadMinidump(dumpPart->data);
  EXPECT_TRUE(dump.valid);
  ASSERT_TRUE(dump.exceptionThread.has_value());
  EXPECT_NE(std::find(dump.threadIds.begin(), dump.threadIds.end(), *dump.exceptionThread),
            dump.threadIds.end());
}

TEST(SpecialClasses, DBEditErrorShowsTheMessageWithoutAReport) {
  std::optional<TFakeTracker> tracker;
  if (UPDATE_TEST_CAN_UPLOAD)
    tracker.emplace(TestSupport::BuildSetupPort("crash_matrix_tracker_port"));
  TMatrixRun run;
  run.Run("db-edit-error");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.lines, (Lines{"row db-edit-error", ReportReading::kFailureLine, "", ""}));
  EXPECT_FALSE(run.Saved());
  if (tracker) {
    EXPECT_TRUE(tracker->Requests().empty());
  }
}

TEST(SpecialClasses, EAbortOnTheMainThreadEndsSilently) {
  TMatrixRun run;
  run.Run("eabort");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.lines, Lines{"row eabort"});
  EXPECT_FALSE(run.Saved());
}

TEST(SpecialClasses, ThrowingPluginLeavesANoteInTheReport) {
  TMatrixRun run;
  run.Run("broken-plugin");
  const Lines report = ExpectReportedEnd(run, "broken-plugin", "runtime_error");
  EXPECT_TRUE(ReportReading::AnyLineHolds(report, ">> internal error in plugin"));
  EXPECT_FALSE(ReportReading::Section(report, "modules").empty()) << "the other plugins still run";
}

// The reporter ends a failed secondary thread where it stands, and the row joins it.
class SecondaryThreads : public ::testing::Test {
 protected:
  void SetUp() override {
    if (UPDATE_TEST_THREAD_SANITIZED) {
      GTEST_SKIP() << "the thread checker never sees a thread end that is not unwound: the "
                      "row's join would wait forever";
    }
  }
};

TEST_F(SecondaryThreads, ExceptionEndsOnlyItsThread) {
  TMatrixRun run;
  run.Run("thread-exception");
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_TRUE(run.printed.found) << ::testing::PrintToString(run.lines);
  EXPECT_EQ(run.printed.before, Lines{"row thread-exception"});
  EXPECT_EQ(Field(run.printed.report, "exception class"), "runtime_error");
  EXPECT_EQ(Field(run.printed.report, "exception message"), "Erster Nebenthread gescheitert.");
  EXPECT_EQ(run.lines.back(), "after the join");
  EXPECT_TRUE(run.Saved());
}

TEST_F(SecondaryThreads, TwoThreadsFailingAtOnceAreBothReported) {
  if (UPDATE_TEST_QEMU) {
    GTEST_SKIP() << "qemu-i386 shares one descriptor table among threads: after the report's "
                    "signals a thread may run on another thread's thread-local data";
  }
  TMatrixRun run;
  run.Run("two-threads");
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  Lines numbers = ReportReading::AllFields(run.lines, "exception number");
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(numbers, (Lines{"1", "2"}));
  Lines classes = ReportReading::AllFields(run.lines, "exception class");
  std::sort(classes.begin(), classes.end());
  EXPECT_EQ(classes, (Lines{"logic_error", "runtime_error"}));
  EXPECT_EQ(std::count(run.lines.begin(), run.lines.end(), ReportReading::kFailureLine), 2);
  EXPECT_EQ(run.lines.back(), "after the joins");
}

}  // namespace
