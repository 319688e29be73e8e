#pragma once

#include <cstdint>
#include <vector>

#include "reporter/report/tracer/function_table.h"
#include "reporter/report/tracer/module_table.h"
#include "reporter/report/tracer/trace_types.h"

// The working state of one trace, shared by its stages. Items are kept oldest first: the
// stack is scanned from its top (oldest frames) down to the stack pointer.
namespace Reporter::Tracer::Internal {

enum TDirection { kNewer = 0, kOlder = 1 };

struct TStackLink {
  int Link = -1;         // the other item, -1 for none
  Address CodeAddr = 0;  // the call instruction that belongs to this link
  bool HasTarget = false;
  Address Target = 0;
  int Func = -1;                     // the function the link runs through, -1 for none
  std::int64_t Quality[2] = {0, 0};  // remembered per function condition; 0 = not computed
};

struct TLinkList {
  std::vector<TStackLink> Items;
  int Chosen = -1;
};

struct TInternalStackItem {
  Address AfterInstr = 0;
  Address Slot = 0;  // the stack slot it came from, 0 for added items
  bool DontKill = false;
  bool TopItem = false;
  bool Creator = false;
  int Module = -1;
  TLinkList Links[2];
  bool Invalid = false;
  TFinalOutput FinalOutput;
};

struct TTraceState {
  TTraceState(const TThreadTraceInput& input, const TTraceOptions& options, TMemoryView& memory)
      : Input(input), Options(options), Memory(memory) {}

  const TThreadTraceInput& Input;
  const TTraceOptions& Options;
  TMemoryView& Memory;
  TModuleTable& Modules = TModuleTable::Instance();
  TFunctionTable& Functions = TFunctionTable::Instance();

  std::vector<TInternalStackItem> Items;
  std::vector<char> Approved;         // per function index, for this trace
  std::vector<char> InvalidFunction;  // per function index, for this trace

  bool Aborted() const { return Options.Abort != nullptr && Options.Abort->load(); }
  void Progress(int position) const {
    if (Options.Progress) Options.Progress(position);
  }
  bool IsApproved(int function) const {
    return function >= 0 && function < static_cast<int>(Approved.size()) &&
           Approved[static_cast<std::size_t>(function)] && !IsInvalidFunction(function);
  }
  bool IsInvalidFunction(int function) const {
    return function >= 0 && function < static_cast<int>(InvalidFunction.size()) &&
           InvalidFunction[static_cast<std::size_t>(function)];
  }
  void Approve(int function) {
    if (function < 0) return;
    Grow(function);
    Approved[static_cast<std::size_t>(function)] = 1;
  }
  void Invalidate(int function) {
    if (function < 0) return;
    Grow(function);
    InvalidFunction[static_cast<std::size_t>(function)] = 1;
  }
  void InvalidateItem(int index);

 private:
  void Grow(int function) {
    const auto size = static_cast<std::size_t>(function) + 1;
    if (Approved.size() < size) Approved.resize(size, 0);
    if (InvalidFunction.size() < size) InvalidFunction.resize(size, 0);
  }
};

// The stages, in the order the tracer runs them.
void CollectPossibleStackItems(TTraceState& state);
void RemoveRecursiveStackAreas(TTraceState& state, bool removeLinks);
void InDeepChecks(TTraceState& state);
void RealizeOptimalLinkChains(TTraceState& state);
void FillFinalOutput(TTraceState& state, TTraceResult& result);

}  // namespace Reporter::Tracer::Internal
