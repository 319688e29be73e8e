#include "platform/system_dump.h"

#include <windows.h>
// dbghelp.h needs the declarations of windows.h first.
#include <dbghelp.h>

#include "platform/win32/utf16.h"

namespace Platform {
namespace {

using MiniDumpWriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                                PMINIDUMP_EXCEPTION_INFORMATION,
                                                PMINIDUMP_USER_STREAM_INFORMATION,
                                                PMINIDUMP_CALLBACK_INFORMATION);

// The program's own exceptions have no system code: this one says "an exception of the
// program" to whoever reads the dump ("UPD" in the customer range of codes).
constexpr DWORD kProgramExceptionCode = 0xE0555044;

using SymInitializeFunction = BOOL(WINAPI*)(HANDLE, PCWSTR, BOOL);
using SymCleanupFunction = BOOL(WINAPI*)(HANDLE);

struct TDumpWriter {
  MiniDumpWriteDumpFunction Write = nullptr;
  // Wine's writer first loads the symbols of every module of a process that dbghelp does not
  // know yet, seconds per dump; a process registered without its modules spares that. Windows'
  // writer needs neither call, and both are cheap there.
  SymInitializeFunction Register = nullptr;
  SymCleanupFunction Unregister = nullptr;
};

// By its full path in the system folder: a DLL of the same name beside the program would
// otherwise be found first and run inside it.
const TDumpWriter& LoadWriter() {
  static const TDumpWriter writer = []() -> TDumpWriter {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::wstring path(folder, length);
    path += L"\\dbghelp.dll";
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) return {};
    const auto find = [module](const char* name) {
      return reinterpret_cast<void*>(GetProcAddress(module, name));
    };
    TDumpWriter found;
    found.Write = reinterpret_cast<MiniDumpWriteDumpFunction>(find("MiniDumpWriteDump"));
    found.Register = reinterpret_cast<SymInitializeFunction>(find("SymInitializeW"));
    found.Unregister = reinterpret_cast<SymCleanupFunction>(find("SymCleanup"));
    return found;
  }();
  return writer;
}

// The calling thread's segment and floating-point state with the failing thread's integer and
// control registers, which are all that the report carries.
CONTEXT ContextOf(const TThreadContext& registers) {
  CONTEXT context{};
  RtlCaptureContext(&context);
#if defined(__x86_64__) || defined(_M_X64)
  context.Rax = registers.Ax;
  context.Rbx = registers.Bx;
  context.Rcx = registers.Cx;
  context.Rdx = registers.Dx;
  context.Rsi = registers.Si;
  context.Rdi = registers.Di;
  context.R8 = registers.R8;
  context.R9 = registers.R9;
  context.R10 = registers.R10;
  context.R11 = registers.R11;
  context.R12 = registers.R12;
  context.R13 = registers.R13;
  context.R14 = registers.R14;
  context.R15 = registers.R15;
  context.Rip = registers.Ip;
  context.Rsp = registers.Sp;
  context.Rbp = registers.Bp;
#else
  context.Eax = static_cast<DWORD>(registers.Ax);
  context.Ebx = static_cast<DWORD>(registers.Bx);
  context.Ecx = static_cast<DWORD>(registers.Cx);
  context.Edx = static_cast<DWORD>(registers.Dx);
  context.Esi = static_cast<DWORD>(registers.Si);
  context.Edi = static_cast<DWORD>(registers.Di);
  context.Eip = static_cast<DWORD>(registers.Ip);
  context.Esp = static_cast<DWORD>(registers.Sp);
  context.Ebp = static_cast<DWORD>(registers.Bp);
#endif
  context.EFlags = static_cast<DWORD>(registers.Flags);
  return context;
}

}  // namespace

bool SystemDumpWriterAvailable() {
  return true;
}

bool WriteSystemDump(const std::string& path, const TSystemDumpException& exception) {
  const TDumpWriter& writer = LoadWriter();
  if (writer.Write == nullptr) return false;
  const std::wstring widePath = Win32::ToUtf16(path);
  HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;

  CONTEXT context = ContextOf(exception.Context);
  EXCEPTION_RECORD record{};
  record.ExceptionCode = exception.Code != 0 ? exception.Code : kProgramExceptionCode;
  record.ExceptionAddress = reinterpret_cast<void*>(static_cast<std::uintptr_t>(exception.Address));
  if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION) {
    record.NumberParameters = 2;
    record.ExceptionInformation[0] = exception.Write ? 1 : 0;
    record.ExceptionInformation[1] = static_cast<ULONG_PTR>(exception.DataAddress);
  }
  EXCEPTION_POINTERS pointers{&record, &context};
  MINIDUMP_EXCEPTION_INFORMATION information{};
  information.ThreadId = exception.Thread;
  information.ExceptionPointers = &pointers;
  information.ClientPointers = FALSE;
  const HANDLE process = GetCurrentProcess();
  const bool registered = writer.Register != nullptr && writer.Unregister != nullptr &&
                          writer.Register(process, nullptr, FALSE) != FALSE;
  const bool written =
      writer.Write(process, GetCurrentProcessId(), file, MiniDumpNormal,
                   exception.Thread != 0 ? &information : nullptr, nullptr, nullptr) != FALSE;
  if (registered) writer.Unregister(process);
  CloseHandle(file);
  if (!written) DeleteFileW(widePath.c_str());
  return written;
}

}  // namespace Platform
