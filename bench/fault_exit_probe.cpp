// A process with 16 parked threads whose main thread writes through a null pointer. It notes
// the moment of the fault (nanoseconds of the system clock) in the file named by its first
// argument; the crash reporter then prints, saves and uploads the report and ends the process.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "reporter/core/crash_reporter.h"

namespace {

std::string gMomentFile;
std::mutex gLock;
std::condition_variable gWake;
std::atomic<int> gParked{0};

int FaultWithParkedThreads() {
  std::vector<std::thread> threads;
  for (int i = 0; i < 16; ++i) {
    threads.emplace_back([] {
      std::unique_lock lock(gLock);
      gParked.fetch_add(1);
      gWake.wait(lock);  // never woken: the process ends first
    });
  }
  while (gParked.load() < 16) std::this_thread::yield();
  {
    std::ofstream moment(gMomentFile);
    moment << std::chrono::duration_cast<std::chrono::nanoseconds>(
                  std::chrono::system_clock::now().time_since_epoch())
                  .count();
  }
  *static_cast<volatile int*>(nullptr) = 1;
  for (auto& thread : threads) thread.detach();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const Reporter::TCrashReporter reporter;
  if (argc < 2) return 2;
  gMomentFile = argv[1];
  return Reporter::RunMainBlock(&FaultWithParkedThreads);
}
