// Stands for the database-update tool (built as DBUpdate) and for a caller that the updater
// restarts (FakeCaller): appends what it was started with to the file that
// UPDATE_TEST_RECORD names, one line "<program name>\t<parameter 1>\t<parameter 2>...", the
// parameters split as the program's own command line is split, and says so on standard
// error: POSIX children share the updater's standard output, and a line there would land in
// the middle of the updater's own buffered output that the tests read.
// UPDATE_TEST_SLEEP_MS makes it take that long first, so that a starter's waiting shows.
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "platform/path_style.h"
#include "platform/process.h"
#include "rtl/parameters.h"

namespace {

// The executable's file name without folder and without ".exe".
std::string ProgramName() {
  std::string name = Platform::ExecutablePath();
  const char* separators =
      Platform::NativePathStyle() == Platform::PathStyle::Windows ? "\\/" : "/";
  const std::size_t separator = name.find_last_of(separators);
  if (separator != std::string::npos) name.erase(0, separator + 1);
  if (name.size() > 4) {
    std::string suffix = name.substr(name.size() - 4);
    for (char& c : suffix) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (suffix == ".exe") name.resize(name.size() - 4);
  }
  return name;
}

// The parameters after the program, each after a tab: the same on every platform, where the
// raw text differs (POSIX passes the program its arguments already split).
std::string Arguments() {
  const auto parameters = RTL::Parameters::Split(Platform::RawCommandLine());
  std::string arguments;
  for (std::size_t i = 1; i < parameters.size(); ++i) arguments += '\t' + parameters[i].text;
  return arguments;
}

void SleepIfAsked() {
  const std::string value = Platform::EnvironmentValue("UPDATE_TEST_SLEEP_MS");
  std::uint32_t milliseconds = 0;
  const auto result = std::from_chars(value.data(), value.data() + value.size(), milliseconds);
  if (result.ec == std::errc() && milliseconds > 0) Platform::SleepMilliseconds(milliseconds);
}

void Record(const std::string& line) {
  const std::string recordFile = Platform::EnvironmentValue("UPDATE_TEST_RECORD");
  if (recordFile.empty()) return;
  std::ofstream out(std::filesystem::path(std::u8string(recordFile.begin(), recordFile.end())),
                    std::ios::binary | std::ios::app);
  out << line << '\n';
}

}  // namespace

int main() {
  SleepIfAsked();
  const std::string name = ProgramName();
  const std::string arguments = Arguments();
  Record(name + arguments);
  std::string shown = arguments;
  for (char& c : shown) c = c == '\t' ? ' ' : c;
  std::cerr << name << (name == "DBUpdate" ? ": database update with" : ": restarted with")
            << (shown.empty() ? " no arguments" : shown) << std::endl;
  return 0;
}
