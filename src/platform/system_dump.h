#pragma once

#include <cstdint>
#include <string>

#include "platform/threads.h"

// The system's own crash dump writer, where the system has one (Windows: MiniDumpWriteDump of
// dbghelp.dll, loaded from the system folder only). Where it has none the program writes its
// dumps itself.
namespace Platform {

struct TSystemDumpException {
  ThreadId Thread = 0;
  // Windows: the exception code; 0 for an exception of the program (the dump then shows a
  // code of the program's own).
  std::uint32_t Code = 0;
  std::uint64_t Address = 0;  // the failing instruction
  // A bad memory access: the address it touched and whether by a write.
  std::uint64_t DataAddress = 0;
  bool Write = false;
  // The failing thread's registers at the fault or where the exception was raised.
  TThreadContext Context;
};

[[nodiscard]] bool SystemDumpWriterAvailable();

// Writes the dump of this process to path (replacing what is there) with the failing thread's
// exception, from the calling thread. False when there is no system writer, it cannot be
// loaded, the file cannot be made or the writer fails; a partial file is removed.
[[nodiscard]] bool WriteSystemDump(const std::string& path, const TSystemDumpException& exception);

}  // namespace Platform
