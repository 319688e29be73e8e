#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "reporter/report/tracer/memory_view.h"

// Finds the code of one function by following its control flow from the entry point, and
// lists the calls and jumps that leave it.
namespace Reporter::Tracer {

struct TCodeArea {
  Address Begin = 0;
  Address End = 0;  // one past the last byte
};

// A call or jump out of the function with a known target.
struct TFarCall {
  bool Call = false;
  Address CodeAddr1 = 0;  // the instruction
  Address CodeAddr2 = 0;  // the address after it
  Address Target = 0;
};

// A call or jump whose target is computed at run time.
struct TUnknownTarget {
  bool Call = false;
  Address CodeAddr1 = 0;
  Address CodeAddr2 = 0;
};

// Every call instruction of the function, sorted by the address after it.
struct TCallSite {
  Address CodeAddr1 = 0;
  Address CodeAddr2 = 0;
  bool HasTarget = false;
  Address Target = 0;
};

struct TFunctionInfo {
  bool IsValid = false;
  Address EntryPoint = 0;
  Address CodeBegin = 0;
  std::uint64_t CodeLen = 0;
  std::vector<TCodeArea> CodeAreas;  // sorted, merged
  std::vector<TFarCall> FarCalls;
  std::vector<TUnknownTarget> UnknownTargets;
  std::vector<TCallSite> Calls;
  std::vector<Address> Instructions;  // start of every instruction found, sorted
  bool HasUnknownJump = false;        // a jump with a run-time target (switch table, ...)

  bool Contains(Address address) const;
  bool IsInstructionBoundary(Address address) const;
  // The call whose following address is `after`; none when no call of the function ends
  // there.
  std::optional<TCallSite> CallEndingAt(Address after) const;
  // The instruction that starts at or before the address and covers it.
  std::optional<Address> InstructionAt(Address address) const;
};

// Where the function's code may lie. With a known range (from the module's symbols) every
// byte of it is decoded too, so that blocks reached only through jump tables are found;
// without one, jumps are followed forward up to a fixed distance.
struct TAnalyseBounds {
  Address Begin = 0;
  Address End = 0;  // 0: unknown
};

TFunctionInfo ParseFunction(TMemoryView& memory, Address entry, const TAnalyseBounds& bounds);

}  // namespace Reporter::Tracer
