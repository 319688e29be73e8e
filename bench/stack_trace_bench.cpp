// Traces every thread of this process with 1, 16 and 64 extra threads parked 40 calls deep,
// and prints the time per thread; then lets `eu-stack -p` (elfutils) trace the same process
// as the outside reference. Target: all 64 threads traced and resolved faster than eu-stack
// needs for the same process.
//
// Usage: stack_trace_bench [rounds]

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/child_process.h"
#include "platform/system_lists.h"
#include "platform/threads.h"
#include "reporter/report/tracer/stack_tracer.h"

namespace {

std::atomic<int> parked{0};
std::atomic<bool> release{false};
volatile int sink = 0;

void Park() {
  parked.fetch_add(1);
  while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// Forty distinct functions, so that no recursion is folded away.
template <int Depth>
__attribute__((noinline)) void Deep() {
  sink = sink + Depth;
  if constexpr (Depth == 0) {
    Park();
  } else {
    Deep<Depth - 1>();
  }
  sink = sink + 1;
}

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// Traces every thread of the process; returns the total milliseconds and the frames found.
double TraceAll(std::size_t& threads, std::size_t& frames) {
  const auto start = Clock::now();
  threads = 0;
  frames = 0;
  for (const auto id : Platform::ListThreads()) {
    std::optional<Reporter::Tracer::TThreadTraceInput> input;
    if (id == Platform::CurrentThreadId()) {
      input = Reporter::Tracer::TThreadTraceInput{};
    } else {
      input = Reporter::Tracer::InputForThread(id);
    }
    if (!input) continue;
    const auto result = Reporter::Tracer::BuildCallStack(*input, {});
    ++threads;
    frames += result.Items.size();
  }
  return Milliseconds(Clock::now() - start);
}

double EuStack(std::size_t& lines) {
  const std::string command = "eu-stack -p " + std::to_string(Platform::CurrentProcessId());
  const auto start = Clock::now();
  const auto run = Platform::RunCaptured(command, 120000);
  const double elapsed = Milliseconds(Clock::now() - start);
  lines = 0;
  for (char c : run.output) lines += c == '\n';
  if (!run.started || run.exitCode != 0) return -1;
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::vector<std::thread> threads;
  std::printf("%8s %8s %12s %14s %12s %12s\n", "threads", "frames", "trace ms", "ms per thread",
              "eu-stack ms", "ratio");
  for (const int wanted : {1, 16, 64}) {
    while (static_cast<int>(threads.size()) < wanted) threads.emplace_back(&Deep<39>);
    while (parked.load() < wanted) std::this_thread::sleep_for(std::chrono::milliseconds(1));

    double best = 1e30;
    std::size_t traced = 0, frames = 0;
    for (int round = 0; round < rounds; ++round) best = std::min(best, TraceAll(traced, frames));
    double reference = 1e30;
    std::size_t lines = 0;
    for (int round = 0; round < rounds; ++round) {
      const double elapsed = EuStack(lines);
      if (elapsed >= 0) reference = std::min(reference, elapsed);
    }
    const bool haveReference = reference < 1e30;
    std::printf("%8zu %8zu %12.2f %14.3f %12.2f %12s\n", traced, frames, best,
                best / static_cast<double>(traced ? traced : 1), haveReference ? reference : -1.0,
                haveReference ? std::to_string(best / reference).c_str() : "n/a");
  }
  release = true;
  for (auto& thread : threads) thread.join();
  return 0;
}
