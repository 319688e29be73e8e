// TraceProcess <process id> [limit]: asks a running Update for the report of all its threads
// and prints it. The limit caps the text in bytes (default 1 MiB).

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/process.h"
#include "platform/trace_request.h"
#include "rtl/parameters.h"

namespace {

constexpr std::int32_t kDefaultLimit = 1024 * 1024;
constexpr std::uint32_t kTimeoutMilliseconds = 60000;

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

int Fail(std::string_view message) {
  Platform::Console::WriteLine(message);
  Platform::Console::Flush();
  return 1;
}

}  // namespace

int main() {
  const auto parameters = RTL::Parameters::Split(Platform::RawCommandLine());
  std::uint32_t processId = 0;
  std::int32_t limit = kDefaultLimit;
  if (parameters.size() < 2 || parameters.size() > 3 ||
      !ParseNumber(parameters[1].text, processId) ||
      (parameters.size() == 3 && (!ParseNumber(parameters[2].text, limit) || limit < 2)))
    return Fail("usage: TraceProcess <process id> [limit in bytes, at least 2]");

  const Platform::TTraceAnswer report =
      Platform::RequestTrace(processId, limit, kTimeoutMilliseconds);
  const std::string process = "process " + std::to_string(processId);
  switch (report.Outcome) {
    case Platform::TTraceOutcome::Answered:
      break;
    case Platform::TTraceOutcome::Unreachable:
      return Fail(process + " cannot be reached");
    case Platform::TTraceOutcome::NotListening:
      return Fail(process + " takes no trace requests");
    case Platform::TTraceOutcome::NoAnswer:
      return Fail(process + " gave no report");
  }
  // The report's own line ends are "\r\n"; each line goes out as one console line.
  std::string_view rest = report.Text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    Platform::Console::WriteLine(line);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  Platform::Console::Flush();
  return 0;
}
