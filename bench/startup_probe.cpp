// Prints how long the crash reporter's start-up and shutdown take in a program that carries
// Update's settings, symbol data and checksum stamp: "<start-up µs> <shutdown µs>".
#include <chrono>
#include <cstdio>

#include "reporter/core/crash_reporter.h"

int main() {
  using Clock = std::chrono::steady_clock;
  const auto micros = [](Clock::duration span) {
    return static_cast<long long>(
        std::chrono::duration_cast<std::chrono::microseconds>(span).count());
  };
  const auto start = Clock::now();
  Clock::time_point started;
  {
    const Reporter::TCrashReporter reporter;
    started = Clock::now();
  }
  const auto stopped = Clock::now();
  std::printf("%lld %lld\n", micros(started - start), micros(stopped - started));
  return 0;
}
