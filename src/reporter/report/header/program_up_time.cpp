#include "reporter/report/header/program_up_time.h"

#include <atomic>
#include <chrono>
#include <limits>

#include "platform/machine_info.h"
#include "reporter/report/header/header_fields.h"
#include "reporter/report/header/operating_system.h"
#include "reporter/settings/placeholders.h"

namespace Reporter::Report {
namespace {

using Clock = std::chrono::steady_clock;

std::int64_t Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
      .count();
}

// Set while the program starts; the system's own start time of the process is preferred.
const std::int64_t kLoaded = Now();
constexpr std::int64_t kNotNoted = std::numeric_limits<std::int64_t>::min();
std::atomic<std::int64_t> reporterStart{kNotNoted};

}  // namespace

void NoteReporterStart() {
  reporterStart = Now();
  Settings::SetOsDescriptionSource([] { return OperatingSystemText(); });
}

std::int64_t ProgramUpTimeMilliseconds() {
  const std::int64_t start = reporterStart;
  if (start != kNotNoted) return Now() - start;
  if (const auto sinceStart = Platform::ProcessUpTimeMilliseconds()) return *sinceStart;
  return Now() - kLoaded;
}

}  // namespace Reporter::Report
