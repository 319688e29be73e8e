#include "support/helper_process.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/file_system.h"
#include "platform/path_style.h"
#include "platform/process.h"

namespace TestSupport {
namespace {

constexpr std::uint32_t kPollMilliseconds = 20;
// Generous: the first start of a program under an emulator or wine can take seconds.
constexpr std::uint32_t kTimeoutMilliseconds = 60000;

char Separator() {
  return Platform::NativePathStyle() == Platform::PathStyle::Windows ? '\\' : '/';
}

// Polls until the condition holds or the time is up; whether it holds.
template <typename Condition>
bool WaitUntil(Condition condition) {
  for (std::uint32_t waited = 0; waited < kTimeoutMilliseconds; waited += kPollMilliseconds) {
    if (condition()) return true;
    Platform::SleepMilliseconds(kPollMilliseconds);
  }
  return condition();
}

}  // namespace

std::string TestProgramPath(std::string_view name) {
  return Platform::ExecutableDirectory() + std::string(name);
}

std::string FakeProgramPath(std::string_view name) {
  return Platform::ExecutableDirectory() + "fakes" + Separator() + std::string(name);
}

std::string ExecutableSuffix() {
  const std::string path = Platform::ExecutablePath();
  if (path.size() < 4) return {};
  std::string suffix = path.substr(path.size() - 4);
  for (char& c : suffix) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return suffix == ".exe" ? suffix : std::string();
}

std::string Quoted(std::string_view text) {
  return '"' + std::string(text) + '"';
}

HelperProcess::HelperProcess(std::string_view program, const std::vector<std::string>& arguments)
    : readyFile_(folder_.Join("ready")), releaseFile_(folder_.Join("release")) {
  std::string commandLine = Quoted(TestProgramPath(program));
  for (const std::string& argument : arguments) commandLine += ' ' + Quoted(argument);
  commandLine += ' ' + Quoted(readyFile_) + ' ' + Quoted(releaseFile_);
  running_ = Platform::StartProcess(commandLine, false);
  if (!running_) {
    ADD_FAILURE() << "cannot start " << commandLine;
    return;
  }
  // Written in one piece, but it may be seen the moment it is created, still empty, or (on
  // Windows, while the helper's rename holds it) not be open to readers yet.
  if (!WaitUntil([&] {
        std::ifstream in(FsPath(readyFile_), std::ios::binary);
        if (!in.good()) return false;
        std::ostringstream text;
        text << in.rdbuf();
        readyText_ = text.str();
        return !readyText_.empty();
      })) {
    ADD_FAILURE() << program << " did not get ready in time";
  }
}

HelperProcess::~HelperProcess() {
  Release();
}

void HelperProcess::Release() {
  if (!running_) return;
  running_ = false;
  WriteFile(releaseFile_, "release");
  // The program deletes its ready file once it has let go of what it held.
  if (!readyText_.empty() && !WaitUntil([&] { return !Platform::FileExists(readyFile_); })) {
    ADD_FAILURE() << "a helper program did not end in time";
  }
}

}  // namespace TestSupport
