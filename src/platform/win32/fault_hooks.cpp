#include "platform/fault_hooks.h"

#include <windows.h>

#include <atomic>
#include <csignal>

#include "platform/win32/cpu_context.h"

// Faults arrive as structured exceptions. The unhandled-exception filter sees those nothing
// handled; a stack overflow is taken in a vectored handler, which runs before any frame
// handler needs stack. An abort of the C runtime arrives as its SIGABRT.
namespace Platform {
namespace {

constexpr DWORD kThreadNameRequest = 0x406D1388;
constexpr ULONG kStackGuarantee = 64 * 1024;

std::atomic<TFaultHook> gHook{nullptr};
std::atomic<TThreadNameHook> gNameHook{nullptr};
LPTOP_LEVEL_EXCEPTION_FILTER gPreviousFilter = nullptr;
PVOID gVectored = nullptr;
void (*gPreviousAbort)(int) = SIG_DFL;
bool gInstalled = false;

TFaultKind KindOf(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
      return TFaultKind::AccessViolation;
    case EXCEPTION_STACK_OVERFLOW:
      return TFaultKind::StackOverflow;
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
      return TFaultKind::IntDivideByZero;
    case EXCEPTION_INT_OVERFLOW:
      return TFaultKind::IntOverflow;
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
      return TFaultKind::FloatDivideByZero;
    case EXCEPTION_FLT_OVERFLOW:
      return TFaultKind::FloatOverflow;
    case EXCEPTION_FLT_UNDERFLOW:
      return TFaultKind::FloatUnderflow;
    case EXCEPTION_FLT_INEXACT_RESULT:
      return TFaultKind::FloatInexact;
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_STACK_CHECK:
      return TFaultKind::FloatInvalidOperation;
    case EXCEPTION_ILLEGAL_INSTRUCTION:
      return TFaultKind::IllegalInstruction;
    case EXCEPTION_PRIV_INSTRUCTION:
      return TFaultKind::PrivilegedInstruction;
    default:
      return TFaultKind::Other;
  }
}

TFaultInfo FaultOf(const EXCEPTION_POINTERS& pointers) {
  const EXCEPTION_RECORD& record = *pointers.ExceptionRecord;
  TFaultInfo fault;
  fault.Code = record.ExceptionCode;
  fault.Kind = KindOf(record.ExceptionCode);
  fault.Address = reinterpret_cast<std::uintptr_t>(record.ExceptionAddress);
  fault.Thread = GetCurrentThreadId();
  if (pointers.ContextRecord != nullptr) {
    fault.Context = Win32::FromContext(*pointers.ContextRecord);
    fault.HasContext = true;
  }
  if ((record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION ||
       record.ExceptionCode == EXCEPTION_IN_PAGE_ERROR) &&
      record.NumberParameters >= 2) {
    fault.DataAddress = record.ExceptionInformation[1];
    switch (record.ExceptionInformation[0]) {
      case 0:
        fault.Access = TFaultAccess::Read;
        break;
      case 1:
        fault.Access = TFaultAccess::Write;
        break;
      case 8:
        fault.Access = TFaultAccess::Execute;
        break;
      default:
        break;
    }
  }
  return fault;
}

LONG WINAPI OnUnhandled(EXCEPTION_POINTERS* pointers) {
  const TFaultHook hook = gHook.load();
  if (hook != nullptr && pointers != nullptr && pointers->ExceptionRecord != nullptr)
    hook(FaultOf(*pointers));
  return EXCEPTION_CONTINUE_SEARCH;
}

// The name request: { type 0x1000, UTF-8 name, thread id or -1 for the caller, flags }.
bool TakeThreadName(const EXCEPTION_RECORD& record) {
  const TThreadNameHook hook = gNameHook.load();
  if (hook == nullptr || record.NumberParameters < 3 || record.ExceptionInformation[0] != 0x1000)
    return false;
  const auto* name = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
  const auto thread = static_cast<DWORD>(record.ExceptionInformation[2]);
  if (name == nullptr || IsBadStringPtrA(name, 256)) return false;
  hook(thread == static_cast<DWORD>(-1) ? GetCurrentThreadId() : thread, name);
  return true;
}

LONG WINAPI OnFirstChance(EXCEPTION_POINTERS* pointers) {
  if (pointers == nullptr || pointers->ExceptionRecord == nullptr) return EXCEPTION_CONTINUE_SEARCH;
  const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
  if (record.ExceptionCode == kThreadNameRequest && TakeThreadName(record))
    return EXCEPTION_CONTINUE_EXECUTION;
  if (record.ExceptionCode == EXCEPTION_STACK_OVERFLOW) {
    const TFaultHook hook = gHook.load();
    if (hook != nullptr) hook(FaultOf(*pointers));
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

void OnAbort(int) {
  const TFaultHook hook = gHook.load();
  if (hook == nullptr) return;
  CONTEXT context{};
  RtlCaptureContext(&context);
  TFaultInfo fault;
  fault.Code = SIGABRT;
  fault.Kind = TFaultKind::Abort;
  fault.Context = Win32::FromContext(context);
  fault.HasContext = true;
  fault.Address = fault.Context.Ip;
  fault.Thread = GetCurrentThreadId();
  hook(fault);
}

}  // namespace

bool InstallFaultHook(TFaultHook hook) {
  gHook.store(hook);
  if (gInstalled) return true;
  // Without it only this thread's own stack overflow goes unreported.
  (void)PrepareThreadForFaults();
  if (gVectored == nullptr) gVectored = AddVectoredExceptionHandler(1, OnFirstChance);
  gPreviousFilter = SetUnhandledExceptionFilter(OnUnhandled);
  gPreviousAbort = std::signal(SIGABRT, OnAbort);
  gInstalled = true;
  return gVectored != nullptr;
}

void RemoveFaultHook() {
  if (gInstalled) {
    SetUnhandledExceptionFilter(gPreviousFilter);
    // The vectored handler stays while it still takes thread names.
    if (gVectored != nullptr && gNameHook.load() == nullptr) {
      RemoveVectoredExceptionHandler(gVectored);
      gVectored = nullptr;
    }
    std::signal(SIGABRT, gPreviousAbort == SIG_ERR ? SIG_DFL : gPreviousAbort);
    gInstalled = false;
  }
  gHook.store(nullptr);
}

bool PrepareThreadForFaults() {
  ULONG size = kStackGuarantee;
  return SetThreadStackGuarantee(&size) != FALSE;
}

void ReleaseThreadFaults() {}

// The system tells a stack overflow by its own exception code.
void NoteMainThreadStack() {}

// No fork on Windows: a child process starts afresh and installs its own hook.
void SetForkedChildHook(TForkedChildHook) {}

void SetThreadNameHook(TThreadNameHook hook) {
  gNameHook.store(hook);
  // The name requests are taken in the vectored handler, which must exist for them.
  if (hook != nullptr && gVectored == nullptr)
    gVectored = AddVectoredExceptionHandler(1, OnFirstChance);
}

void ExitCurrentThread() {
  ExitThread(0);
}

}  // namespace Platform
