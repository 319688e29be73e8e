#include "platform/fault_hooks.h"

#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <iterator>

#include "platform/posix/cpu_context.h"

// Faults arrive as signals. The handler runs on the thread's alternate stack, so that a stack
// overflow, which leaves no room on the thread's own stack, is reported too.
namespace Platform {
namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
// Room for the handler and the hook: the hook hands the fault over and waits, but the
// platform's own signal frame on x86-64 with its vector state alone takes several KiB.
constexpr std::size_t kAlternateStackSize = 64 * 1024;
// A fault this close below the thread's stack counts as running into its guard.
constexpr std::uint64_t kGuardReach = 1024 * 1024;

std::atomic<TFaultHook> gHook{nullptr};
std::atomic<TForkedChildHook> gForkedChildHook{nullptr};
struct sigaction gPrevious[std::size(kFaultSignals)];
bool gInstalled = false;
pthread_once_t gForkHandlerOnce = PTHREAD_ONCE_INIT;

// Per thread: the alternate stack this code gave it, and the low end of its own stack.
thread_local void* tAlternateStack = nullptr;
thread_local std::uint64_t tStackLow = 0;
// The main thread's low end is found later (NoteMainThreadStack): for it the system reads the
// process's memory map, which costs more than the rest of the reporter's start together.
std::atomic<std::uint64_t> gMainStackLow{0};
std::atomic<bool> gMainThreadKnown{false};
pthread_t gMainThread;

bool OnMainThread() {
  return syscall(SYS_gettid) == getpid();
}

std::uint64_t Value(const void* pointer) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

TFaultKind KindOf(int signal, int code) {
  switch (signal) {
    case SIGFPE:
      switch (code) {
        case FPE_INTDIV:
          return TFaultKind::IntDivideByZero;
        case FPE_INTOVF:
          return TFaultKind::IntOverflow;
        case FPE_FLTDIV:
          return TFaultKind::FloatDivideByZero;
        case FPE_FLTOVF:
          return TFaultKind::FloatOverflow;
        case FPE_FLTUND:
          return TFaultKind::FloatUnderflow;
        case FPE_FLTRES:
          return TFaultKind::FloatInexact;
        case FPE_FLTINV:
          return TFaultKind::FloatInvalidOperation;
        default:
          return TFaultKind::Other;
      }
    case SIGILL:
      return code == ILL_PRVOPC || code == ILL_PRVREG ? TFaultKind::PrivilegedInstruction
                                                      : TFaultKind::IllegalInstruction;
    case SIGSEGV:
    case SIGBUS:
      return TFaultKind::AccessViolation;
    case SIGABRT:
      return TFaultKind::Abort;
    default:
      return TFaultKind::Other;
  }
}

// A bad access just below the thread's stack, or right at its stack pointer, is the stack
// running out.
bool IsStackOverflow(const TFaultInfo& fault) {
  const std::uint64_t address = fault.DataAddress;
  const std::uint64_t low =
      tStackLow != 0 ? tStackLow : (OnMainThread() ? gMainStackLow.load() : 0);
  if (low != 0 && address < low + 4096 && address + kGuardReach >= low) return true;
  const std::uint64_t sp = fault.Context.Sp;
  return fault.HasContext && address < sp + 256 && address + 64 * 1024 >= sp;
}

TFaultAccess AccessOf(const ucontext_t& context, const TFaultInfo& fault) {
  if (fault.DataAddress == fault.Address) return TFaultAccess::Execute;
  // The page-fault error code of x86: bit 1 a write, bit 4 an instruction fetch.
  const auto error = static_cast<std::uint64_t>(context.uc_mcontext.gregs[REG_ERR]);
  if (error & 0x10) return TFaultAccess::Execute;
  return error & 0x2 ? TFaultAccess::Write : TFaultAccess::Read;
}

void OnFault(int signal, siginfo_t* info, void* raw) {
  const TFaultHook hook = gHook.load();
  if (hook != nullptr) {
    TFaultInfo fault;
    fault.Code = static_cast<std::uint32_t>(signal);
    fault.Kind = KindOf(signal, info->si_code);
    fault.Thread = static_cast<ThreadId>(syscall(SYS_gettid));
    if (raw != nullptr) {
      const auto& context = *static_cast<const ucontext_t*>(raw);
      Posix::CopyRegisters(context, fault.Context);
      fault.HasContext = true;
      fault.Address = fault.Context.Ip;
      if (signal == SIGSEGV || signal == SIGBUS) {
        fault.DataAddress = Value(info->si_addr);
        fault.Access = AccessOf(context, fault);
        if (IsStackOverflow(fault)) fault.Kind = TFaultKind::StackOverflow;
      }
    }
    hook(fault);
  }
  // Given back: the system's own action ends the process, with its usual exit status and core.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  raise(signal);
}

void RestorePreviousHandling() {
  if (!gInstalled) return;
  for (std::size_t i = 0; i < std::size(kFaultSignals); ++i)
    sigaction(kFaultSignals[i], &gPrevious[i], nullptr);
  gInstalled = false;
}

// In the child of a fork: sigaction and atomic stores only.
void ForgetHookInChild() {
  gHook.store(nullptr);
  RestorePreviousHandling();
  if (const TForkedChildHook hook = gForkedChildHook.load()) hook();
}

void RegisterForkHandler() {
  pthread_atfork(nullptr, nullptr, &ForgetHookInChild);
}

std::uint64_t StackLowOf(pthread_t thread) {
  pthread_attr_t attributes;
  if (pthread_getattr_np(thread, &attributes) != 0) return 0;
  void* low = nullptr;
  std::size_t size = 0;
  const bool known = pthread_attr_getstack(&attributes, &low, &size) == 0;
  pthread_attr_destroy(&attributes);
  return known ? Value(low) : 0;
}

}  // namespace

bool InstallFaultHook(TFaultHook hook) {
  gHook.store(hook);
  if (gInstalled) return true;
  pthread_once(&gForkHandlerOnce, &RegisterForkHandler);
  // Without it only this thread's own stack overflow goes unreported.
  (void)PrepareThreadForFaults();
  struct sigaction action {};
  action.sa_sigaction = OnFault;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  // A fault inside the hook must not run the hook again: with every fault signal blocked
  // while it runs, the system ends the process instead.
  sigemptyset(&action.sa_mask);
  for (int signal : kFaultSignals) sigaddset(&action.sa_mask, signal);
  for (std::size_t i = 0; i < std::size(kFaultSignals); ++i) {
    if (sigaction(kFaultSignals[i], &action, &gPrevious[i]) != 0) {
      while (i-- > 0) sigaction(kFaultSignals[i], &gPrevious[i], nullptr);
      gHook.store(nullptr);
      return false;
    }
  }
  gInstalled = true;
  return true;
}

void RemoveFaultHook() {
  RestorePreviousHandling();
  gHook.store(nullptr);
}

void SetForkedChildHook(TForkedChildHook hook) {
  gForkedChildHook.store(hook);
}

bool PrepareThreadForFaults() {
  if (!OnMainThread()) {
    if (tStackLow == 0) tStackLow = StackLowOf(pthread_self());
  } else if (!gMainThreadKnown.load()) {
    gMainThread = pthread_self();
    gMainThreadKnown.store(true);
  }
  if (tAlternateStack != nullptr) return true;
  void* memory = mmap(nullptr, kAlternateStackSize, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return false;
  stack_t stack{};
  stack.ss_sp = memory;
  stack.ss_size = kAlternateStackSize;
  if (sigaltstack(&stack, nullptr) != 0) {
    munmap(memory, kAlternateStackSize);
    return false;
  }
  tAlternateStack = memory;
  return true;
}

void ReleaseThreadFaults() {
  if (tAlternateStack == nullptr) return;
  stack_t stack{};
  stack.ss_flags = SS_DISABLE;
  if (sigaltstack(&stack, nullptr) == 0) munmap(tAlternateStack, kAlternateStackSize);
  tAlternateStack = nullptr;
}

void NoteMainThreadStack() {
  if (gMainThreadKnown.load() && gMainStackLow.load() == 0)
    gMainStackLow.store(StackLowOf(gMainThread));
}

void SetThreadNameHook(TThreadNameHook) {}

// The raw exit of the thread alone: the kernel clears its id so that a join still returns, and
// nothing of the stack that failed is unwound. The C library never learns of the end, so the
// thread-specific values are cleared here first: a thread started later on the reused stack
// would find them as its own otherwise. Only existing values are cleared, which allocates
// nothing; their destructors do not run, as nothing else of the thread is released.
void ExitCurrentThread() {
  for (unsigned key = 0; key < PTHREAD_KEYS_MAX; ++key) {
    if (pthread_getspecific(key) != nullptr) pthread_setspecific(key, nullptr);
  }
  for (;;) syscall(SYS_exit, 0);
}

}  // namespace Platform
