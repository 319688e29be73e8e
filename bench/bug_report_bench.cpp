// The time from asking for the complete bug report to having its text (every thread's stack,
// the system lists included) in a process with 1, 16 and 64 extra threads parked 20 calls
// deep, and the most heap memory the report adds while it is built. Target: under 250 ms for
// 64 threads on the linux preset.
//
// Usage: bug_report_bench [rounds]

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "reporter/core/reported_exception.h"
#include "reporter/core/start_up.h"
#include "reporter/report/system_lists/system_list_plugins.h"
#include "updater/work.h"

// Heap use, counted by this program's own allocation functions.
namespace {
std::atomic<long long> gInUse{0};
std::atomic<long long> gPeak{0};

void Count(long long bytes) {
  const long long now = gInUse.fetch_add(bytes) + bytes;
  long long peak = gPeak.load();
  while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
  }
}
}  // namespace

// Each block keeps its size in front of it.
void* operator new(std::size_t size) {
  auto* block = static_cast<std::size_t*>(std::malloc(size + 16));
  if (block == nullptr) throw std::bad_alloc();
  *block = size;
  Count(static_cast<long long>(size));
  return reinterpret_cast<char*>(block) + 16;
}
void operator delete(void* pointer) noexcept {
  if (pointer == nullptr) return;
  auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(pointer) - 16);
  Count(-static_cast<long long>(*block));
  std::free(block);
}
void operator delete(void* pointer, std::size_t) noexcept {
  operator delete(pointer);
}

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int> parked{0};
std::atomic<bool> release{false};
volatile int sink = 0;

void Park() {
  parked.fetch_add(1);
  while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

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

__attribute__((noinline)) void Fail() {
  throw Update::Work::EUpdateWork("Die Sperrdatei kann nicht erstellt werden!");
}

struct TRound {
  double Milliseconds = 0;
  long long PeakBytes = 0;
  std::size_t Length = 0;
  bool Complete = false;
};

TRound Report() {
  Reporter::Core::TExceptionRequest request;
  try {
    Fail();
  } catch (...) {
    request.ExceptObject = std::current_exception();
  }
  const long long before = gInUse.load();
  gPeak.store(before);
  const auto start = Clock::now();
  const auto reported = Reporter::Core::CreateReportedException(std::move(request));
  const std::string text = reported ? reported->GetBugReport(true, -1) : std::string();
  TRound round;
  round.Milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  round.PeakBytes = gPeak.load() - before;
  round.Length = text.size();
  round.Complete = reported && reported->GetComplete();
  return round;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  Reporter::Core::StartUpReportedExceptions();
  Reporter::Report::TSystemListPlugins plugins;
  Report();  // symbol data, module table and system lists read once, as in a real process

  std::vector<std::thread> threads;
  std::printf("%-14s %10s %10s %12s %10s\n", "extra threads", "best ms", "worst ms", "peak heap KB",
              "text KB");
  for (const int wanted : {1, 16, 64}) {
    while (static_cast<int>(threads.size()) < wanted) threads.emplace_back([] { Deep<20>(); });
    while (parked.load() < wanted) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    double best = 1e9, worst = 0;
    long long peak = 0;
    std::size_t length = 0;
    bool complete = true;
    for (int i = 0; i < rounds; ++i) {
      const TRound round = Report();
      best = std::min(best, round.Milliseconds);
      worst = std::max(worst, round.Milliseconds);
      peak = std::max(peak, round.PeakBytes);
      length = round.Length;
      complete = complete && round.Complete;
    }
    std::printf("%-14d %10.1f %10.1f %12lld %10zu%s\n", wanted, best, worst, peak / 1024,
                length / 1024, complete ? "" : "  (incomplete)");
  }
  release.store(true);
  for (auto& thread : threads) thread.join();
  return 0;
}
