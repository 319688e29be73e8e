#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <optional>
#include <set>
#include <utility>

#include "e2e/report_layout.h"
#include "e2e/update_fixture.h"
#include "platform/child_process.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "reporter/delivery/fake_tracker.h"
#include "reporter/interception/report_reading.h"
#include "support/build_setup.h"
#include "support/minidump_reading.h"

namespace {

using Reporter::Delivery::Testing::TFakeTracker;
using ReportReading::Lines;
using TestSupport::Quoted;

// The job waits 1000 x 200 ms for a held lock file before it gives up, a hundredth of that in
// the tests' build; an emulator makes it slower.
constexpr std::uint32_t kRunTimeoutMilliseconds = 180000;
// The redirected run starts first and must be done with its upload attempt, against no
// tracker, before the piped run reaches its own; the tracker starts in between. Its start takes
// an emulated machine many seconds, and more while other programs run there, so the head start
// grows with four times what a start took here.
constexpr std::uint32_t kHeadStartMilliseconds = 5000;

std::uint32_t HeadStartMilliseconds() {
  const auto started = std::chrono::steady_clock::now();
  { const TFakeTracker probe(0); }
  const auto trackerStart = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  return kHeadStartMilliseconds + 4 * static_cast<std::uint32_t>(trackerStart.count());
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : Platform::ListDirectory(folder)) names.insert(entry.name);
  return names;
}

// A file in the program's folder.
std::string Beside(const std::string& program, const std::string& name) {
  return program.substr(0, program.find_last_of("/\\") + 1) + name;
}

// A form field's text as UTF-8: fields that the ANSI code page can hold are sent in Latin-1.
std::string TextOf(const Reporter::Delivery::Testing::TRecordedPart& part) {
  if (part.charset != "iso-8859-1") return part.data;
  std::string text;
  for (const unsigned char c : part.data) {
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else {
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return text;
}

class UpdateFailure : public E2E::UpdateWorld {
 protected:
  std::string Switches() const {
    return "/s:" + Quoted(staging) + " /d:" + Quoted(installation) + " /p:" + Quoted(CallerExe()) +
           " c:/TQuillMainForm w:/Quill";
  }

  // What every run printed: the job's lines up to the lock file, the failure line, an empty
  // line and the report of the job's exception, raised in RunUpdate on the main thread.
  static void ExpectPrintedFailure(const Lines& lines, const std::string& lockFile) {
    const ReportReading::TPrinted printed = ReportReading::SplitAtFailure(lines);
    ASSERT_TRUE(printed.found);
    EXPECT_EQ(printed.before,
              (Lines{"Parse die Parameter!", "Überprüfe das Quell- und das Zielverzeichnis!",
                     "Warte auf den Aufrufer!"}));
    ASSERT_TRUE(printed.emptyLineAfter);
    EXPECT_EQ(ReportReading::Field(printed.report, "exception class"), "EUpdateWork");
    const std::string message =
        ReportReading::Field(printed.report, "exception message").value_or("");
    EXPECT_EQ(message.rfind("Die Datei " + lockFile + " kann nicht erstellt werden!", 0), 0u)
        << message;
    ExpectReportAsAWhole(printed.report);
  }

  // The report as a reader gets it: the header in its order, every section in its order, the
  // processor state of the raise, and a main thread that reads like the source: the update
  // job's frame at the line that takes the lock file, columns no wider than their names.
  static void ExpectReportAsAWhole(const Lines& report) {
    EXPECT_EQ(E2E::HeaderOrderFault(E2E::HeaderKeys(report)), "")
        << ::testing::PrintToString(E2E::HeaderKeys(report));
    const Lines titles = E2E::SectionTitlesOfTheProgram(report, UPDATE_TEST_QEMU);
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(titles[0].rfind("main thread ($", 0), 0u) << titles[0];
    // The job starts no thread of its own, and the reporter's threads are left out.
    Lines expected = {titles[0],       "modules",    "processes",    "hardware",
                      "cpu registers", "stack dump", "disassembling"};
    EXPECT_EQ(titles, expected);

    const Lines mainThread = ReportReading::Section(report, "main thread ($");
    ASSERT_GT(mainThread.size(), 1u);
    const Lines stack(mainThread.begin() + 1, mainThread.end());
    EXPECT_EQ(E2E::WidestBlankRun(stack), 1u) << ::testing::PrintToString(stack);
    bool jobFrame = false;
    for (const std::string& line : stack) {
      for (const char* unreadable : {"<", "(", "_Z", ".cold", "_FUN"}) {
        EXPECT_EQ(line.find(unreadable), std::string::npos) << line;
      }
      const Lines fields = E2E::StackFields(line, stack);
      if (fields.empty() || fields.back() != "RunUpdate") continue;
      jobFrame = true;
      // address, offset, module, unit, line, relative line, function
      ASSERT_EQ(fields.size(), 7u) << line;
      EXPECT_EQ(fields[3], "Update.Work") << line;
      EXPECT_EQ(fields[4], std::to_string(UPDATE_TEST_LOCK_CALL_LINE)) << line;
    }
    EXPECT_TRUE(jobFrame) << ::testing::PrintToString(stack);
    EXPECT_GE(ReportReading::Section(report, "cpu registers").size(), 10u);
    EXPECT_GE(ReportReading::Section(report, "stack dump").size(), 2u);
  }

  // The case as the tracker files it: titled with the program and the exception message, and
  // no placeholder left in any of its fields.
  static void ExpectCaseFields(const Reporter::Delivery::Testing::TRecordedRequest& newCase,
                               const Lines& report) {
    EXPECT_EQ(newCase.Part("sTitle") ? TextOf(*newCase.Part("sTitle")) : "",
              ReportReading::Field(report, "executable").value_or("?") + ", " +
                  ReportReading::Field(report, "exception message").value_or("?"));
    // The fields the upload takes from the exception object read as the report's lines.
    for (const auto& [name, key] : {std::pair{"sVersion", "version"},
                                    {"sComputer", "computer name"},
                                    {"sScoutDescription", "callstack crc"}}) {
      EXPECT_EQ(newCase.Part(name) ? TextOf(*newCase.Part(name)) : "<missing>",
                ReportReading::Field(report, key).value_or("?"))
          << name;
    }
    // Attachments (File1, File2, ...) are the program's own data: the report may quote
    // anything, and the dump holds raw memory, where the settings' templates can stand.
    for (const std::string& name : newCase.PartNames()) {
      const auto* part = newCase.Part(name);
      if (name.starts_with("File") || part == nullptr) continue;
      EXPECT_EQ(E2E::LeftPlaceholder(part->data), "") << name << " = " << part->data;
    }
  }

  // The redirected run: printed, and saved beside its program since nothing took it.
  void ExpectRedirectedRun(int exitCode, const std::string& outputFile, const std::string& program,
                           const std::string& lockFile) {
    const std::string output = TestSupport::ReadFile(outputFile);
    EXPECT_EQ(exitCode, 1);
    const Lines lines = OutputLines(output);
    ExpectPrintedFailure(lines, lockFile);
    EXPECT_EQ(output, ExpectedOutput(lines)) << "line ends of a redirect";
    const std::string savedFile = Beside(program, "bugreport.txt");
    ASSERT_TRUE(Platform::FileExists(savedFile));
    EXPECT_EQ(
        ReportReading::WithoutTrailingEmptyLines(
            ReportReading::TextLines(TestSupport::ReadFile(savedFile))),
        ReportReading::WithoutTrailingEmptyLines(ReportReading::SplitAtFailure(lines).report));
  }

  // The dump beside the saved report: a valid one everywhere and, where LLDB runs, one that a
  // debugger walks with the program's symbols to the function the report names.
  void ExpectDumpForADebugger(const std::string& program, const std::string& function) {
    const std::string dumpFile = Beside(program, "bugreport.dmp");
    ASSERT_TRUE(Platform::FileExists(dumpFile));
    const TestSupport::TMinidump dump = TestSupport::ReadMinidump(TestSupport::ReadFile(dumpFile));
    ASSERT_TRUE(dump.valid);
    ASSERT_TRUE(dump.exceptionThread.has_value());
    const auto view = TestSupport::DebuggerView(dumpFile, program);
    if (!view) return;
    EXPECT_NE(TestSupport::StoppedThreadBacktrace(*view).find(function), std::string::npos)
        << *view;
    EXPECT_EQ(TestSupport::DebuggerThreadCount(*view), dump.threadIds.size()) << *view;
  }

  // The piped run: printed and, where this build can send, uploaded as exactly one new case.
  void ExpectPipedRun(const Platform::CapturedRun& run, const std::optional<TFakeTracker>& tracker,
                      const std::string& lockFile) {
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 1);
    const Lines lines = OutputLines(run.output);
    ExpectPrintedFailure(lines, lockFile);
    if (!tracker) GTEST_SKIP() << "the upload half: this build's Update cannot upload";
    const auto requests = tracker->Requests();
    const auto isNewCase = [](const auto& request) { return request.Command() == "new"; };
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(), isNewCase), 1)
        << ::testing::PrintToString(tracker->Commands());
    const auto newCase = std::find_if(requests.begin(), requests.end(), isNewCase);
    ASSERT_NE(newCase, requests.end());
    const auto* attachment = newCase->Part("File1");
    ASSERT_NE(attachment, nullptr) << ::testing::PrintToString(newCase->PartNames());
    EXPECT_EQ(attachment->fileName, "bugreport.txt");
    const Lines report = ReportReading::SplitAtFailure(lines).report;
    EXPECT_EQ(ReportReading::WithoutTrailingEmptyLines(ReportReading::TextLines(attachment->data)),
              ReportReading::WithoutTrailingEmptyLines(report));
    ExpectCaseFields(*newCase, report);
  }

  // The job never took the lock file, so it left the installation alone: the staged file is
  // still waiting, and neither the tool nor the caller ran.
  void ExpectNothingInstalled(const std::set<std::string>& installedBefore) {
    EXPECT_EQ(Names(installation), installedBefore);
    EXPECT_EQ(TestSupport::ReadFile(Staged("Quill.dat")), "new data");
    EXPECT_TRUE(Records().empty());
  }
};

// A folder where the lock file belongs: the job cannot create it and gives up at once, so
// both runs go one after the other, the redirected one before the tracker is there.
TEST_F(UpdateFailure, LockFileThatCannotBeCreatedEndsTheJobWithAPrintedSavedAndUploadedReport) {
  TestSupport::WriteFile(Staged("Quill.dat"), "new data");
  const std::string lockFile = Installed("update.neb");
  TestSupport::MakeDirectory(lockFile);
  const std::set<std::string> installedBefore = Names(installation);

  const std::string redirectedProgram = CopyTrackedProgram(root.Join("redirected"));
  const std::string outputFile = root.Join("redirected output.txt");
  const int redirectedExit = RunWithOutputFile(redirectedProgram, Switches(), outputFile);
  ExpectRedirectedRun(redirectedExit, outputFile, redirectedProgram, lockFile);
  ExpectDumpForADebugger(redirectedProgram, "RunUpdate");

  std::optional<TFakeTracker> tracker;
  if (UPDATE_TEST_CAN_UPLOAD) tracker.emplace(TestSupport::BuildSetupPort("tracker_port"));
  const std::string pipedProgram = CopyTrackedProgram(root.Join("piped"));
  const Platform::CapturedRun pipedRun =
      Platform::RunCaptured(Quoted(pipedProgram) + " " + Switches(), kRunTimeoutMilliseconds);
  ExpectPipedRun(pipedRun, tracker, lockFile);
  ExpectNothingInstalled(installedBefore);
}

// The lock file held open by another process: the job tries 1000 times before it gives up,
// the two runs at once.
TEST_F(UpdateFailure, HeldLockFileEndsTheJobWithAPrintedSavedAndUploadedReport) {
  TestSupport::WriteFile(Staged("Quill.dat"), "new data");
  const std::string lockFile = Installed("update.neb");
  // Held by this test rather than the lock-holder program, which lets go after two minutes:
  // sooner than the job gives up.
  Platform::Result<Platform::File> held =
      Platform::File::Open(lockFile, Platform::File::Mode::CreateAlwaysReadWrite);
  ASSERT_TRUE(held);
  const std::set<std::string> installedBefore = Names(installation);
  const std::uint32_t headStart =
      UPDATE_TEST_CAN_UPLOAD ? HeadStartMilliseconds() : kHeadStartMilliseconds;

  const std::string pipedProgram = CopyTrackedProgram(root.Join("piped"));
  const std::string redirectedProgram = CopyTrackedProgram(root.Join("redirected"));
  const std::string outputFile = root.Join("redirected output.txt");
  auto redirected = std::async(std::launch::async, [&] {
    return RunWithOutputFile(redirectedProgram, Switches(), outputFile);
  });
  Platform::SleepMilliseconds(headStart);
  auto piped = std::async(std::launch::async, [&] {
    return Platform::RunCaptured(Quoted(pipedProgram) + " " + Switches(), kRunTimeoutMilliseconds);
  });
  const int redirectedExit = redirected.get();
  std::optional<TFakeTracker> tracker;
  if (UPDATE_TEST_CAN_UPLOAD) tracker.emplace(TestSupport::BuildSetupPort("tracker_port"));
  const Platform::CapturedRun pipedRun = piped.get();
  held->Close();

  ExpectRedirectedRun(redirectedExit, outputFile, redirectedProgram, lockFile);
  ExpectPipedRun(pipedRun, tracker, lockFile);
  ExpectNothingInstalled(installedBefore);
  EXPECT_TRUE(Platform::FileExists(lockFile)) << "left to its holder";
}

}  // namespace
