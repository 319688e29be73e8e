#include "platform/thread_hooks.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <new>

#include "platform/fault_hooks.h"

// A sanitizer whose runtime is linked into the executable (clang's way) takes pthread_create
// under this name. The next module's pthread_create would pass it by, and the sanitizer would
// not know the thread: its stack unscanned for pointers (so false leaks), its reports without it.
extern "C" int __interceptor_pthread_create(pthread_t*, const pthread_attr_t*, void* (*)(void*),
                                            void*) __attribute__((weak));

// The executable's own pthread_create takes the place of the thread library's for every
// module of the process (the dynamic linker looks in the executable first), so threads that
// the C++ runtime starts come here too. It forwards to the library's function.
namespace Platform {
namespace {

using TCreate = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

std::atomic<TThreadStartedHook> gStarted{nullptr};
std::atomic<TThreadEndedHook> gEnded{nullptr};
std::atomic<bool> gActive{false};

TCreate LibraryCreate() {
  static const auto create = &__interceptor_pthread_create != nullptr
                                 ? &__interceptor_pthread_create
                                 : reinterpret_cast<TCreate>(dlsym(RTLD_NEXT, "pthread_create"));
  return create;
}

struct TStartRecord {
  void* (*Function)(void*);
  void* Argument;
  TThreadStart Start;
};

// Runs when the function returns and when the thread library unwinds the thread early.
struct TEndNotice {
  ~TEndNotice() {
    if (const TThreadEndedHook ended = gEnded.load()) ended(CurrentThreadId());
    ReleaseThreadFaults();
  }
};

void* RunThread(void* raw) {
  const TStartRecord record = *static_cast<TStartRecord*>(raw);
  delete static_cast<TStartRecord*>(raw);
  // Without it only this thread's own stack overflow goes unreported.
  (void)PrepareThreadForFaults();
  TThreadStart start = record.Start;
  start.Thread = CurrentThreadId();
  if (const TThreadStartedHook started = gStarted.load()) started(start);
  const TEndNotice notice;
  return record.Function(record.Argument);
}

}  // namespace

bool InstallThreadHooks(TThreadStartedHook started, TThreadEndedHook ended) {
  if (LibraryCreate() == nullptr) return false;
  gStarted.store(started);
  gEnded.store(ended);
  gActive.store(true);
  return true;
}

void RemoveThreadHooks() {
  gActive.store(false);
  gStarted.store(nullptr);
}

}  // namespace Platform

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*function)(void*), void* argument) {
  using namespace Platform;
  const TCreate create = LibraryCreate();
  if (create == nullptr) return EAGAIN;
  if (!gActive.load()) return create(thread, attributes, function, argument);
  auto* record = new (std::nothrow) TStartRecord{function, argument, {}};
  if (record == nullptr) return create(thread, attributes, function, argument);
  record->Start.Creator = CurrentThreadId();
  record->Start.CreatorAddress =
      reinterpret_cast<std::uintptr_t>(__builtin_extract_return_addr(__builtin_return_address(0)));
  const int result = create(thread, attributes, RunThread, record);
  if (result != 0) delete record;
  return result;
}
