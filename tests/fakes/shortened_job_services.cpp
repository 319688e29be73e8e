// The job services of the tests' build of Update (bin/tracked/Update): the real ones, except
// that UPDATE_TEST_PAUSE_DIVISOR divides every pause of the job, so that an end-to-end test
// sits through a thousand retries in seconds, and UPDATE_TEST_STEP_PAUSE_MS pauses after every
// step of the hand-over, so that a kill at a random moment lands anywhere in it. The shipped
// program has no such switches.
#include <charconv>
#include <cstdint>
#include <string>

#include "platform/process.h"
#include "updater/program/job_services.h"

namespace Update::Program {

namespace {

// The variable's value as a number; 0 when it is unset or no number.
std::uint32_t NumberIn(const char* variable) {
  const std::string value = Platform::EnvironmentValue(variable);
  std::uint32_t number = 0;
  const auto parsed = std::from_chars(value.data(), value.data() + value.size(), number);
  return parsed.ec == std::errc() ? number : 0;
}

}  // namespace

Work::TJobServices JobServices() {
  Work::TJobServices services = Work::TJobServices::Real();
  if (const std::uint32_t divisor = NumberIn("UPDATE_TEST_PAUSE_DIVISOR"); divisor > 1) {
    services.Sleep = [divisor](std::uint32_t milliseconds) {
      Platform::SleepMilliseconds(milliseconds / divisor);
    };
  }
  if (const std::uint32_t pause = NumberIn("UPDATE_TEST_STEP_PAUSE_MS"); pause > 0) {
    services.HandOverStep = [pause] { Platform::SleepMilliseconds(pause); };
  }
  return services;
}

}  // namespace Update::Program
