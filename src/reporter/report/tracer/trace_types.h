#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What goes into a stack trace and what comes out of it.
namespace Reporter::Tracer {

// Code and stack addresses of this process; pointer-sized values held in 64 bits so that one
// tracer serves the 32-bit and the 64-bit builds.
using Address = std::uint64_t;

// One call-stack line as the bug report shows it.
struct TStackItem {
  Address Addr = 0;     // the call instruction (or the exception address)
  Address relAddr = 0;  // Addr minus the start of its function, 0 when unknown
  std::string ModuleName;
  std::string UnitName;
  int Line = 0;     // source line, 0 when unknown
  int relLine = 0;  // lines from the function's first line
  std::string FunctionName;
};
using TStackTrace = std::vector<TStackItem>;

// A resolved code location.
struct TFinalOutput {
  Address Addr = 0;
  std::string ModuleName;
  std::string UnitName;
  int Line = 0;
  std::string PublicName;  // the function as a call stack shows it (its unit is UnitName)
  Address PublicAddr = 0;  // the function's entry, 0 when unknown
  int PublicLine = 0;      // line of the function's entry, 0 when unknown
  int RelLine = 0;         // Line - PublicLine when both are known and wanted
};

// An address captured when the exception was raised; sure ones are kept by every stage.
struct TPreparedEntry {
  Address Addr = 0;
  bool Sure = false;
};

// The thread to trace. A stackBottom of 0 traces the calling thread from its current
// stack pointer.
struct TThreadTraceInput {
  std::uint32_t tid = 0;
  Address stackBottom = 0;
  Address stackTop = 0;
  Address ebp = 0;
  Address exceptAddr = 0;
  bool exceptThread = false;
  bool extException = false;
  bool bcbTermination = false;
  Address creatorAddr = 0;
  std::vector<TPreparedEntry> preparedStack;
};

struct TTraceOptions {
  bool HideUglyItems = false;
  bool ShowRelAddrs = true;
  bool ShowRelLines = true;
  // Positions 0..1000 of this thread's trace; may be empty.
  std::function<void(int)> Progress;
  // Set by another thread to end the trace early with what has been found.
  const std::atomic<bool>* Abort = nullptr;
  // Called with each stage's name before it runs; tests make a stage fail by throwing here.
  std::function<void(const char* stage)> BeforeStage;
};

struct TTraceResult {
  std::vector<TFinalOutput> Items;  // newest first
  Address NewestAddress = 0;        // location of the newest item, 0 when there is none
  // "<module file name>|<minimal debug information>" of every module resolved through
  // symbol data, without duplicates.
  std::vector<std::string> DebugInfos;
  // Empty, or the stage in which the trace failed ("CollectPossibleStackItems", ...).
  std::string FailedStage;
  // Where the failing stage's exception was raised; 0 when that is not known.
  Address FailureAddress = 0;
};

}  // namespace Reporter::Tracer
