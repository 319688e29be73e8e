#include "platform/thread_hold.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace Platform {
namespace {

constexpr int kStopPatienceMilliseconds = 10000;

// The tracing child. It is a fork of a process with threads, so it makes system calls only.
// Go-ahead byte, stop the thread, ready byte, then wait until the parent closes the pipe and
// let the thread go on, with the signal it was stopped for if it was stopped for one.
[[noreturn]] void Trace(pid_t thread, int go, int ready) {
  char byte = 0;
  if (read(go, &byte, 1) != 1) _exit(1);
  if (ptrace(PTRACE_SEIZE, thread, nullptr, nullptr) != 0 ||
      ptrace(PTRACE_INTERRUPT, thread, nullptr, nullptr) != 0)
    _exit(2);
  int status = 0;
  pid_t waited = 0;
  do {
    waited = waitpid(thread, &status, __WALL);
  } while (waited < 0 && errno == EINTR);
  if (waited != thread || !WIFSTOPPED(status)) _exit(3);
  // A stop with an event in the upper bits is the interrupt; a plain one holds a signal.
  const long pendingSignal = (status >> 16) == 0 ? WSTOPSIG(status) : 0;
  if (write(ready, "s", 1) != 1) _exit(4);
  for (;;) {
    const ssize_t got = read(go, &byte, 1);
    if (got == 0 || (got < 0 && errno != EINTR)) break;
  }
  ptrace(PTRACE_DETACH, thread, nullptr, reinterpret_cast<void*>(pendingSignal));
  _exit(0);
}

void CloseBoth(int ends[2]) {
  close(ends[0]);
  close(ends[1]);
}

}  // namespace

ThreadHold::ThreadHold(ThreadId thread) {
  if (thread == 0 || thread == static_cast<ThreadId>(syscall(SYS_gettid))) return;
  int go[2];
  int ready[2];
  if (pipe2(go, O_CLOEXEC) != 0) return;
  if (pipe2(ready, O_CLOEXEC) != 0) {
    CloseBoth(go);
    return;
  }
  const pid_t child = fork();
  if (child == 0) {
    close(go[1]);
    close(ready[0]);
    Trace(static_cast<pid_t>(thread), go[0], ready[1]);
  }
  close(go[0]);
  close(ready[1]);
  if (child < 0) {
    close(go[1]);
    close(ready[0]);
    return;
  }
  tracer_ = child;
  release_ = go[1];
  // Where Yama lets a process trace only its descendants, this child may trace its parent.
  prctl(PR_SET_PTRACER, static_cast<unsigned long>(child), 0, 0, 0);
  char byte = 0;
  pollfd answer{ready[0], POLLIN, 0};
  holding_ = write(release_, "g", 1) == 1 && poll(&answer, 1, kStopPatienceMilliseconds) == 1 &&
             read(ready[0], &byte, 1) == 1;
  close(ready[0]);
  // A thread that does not stop in time leaves a child waiting for it.
  if (!holding_) kill(child, SIGKILL);
}

ThreadHold::~ThreadHold() {
  if (tracer_ == 0) return;
  close(release_);
  int status = 0;
  while (waitpid(tracer_, &status, 0) < 0 && errno == EINTR) {
  }
  prctl(PR_SET_PTRACER, 0UL, 0, 0, 0);
}

}  // namespace Platform
