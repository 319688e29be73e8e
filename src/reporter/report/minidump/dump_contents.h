#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/dump_facts.h"
#include "platform/threads.h"

// What a crash dump holds, gathered from the process and not yet laid out in the file.
namespace Reporter::Report::Minidump {

struct TDumpThread {
  std::uint32_t Id = 0;
  Platform::TThreadContext Context;
  // The stack from the stack pointer up, as far as it could be read within the cap.
  std::uint64_t StackStart = 0;
  std::vector<std::uint8_t> Stack;
};

struct TDumpException {
  std::uint32_t ThreadId = 0;
  // Linux dumps: the signal number (0 for an exception of the program, which no signal
  // raised), the signal's code, and the address it is about (a bad access: the data address).
  std::uint32_t Code = 0;
  std::uint32_t Flags = 0;
  std::uint64_t Address = 0;
  Platform::TThreadContext Context;
};

struct TDumpContents {
  Platform::TDumpSystem System;
  std::vector<TDumpThread> Threads;
  std::optional<TDumpException> Exception;
  std::vector<Platform::TDumpModule> Modules;
  std::string MemoryMap;
  std::string ProcessStatus;
};

// The most of a thread's stack a dump keeps, from the stack pointer up: the frames a debugger
// walks are near it, and a dump of many threads stays small.
inline constexpr std::size_t kStackCapBytes = 64 * 1024;

// The failing thread as the report knows it: the context of the fault, or of the point where
// the program's exception was raised with the stack as it was then (empty: read it live).
struct TFailingThread {
  Platform::ThreadId Id = 0;
  std::optional<Platform::TThreadContext> Context;
  std::vector<std::uint8_t> StackSnapshot;
  std::uint32_t Code = 0;
  std::uint32_t Flags = 0;
  std::uint64_t Address = 0;     // a bad access: the data address it touched
  std::uint64_t ExceptAddr = 0;  // the failing instruction
  bool Write = false;            // a bad access: by a write
};

// Every thread of the process with its context and stack, the modules, the system and the
// memory map. A thread whose context cannot be had is listed with its registers zero and no
// stack; a stack that cannot be read is cut where the read fails.
TDumpContents GatherDumpContents(const TFailingThread& failing);

// The readable part of [start, start + size), read in pages through reads that never fault:
// the bytes from start up to the first page that fails.
std::vector<std::uint8_t> ReadStack(std::uint64_t start, std::uint64_t top);

}  // namespace Reporter::Report::Minidump
