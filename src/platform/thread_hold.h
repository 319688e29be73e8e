#pragma once

#include "platform/threads.h"

namespace Platform {

// Holds another thread of this process stopped while the object lives, as a debugger does,
// so that tests can see how a stopped thread is reported. Windows suspends it; POSIX has a
// child process stop it by tracing it (Linux lets no thread trace its own process). A held
// thread that the holder loses, by a crash of either side, runs on.
class ThreadHold {
 public:
  explicit ThreadHold(ThreadId thread);
  ~ThreadHold();
  ThreadHold(const ThreadHold&) = delete;
  ThreadHold& operator=(const ThreadHold&) = delete;

  // False when the thread could not be stopped: the calling thread, a thread that has gone,
  // or a system that does not allow it (tracing refused, or not emulated under qemu).
  [[nodiscard]] bool IsHolding() const { return holding_; }

 private:
  bool holding_ = false;
  // Windows: the thread's handle. POSIX: the tracing child's id and the pipe end whose
  // closing lets it go.
  void* handle_ = nullptr;
  int tracer_ = 0;
  int release_ = -1;
};

}  // namespace Platform
