#include "platform/thread_hooks.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <new>

#include "platform/fault_hooks.h"

// The executable's import entries of the C runtime's _beginthreadex (which the C++ runtime's
// threads use) and of CreateThread are pointed at wrappers that start the thread at a
// trampoline of ours, which then calls the thread's own function.
namespace Platform {
namespace {

using TBeginThreadEx = std::uintptr_t(__cdecl*)(void*, unsigned, unsigned(__stdcall*)(void*), void*,
                                                unsigned, unsigned*);
using TCreateThread = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID,
                                      DWORD, LPDWORD);

std::atomic<TThreadStartedHook> gStarted{nullptr};
std::atomic<TThreadEndedHook> gEnded{nullptr};
std::atomic<bool> gActive{false};
TBeginThreadEx gBeginThreadEx = nullptr;
TCreateThread gCreateThread = nullptr;

struct TStartRecord {
  unsigned(__stdcall* CrtFunction)(void*) = nullptr;
  LPTHREAD_START_ROUTINE Function = nullptr;
  void* Argument = nullptr;
  TThreadStart Start;
};

TStartRecord* NewRecord(void* caller) {
  auto* record = new (std::nothrow) TStartRecord;
  if (record != nullptr) {
    record->Start.Creator = GetCurrentThreadId();
    record->Start.CreatorAddress = reinterpret_cast<std::uintptr_t>(caller);
  }
  return record;
}

// The C runtime's threads end through _endthreadex from inside their own start routine, so
// the end is taken where every way out passes: the thread's fiber-local storage, whose callback
// runs on the thread as it exits.
void WINAPI OnThreadExit(void*) {
  if (const TThreadEndedHook ended = gEnded.load()) ended(GetCurrentThreadId());
}

DWORD ExitNoticeSlot() {
  static const DWORD slot = FlsAlloc(OnThreadExit);
  return slot;
}

template <typename Result>
Result RunRecord(void* raw) {
  const TStartRecord record = *static_cast<TStartRecord*>(raw);
  delete static_cast<TStartRecord*>(raw);
  // Without it only this thread's own stack overflow goes unreported.
  (void)PrepareThreadForFaults();
  TThreadStart start = record.Start;
  start.Thread = GetCurrentThreadId();
  if (const TThreadStartedHook started = gStarted.load()) started(start);
  if (ExitNoticeSlot() != FLS_OUT_OF_INDEXES) FlsSetValue(ExitNoticeSlot(), &gEnded);
  if (record.CrtFunction != nullptr) return record.CrtFunction(record.Argument);
  return record.Function(record.Argument);
}

unsigned __stdcall RunCrtThread(void* raw) {
  return RunRecord<unsigned>(raw);
}

DWORD WINAPI RunSystemThread(LPVOID raw) {
  return RunRecord<DWORD>(raw);
}

std::uintptr_t __cdecl HookedBeginThreadEx(void* security, unsigned stackSize,
                                           unsigned(__stdcall* function)(void*), void* argument,
                                           unsigned flags, unsigned* id) {
  TStartRecord* record = gActive.load() ? NewRecord(__builtin_return_address(0)) : nullptr;
  if (record == nullptr) return gBeginThreadEx(security, stackSize, function, argument, flags, id);
  record->CrtFunction = function;
  record->Argument = argument;
  const std::uintptr_t handle =
      gBeginThreadEx(security, stackSize, RunCrtThread, record, flags, id);
  if (handle == 0) delete record;
  return handle;
}

HANDLE WINAPI HookedCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize,
                                 LPTHREAD_START_ROUTINE function, LPVOID argument, DWORD flags,
                                 LPDWORD id) {
  TStartRecord* record = gActive.load() ? NewRecord(__builtin_return_address(0)) : nullptr;
  if (record == nullptr) return gCreateThread(security, stackSize, function, argument, flags, id);
  record->Function = function;
  record->Argument = argument;
  HANDLE handle = gCreateThread(security, stackSize, RunSystemThread, record, flags, id);
  if (handle == nullptr) delete record;
  return handle;
}

// Points every import entry of the executable that holds `original` at `replacement`.
bool RedirectImports(void* original, void* replacement) {
  if (original == nullptr) return false;
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return false;
  bool redirected = false;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       entry->Name != 0; ++entry) {
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
         slot->u1.Function != 0; ++slot) {
      if (reinterpret_cast<void*>(slot->u1.Function) != original) continue;
      DWORD protection = 0;
      if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE,
                          &protection))
        continue;
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
      redirected = true;
    }
  }
  return redirected;
}

void* Export(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  return handle != nullptr ? reinterpret_cast<void*>(GetProcAddress(handle, name)) : nullptr;
}

bool RedirectOnce() {
  static const bool redirected = [] {
    gCreateThread = reinterpret_cast<TCreateThread>(Export(L"kernel32.dll", "CreateThread"));
    for (const wchar_t* runtime : {L"msvcrt.dll", L"ucrtbase.dll"}) {
      gBeginThreadEx = reinterpret_cast<TBeginThreadEx>(Export(runtime, "_beginthreadex"));
      if (gBeginThreadEx != nullptr) break;
    }
    bool any = false;
    if (gBeginThreadEx != nullptr)
      any |= RedirectImports(reinterpret_cast<void*>(gBeginThreadEx),
                             reinterpret_cast<void*>(&HookedBeginThreadEx));
    if (gCreateThread != nullptr)
      any |= RedirectImports(reinterpret_cast<void*>(gCreateThread),
                             reinterpret_cast<void*>(&HookedCreateThread));
    return any;
  }();
  return redirected;
}

}  // namespace

bool InstallThreadHooks(TThreadStartedHook started, TThreadEndedHook ended) {
  if (!RedirectOnce() || ExitNoticeSlot() == FLS_OUT_OF_INDEXES) return false;
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
