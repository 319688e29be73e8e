#include <errno.h>
#include <pthread.h>
#include <semaphore.h>
#include <signal.h>
#include <sys/syscall.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>

#include "platform/posix/cpu_context.h"
#include "platform/posix/memory_maps.h"
#include "platform/posix/system_files.h"
#include "platform/threads.h"
#include "rtl/case_folding.h"

// Another thread's registers are only in its own signal frame: the thread is sent a signal
// whose handler copies them into a slot and posts a semaphore.
namespace Platform {
namespace {

static_assert(std::atomic<std::uint32_t>::is_always_lock_free);
static_assert(std::atomic<pid_t>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);

// The open request: its sequence number (0 = none) and the thread asked. A handler claims the
// request by swapping the number to 0, so one answer at most is written per request and an
// answer arriving after its request timed out finds nothing to claim.
std::atomic<std::uint32_t> gPendingRequest{0};
std::atomic<pid_t> gPendingThread{0};
// Written only by the handler that claimed the request and published by its release store of
// the request's number, which the waiter reads with acquire after the semaphore: the semaphore
// wakes the waiter, the atomic orders the copy before the waiter's reads.
TThreadContext gAnswer;
pthread_t gAnswerThread;
std::atomic<std::uint32_t> gAnswerRequest{0};
sem_t gAnswered;
// Handlers running now: their threads have the signal blocked until they return.
std::atomic<int> gHandlersRunning{0};

int CaptureSignal() {
  return SIGRTMIN + 5;
}

// Async-signal-safe only: no allocation, no locks; errno is kept for the interrupted code.
void AnswerCapture(int, siginfo_t*, void* context) {
  const int savedErrno = errno;
  gHandlersRunning.fetch_add(1);
  const std::uint32_t request = gPendingRequest.load();
  if (request != 0 && gPendingThread.load() == static_cast<pid_t>(syscall(SYS_gettid))) {
    std::uint32_t expected = request;
    if (gPendingRequest.compare_exchange_strong(expected, 0)) {
      Posix::CopyRegisters(*static_cast<const ucontext_t*>(context), gAnswer);
      gAnswerThread = pthread_self();
      gAnswerRequest.store(request, std::memory_order_release);
      sem_post(&gAnswered);
    }
  }
  gHandlersRunning.fetch_sub(1);
  errno = savedErrno;
}

bool InstallHandler() {
  static const bool installed = [] {
    if (sem_init(&gAnswered, 0, 0) != 0) return false;
    struct sigaction action {};
    action.sa_sigaction = AnswerCapture;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
    sigemptyset(&action.sa_mask);
    return sigaction(CaptureSignal(), &action, nullptr) == 0;
  }();
  return installed;
}

timespec After(const timespec& start, std::uint32_t milliseconds) {
  timespec result = start;
  result.tv_sec += static_cast<time_t>(milliseconds / 1000);
  result.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (result.tv_nsec >= 1000000000L) {
    result.tv_sec += 1;
    result.tv_nsec -= 1000000000L;
  }
  return result;
}

bool Before(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

bool ThreadExists(ThreadId thread) {
  return syscall(SYS_tgkill, getpid(), static_cast<pid_t>(thread), 0) == 0 || errno != ESRCH;
}

// A thread that keeps the signal blocked (as the helper threads of a user-mode emulator do)
// would answer only at the time limit. A thread blocks it for a moment too, e.g. while in the
// handler for the previous request, so only a block that lasts counts.
bool BlocksSignal(ThreadId thread, int signal) {
  const std::string path = "/proc/self/task/" + std::to_string(thread) + "/status";
  const std::string status = Posix::ReadSystemFile(path);
  const std::size_t line = status.find("\nSigBlk:");
  if (line == std::string::npos) return false;
  std::size_t at = status.find_first_not_of(" \t", line + 8);
  std::uint64_t mask = 0;
  for (; at < status.size(); ++at) {
    const char c = status[at];
    const int digit = RTL::Text::HexDigitValue(c);
    if (digit < 0) break;
    mask = (mask << 4) | static_cast<std::uint64_t>(digit);  // keeps the lowest 64 signals
  }
  return signal >= 1 && signal <= 64 && (mask >> (signal - 1) & 1) != 0;
}

// Waits for the answer to the request; a post left by an answer that came too late for an
// earlier request is passed over. Until a handler has claimed the request, a thread that ends
// or keeps the signal blocked is given up on before the deadline (once claimed, the handler
// itself runs with the signal blocked).
bool AwaitAnswer(std::uint32_t request, ThreadId thread, std::uint32_t timeout, bool claimed) {
  constexpr std::uint32_t kSlice = 20;
  constexpr int kBlockedSlices = 5;
  int blockedSlices = 0;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const timespec deadline = After(now, timeout);
  for (;;) {
    timespec sliceEnd = After(now, kSlice);
    if (Before(deadline, sliceEnd)) sliceEnd = deadline;
    if (sem_clockwait(&gAnswered, CLOCK_MONOTONIC, &sliceEnd) == 0) {
      if (gAnswerRequest.load(std::memory_order_acquire) == request) return true;
      continue;
    }
    const int error = errno;
    if (error != EINTR && error != ETIMEDOUT) return false;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (!Before(now, deadline)) return false;
    if (error != ETIMEDOUT || claimed) continue;
    if (!ThreadExists(thread)) return false;
    const bool blocked = gHandlersRunning.load() == 0 && BlocksSignal(thread, CaptureSignal());
    blockedSlices = blocked ? blockedSlices + 1 : 0;
    if (blockedSlices >= kBlockedSlices) return false;
  }
}

// The end of a thread's stack from its attributes; 0 when they cannot be read.
std::uint64_t StackTopOf(pthread_t thread) {
  pthread_attr_t attributes;
  if (pthread_getattr_np(thread, &attributes) != 0) return 0;
  void* address = nullptr;
  std::size_t size = 0;
  std::uint64_t top = 0;
  if (pthread_attr_getstack(&attributes, &address, &size) == 0) {
    top = reinterpret_cast<std::uintptr_t>(address) + size;
  }
  pthread_attr_destroy(&attributes);
  return top;
}

std::optional<TThreadContext> CaptureOtherThread(ThreadId thread, std::uint32_t timeout) {
  if (!InstallHandler()) return std::nullopt;
  static std::mutex requests;
  static std::uint32_t sequence = 0;
  std::lock_guard<std::mutex> lock(requests);
  if (++sequence == 0) ++sequence;
  const std::uint32_t request = sequence;
  gPendingThread.store(static_cast<pid_t>(thread));
  gPendingRequest.store(request);

  bool answered = false;
  if (syscall(SYS_tgkill, getpid(), static_cast<pid_t>(thread), CaptureSignal()) == 0) {
    answered = AwaitAnswer(request, thread, timeout, false);
  }
  if (!answered) {
    std::uint32_t expected = request;
    if (gPendingRequest.compare_exchange_strong(expected, 0)) return std::nullopt;
    // A handler has claimed the request just now and is copying: its answer is close. It is
    // awaited even past a short time limit, so that no copy runs into the next request's.
    constexpr std::uint32_t kClaimedLimit = 1000;
    if (!AwaitAnswer(request, thread, std::max(timeout, kClaimedLimit), true)) return std::nullopt;
  }
  TThreadContext answer = gAnswer;
  // The main thread's stack grows on demand: its attributes tell a limit, not its top.
  if (thread != MainThreadId()) answer.StackTop = StackTopOf(gAnswerThread);
  return answer;
}

}  // namespace

std::optional<TThreadContext> CaptureThreadContext(ThreadId thread,
                                                   std::uint32_t timeoutMilliseconds) {
  if (thread != CurrentThreadId()) return CaptureOtherThread(thread, timeoutMilliseconds);
  ucontext_t context;
  if (getcontext(&context) != 0) return std::nullopt;
  TThreadContext result;
  Posix::CopyRegisters(context, result);
  return result;
}

}  // namespace Platform
