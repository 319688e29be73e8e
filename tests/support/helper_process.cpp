#include "support/helper_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>

#include "platform/path_style.h"
#include "platform/process.h"

namespace TestSupport {
namespace {

// Generous: the first start of a program under an emulator or wine can take seconds.
constexpr std::uint32_t kTimeoutMilliseconds = 60000;

std::string CommandLine(std::string_view program, const std::vector<std::string>& arguments) {
  std::string commandLine = Quoted(TestProgramPath(program));
  for (const std::string& argument : arguments) commandLine += ' ' + Quoted(argument);
  return commandLine;
}

}  // namespace

char Separator() {
  return Platform::NativePathStyle() == Platform::PathStyle::Windows ? '\\' : '/';
}

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
    : HelperProcess(CommandLine(program, arguments)) {}

HelperProcess::HelperProcess(const std::string& commandLine) : child_(commandLine) {
  if (!child_.Started()) {
    ADD_FAILURE() << "cannot start " << commandLine;
    return;
  }
  readyText_ = child_.ReadLine(kTimeoutMilliseconds).value_or("");
  if (readyText_.empty()) ADD_FAILURE() << commandLine << " did not get ready in time";
}

std::string HelperProcess::Release() {
  std::string said;
  if (!child_.Started()) return said;
  child_.CloseInput();
  const std::optional<int> exitCode = child_.WaitForExit(kTimeoutMilliseconds, &said);
  if (!exitCode) ADD_FAILURE() << "a helper program did not end in time";
  exitCode_ = exitCode.value_or(-1);
  return said;
}

std::string AwaitFileText(const std::string& path,
                          const std::function<bool(const std::string&)>& complete) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  std::string text;
  while (std::chrono::steady_clock::now() < deadline) {
    // Quietly: the writer may hold the file, or be renaming it into place, when we look.
    std::ifstream in(FsPath(path), std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (complete(text)) break;
    Platform::SleepMilliseconds(20);
  }
  return text;
}

}  // namespace TestSupport
