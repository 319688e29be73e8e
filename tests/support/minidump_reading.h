#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reads back what a crash dump says, for the tests: the format's header and directory, the
// thread list and the exception; and the same dump as an independent debugger reads it.
namespace TestSupport {

struct TMinidump {
  bool valid = false;  // signature, version and a directory inside the file
  std::vector<std::uint32_t> streamTypes;
  std::vector<std::uint32_t> threadIds;
  std::optional<std::uint32_t> exceptionThread;
  std::uint32_t exceptionCode = 0;
  std::uint64_t exceptionAddress = 0;
};

TMinidump ReadMinidump(const std::string& bytes);

// LLDB's batch output for the dump opened with the program: its thread list and every
// thread's backtrace. None where no LLDB can be run.
std::optional<std::string> DebuggerView(const std::string& dump, const std::string& program);

// The backtrace of the thread the debugger stopped at (the failing thread): the lines of
// "bt all" from the thread marked "*" to the next thread.
std::string StoppedThreadBacktrace(const std::string& debuggerOutput);
// How many threads the debugger lists.
std::size_t DebuggerThreadCount(const std::string& debuggerOutput);

}  // namespace TestSupport
