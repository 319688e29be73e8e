#include "e2e/update_fixture.h"

#include <cstdlib>

#include "platform/child_process.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/path_style.h"
#include "platform/process.h"
#include "platform/text_encoding.h"
#include "reporter/interception/report_reading.h"
#include "support/helper_process.h"

namespace E2E {
namespace {

using TestSupport::ExecutableSuffix;

bool OnWindows() {
  return Platform::NativePathStyle() == Platform::PathStyle::Windows;
}
std::string Separator() {
  return OnWindows() ? "\\" : "/";
}

void CopyProgram(const std::string& from, const std::string& to) {
  ASSERT_TRUE(Platform::CopyFileReplacing(from, to)) << from << " -> " << to;
}

constexpr const char* kRecordVariable = "UPDATE_TEST_RECORD";
// The tests' build of the program divides its pauses by this: the job's 1000 tries for a held
// lock file take seconds instead of minutes, with the pauses still drawn as the job draws them.
constexpr const char* kPauseDivisorVariable = "UPDATE_TEST_PAUSE_DIVISOR";
constexpr const char* kPauseDivisor = "100";
const char* ProfileVariable() {
  return OnWindows() ? "USERPROFILE" : "HOME";
}

}  // namespace

UpdateWorld::UpdateWorld()
    : staging(root.Join("new version")),
      installation(root.Join("My App")),
      recordFile(root.Join("record.txt")),
      savedRecordVariable_(Platform::EnvironmentValue(kRecordVariable)),
      savedProfile_(Platform::EnvironmentValue(ProfileVariable())) {
  TestSupport::MakeDirectory(staging);
  TestSupport::MakeDirectory(installation);
  CopyProgram(TestSupport::FakeProgramPath("DBUpdate" + ExecutableSuffix()),
              Installed("DBUpdate" + ExecutableSuffix()));
  CopyProgram(TestSupport::FakeProgramPath("FakeCaller" + ExecutableSuffix()), CallerExe());
  EXPECT_TRUE(Platform::SetEnvironmentValue(kRecordVariable, recordFile));
  EXPECT_TRUE(Platform::SetEnvironmentValue(kPauseDivisorVariable, kPauseDivisor));
  // An empty profile of the test's own, so that no settings file of this machine is found.
  TestSupport::MakeDirectory(root.Join("profile"));
  EXPECT_TRUE(Platform::SetEnvironmentValue(ProfileVariable(), root.Join("profile")));
}

UpdateWorld::~UpdateWorld() {
  EXPECT_TRUE(Platform::SetEnvironmentValue(kRecordVariable, savedRecordVariable_));
  EXPECT_TRUE(Platform::SetEnvironmentValue(kPauseDivisorVariable, ""));
  EXPECT_TRUE(Platform::SetEnvironmentValue(ProfileVariable(), savedProfile_));
}

std::string UpdateWorld::Staged(const std::string& name) const {
  return staging + Separator() + name;
}
std::string UpdateWorld::Installed(const std::string& name) const {
  return installation + Separator() + name;
}
std::string UpdateWorld::CallerExe() const {
  return Installed("Quill" + ExecutableSuffix());
}

std::vector<std::string> UpdateWorld::RunUpdate(const std::string& arguments) {
  const std::string program = TestSupport::TestProgramPath("Update" + ExecutableSuffix());
  // Enough for the 5-second pause after the window probes and a slow emulator.
  const Platform::CapturedRun run =
      Platform::RunCaptured(TestSupport::Quoted(program) + " " + arguments, 120000);
  EXPECT_TRUE(run.started) << program;
  EXPECT_FALSE(run.timedOut);
  exitCode = run.exitCode;
  rawOutput = run.output;
  return OutputLines(rawOutput);
}

std::vector<std::string> UpdateWorld::OutputLines(const std::string& output) {
  // A redirected standard output carries the ANSI code page on Windows.
  return ReportReading::TextLines(OnWindows() ? Platform::AnsiToUtf8(output) : output);
}

std::string UpdateWorld::CopyTrackedProgram(const std::string& folder) const {
  const std::string name = "Update" + ExecutableSuffix();
  TestSupport::MakeDirectory(folder);
  const std::string copy = folder + Separator() + name;
  CopyProgram(TestSupport::TestProgramPath(std::string("tracked") + Separator() + name), copy);
  return copy;
}

int UpdateWorld::RunWithOutputFile(const std::string& program, const std::string& arguments,
                                   const std::string& outputFile) {
  std::string command =
      TestSupport::Quoted(program) + " " + arguments + " > " + TestSupport::Quoted(outputFile);
  // cmd.exe drops the first and the last quote of a command that starts with one.
  if (OnWindows()) command = TestSupport::Quoted(command);
  const int status = std::system(command.c_str());
  // POSIX returns the wait status, the exit code in its second byte.
  return OnWindows() ? status : (status >> 8) & 0xff;
}

std::vector<std::string> UpdateWorld::Records(std::size_t atLeast) const {
  // The updater starts the caller detached, with none of its handles: only its record tells
  // that it ran.
  return ReportReading::TextLines(TestSupport::AwaitFileText(
      recordFile,
      [&](const std::string& text) { return ReportReading::TextLines(text).size() >= atLeast; }));
}

std::string UpdateWorld::ExpectedOutput(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) {
    bytes += OnWindows() ? Platform::Utf8ToAnsi(line) + "\r\n" : line + "\n";
  }
  return bytes;
}

}  // namespace E2E
