#include "reporter/core/handling_thread.h"

#include <atomic>
#include <memory>
#include <thread>

#include "platform/console.h"
#include "platform/thread_priority.h"
#include "reporter/core/exception_processing.h"
#include "reporter/core/fault_request.h"
#include "reporter/core/reported_exception.h"
#include "reporter/core/reporter_threads.h"
#include "reporter/core/thread_registry.h"

namespace Reporter::Core {
namespace {

constexpr std::uint32_t kIdleWait = 100;
constexpr std::uint32_t kStopWait = 500;
constexpr std::uint32_t kCloseWait = 50;
constexpr std::uint32_t kHandOverLimit = 10 * 60 * 1000;

struct THandlingThread {
  std::unique_ptr<Platform::TRequestPipe> Pipe;
  std::unique_ptr<Platform::TSignal> WakeUp;
  std::unique_ptr<Platform::TSignal> Ended;
  void (*FirstTask)() = nullptr;
  std::thread Thread;
  std::atomic<Platform::ThreadId> ThreadId{0};
  std::atomic<bool> Stop{false};
};

std::atomic<THandlingThread*> gThread{nullptr};
std::atomic<bool> gForgotten{false};

void Process(const TPipeRecord& record) {
  if (record.Fault != nullptr) {
    ProcessFault(*record.Fault);
  } else if (record.Request != nullptr) {
    ProcessException(*record.Request);
  }
}

void Loop(THandlingThread& self) {
  self.ThreadId.store(Platform::CurrentThreadId());
  SetHandlingThreadId(self.ThreadId.load());
  const TReporterThread reporterThread(kHandlingThreadName);
  // At normal priority the reports still come, only later under load.
  (void)Platform::RaiseCurrentThreadPriority();
  if (self.FirstTask != nullptr) {
    try {
      self.FirstTask();
    } catch (...) {
    }
  }
  using TRead = Platform::TRequestPipe::TReadResult;
  bool wakeUpReset = false;
  for (;;) {
    TPipeRecord record;
    const TRead result = self.Pipe->Read(&record, sizeof record);
    if (result == TRead::Record) {
      wakeUpReset = false;
      if (record.Done == nullptr) break;
      try {
        Process(record);
      } catch (...) {
      }
      record.Done->Set();
      continue;
    }
    if (result == TRead::Short) continue;
    if (result == TRead::Failed || self.Stop.load()) break;
    if (result == TRead::Empty && !wakeUpReset) {
      // Read once more after the reset: a record written between the read and the reset
      // would otherwise wait for the time-out.
      self.WakeUp->Reset();
      wakeUpReset = true;
      continue;
    }
    wakeUpReset = false;
    // Woken or timed out, the loop reads the pipe again.
    (void)self.WakeUp->Wait(kIdleWait);
  }
  self.Ended->Set();
}

}  // namespace

bool StartHandlingThread(void (*firstTask)()) {
  if (gThread.load() != nullptr) return true;
  auto self = std::make_unique<THandlingThread>();
  self->Pipe = Platform::TRequestPipe::Create();
  self->WakeUp = Platform::TSignal::Create();
  self->Ended = Platform::TSignal::Create();
  self->FirstTask = firstTask;
  if (!self->Pipe || !self->WakeUp || !self->Ended) return false;
  if (!PrepareFaultSignals()) return false;
  try {
    THandlingThread* raw = self.get();
    self->Thread = std::thread([raw] { Loop(*raw); });
  } catch (...) {
    return false;
  }
  // Not waited for: a start-up that waited would pay a thread switch on every run, while a
  // record handed over before the thread runs simply waits in the pipe.
  gThread.store(self.release());
  return true;
}

bool HandlingThreadRunning() {
  return gThread.load() != nullptr;
}

void ForgetHandlingThreadInChild() {
  // What the parent's thread owns stays where it is: freeing it is no work for a forked child.
  // Nor does the child wait for a verdict that the parent's thread was to give its console.
  Platform::Console::PutFirst(nullptr);
  gThread.store(nullptr);
  gForgotten.store(true);
}

bool HandlingThreadForgotten() {
  return gForgotten.load();
}

void StopHandlingThread() {
  THandlingThread* self = gThread.exchange(nullptr);
  if (self == nullptr) return;
  self->Stop.store(true);
  const TPipeRecord stop;
  // Without the stop record the thread still sees the stop flag after its next wait.
  (void)self->Pipe->Write(&stop, sizeof stop);
  self->Pipe->CloseWriteEnd();
  self->WakeUp->Set();
  bool ended = self->Ended->Wait(kStopWait) || self->Ended->Wait(kCloseWait);
  const Platform::ThreadId tid = self->ThreadId.load();
  SetHandlingThreadId(0);
  if (tid != 0) RemoveThread(tid);
  if (ended) {
    self->Thread.join();
    delete self;
  } else {
    // A thread stuck in a report is left to the end of the process, with what it uses.
    self->Thread.detach();
  }
}

bool HandOver(const TPipeRecord& record) {
  THandlingThread* self = gThread.load();
  if (self == nullptr || record.Done == nullptr) return false;
  if (!self->Pipe->Write(&record, sizeof record)) return false;
  self->WakeUp->Set();
  // The record lives on this thread's stack and the handling thread may still read it: a
  // report that takes far longer than any report can (its upload has a deadline of its own)
  // ends the process instead of leaving this thread waiting for ever.
  if (!record.Done->Wait(kHandOverLimit)) CloseProcess();
  return true;
}

}  // namespace Reporter::Core
