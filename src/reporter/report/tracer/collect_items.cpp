// Stage "CollectPossibleStackItems": every stack value that could be a return address and
// whose call instruction lies inside a function that can be analysed becomes an item.
#include <algorithm>
#include <cstring>

#include "reporter/report/decoder/x86_decoder.h"
#include "reporter/report/tracer/call_site.h"
#include "reporter/report/tracer/trace_state.h"

namespace Reporter::Tracer::Internal {
namespace {

// The slots that hold return addresses along the frame-pointer chain.
std::vector<Address> FrameChainSlots(const TTraceState& state) {
  std::vector<Address> slots;
  slots.reserve(64);
  const auto& input = state.Input;
  if (!input.preparedStack.empty() || input.ebp == 0) return slots;
  const auto inside = [&](Address slot) {
    return slot > input.stackBottom && slot < input.stackTop;
  };
  Address frame = input.ebp;
  if (inside(frame + kSlotSize)) slots.push_back(frame + kSlotSize);
  while (frame < input.stackTop - kSlotSize) {
    Address saved = 0;
    if (!state.Memory.ReadPointer(frame, saved) || saved <= frame) break;
    frame = saved;
    if (inside(frame + kSlotSize)) slots.push_back(frame + kSlotSize);
  }
  std::sort(slots.begin(), slots.end());
  return slots;
}

class TCollector {
 public:
  explicit TCollector(TTraceState& state) : state_(state), chain_(FrameChainSlots(state)) {}

  void Run() {
    auto& items = state_.Items;
    items.reserve(64);
    const auto& input = state_.Input;
    if (input.creatorAddr != 0) Try(input.creatorAddr, 0, false, true, false);

    if (!input.preparedStack.empty()) {
      for (const auto& entry : input.preparedStack) {
        Try(entry.Addr, 0, false, false, entry.Sure);
        if (Done()) break;
      }
    } else {
      ScanStack();
    }
    const bool topReached = !items.empty() && items.back().TopItem;
    if (input.exceptAddr != 0 && !topReached && !state_.Aborted()) {
      Try(input.exceptAddr, 0, true, false, false);
    }
  }

 private:
  bool Done() const {
    return state_.Aborted() || (!state_.Items.empty() && state_.Items.back().TopItem);
  }

  void ScanStack() {
    const auto& input = state_.Input;
    if (input.stackTop < input.stackBottom + kSlotSize) return;
    const std::size_t size = static_cast<std::size_t>(input.stackTop - input.stackBottom);
    std::vector<std::uint8_t> stack(size);
    if (!state_.Memory.Read(input.stackBottom, stack.data(), size)) return;
    // From the oldest slot at the top down to the stack pointer.
    for (Address slot = input.stackTop - kSlotSize;; slot -= kSlotSize) {
      std::uintptr_t value = 0;
      std::memcpy(&value, stack.data() + (slot - input.stackBottom), sizeof value);
      const bool chainSlot = std::binary_search(chain_.begin(), chain_.end(), slot);
      const bool accepted = Try(value, slot, false, false, false);
      if (Done()) break;
      if ((slot / kSlotSize) % 256 == 0) {
        state_.Progress(static_cast<int>(25 * (input.stackTop - slot) / size));
      }
      // The saved frame pointer just below a frame-chain return address is no candidate.
      if (accepted && chainSlot && !state_.Items.back().TopItem) {
        if (slot < input.stackBottom + 2 * kSlotSize) break;
        slot -= kSlotSize;
      }
      if (slot < input.stackBottom + kSlotSize) break;
    }
  }

  // Tests the value v; true when it became an item.
  bool Try(Address v, Address slot, bool explicitlyGood, bool creator, bool sure) {
    const auto& input = state_.Input;
    const bool knownGood = explicitlyGood || creator ||
                           (input.exceptThread && input.exceptAddr != 0 && v == input.exceptAddr);
    if (v <= 7) return false;
    Address after = v;
    if (knownGood) {
      std::uint8_t bytes[15];
      const auto count = state_.Memory.ReadCodeUpTo(v, bytes);
      const auto instruction = Decoder::DecodeInstruction({bytes, count}, v, Decoder::NativeMode());
      if (instruction.IsValid) after = instruction.NextAddress();
    }
    const Address probe = knownGood ? v : v - 1;
    const auto* region = state_.Memory.RegionOf(probe);
    if (region == nullptr || !region->Committed ||
        region->Access == Platform::TMemoryAccess::NotReadable) {
      return false;
    }
    if (!knownGood && !IsAfterCallSite(state_.Memory, v)) return false;

    const int module = state_.Modules.ModuleOf(state_.Memory, probe);
    if (module >= 0) {
      const auto& entry = state_.Modules[module];
      const bool inCode = v > entry.CodeBegin && v <= entry.CodeEnd;
      const bool inData = v > entry.DataBegin && v <= entry.DataEnd;
      if (!inCode && !inData && !knownGood) return false;
    }

    TStackLink link;
    if (!FindCall(v, probe, knownGood, link)) {
      if (!knownGood) return false;
      link.CodeAddr = v;  // shown at the instruction itself
    }

    TInternalStackItem item;
    item.AfterInstr = after;
    item.Slot = slot;
    item.Module = module;
    item.Creator = creator;
    item.DontKill = knownGood || sure || std::binary_search(chain_.begin(), chain_.end(), slot);
    item.TopItem = knownGood && !creator;
    item.Links[kOlder].Items.push_back(link);
    if (link.Func >= 0) state_.Approve(link.Func);
    state_.Items.push_back(std::move(item));
    return true;
  }

  // The function holding the call that ends at v (for a known-good value: the instruction
  // at v) and that call, as the item's first link towards older items.
  bool FindCall(Address v, Address probe, bool knownGood, TStackLink& link) {
    const int function = state_.Functions.FunctionContaining(state_.Memory, state_.Modules, probe);
    if (function < 0 || state_.IsInvalidFunction(function)) return false;
    const auto& info = state_.Functions[function].Info;
    if (knownGood) {
      if (!info.Contains(v)) return false;
      link.Func = function;
      link.CodeAddr = v;
      return true;
    }
    if (Accept(function, v, link)) return true;
    // The call may lie in a further piece of the same function that the analysis did not
    // reach (code placed apart, reached by a jump).
    const auto& record = state_.Functions[function];
    if (record.Module < 0 || !state_.Modules[record.Module].MapFile) return false;
    const auto& map = *state_.Modules[record.Module].MapFile;
    const auto farCalls = info.FarCalls;
    for (const auto& far : farCalls) {
      if (info.Contains(far.Target)) continue;
      const auto owner = map.FindPublic(far.Target);
      if (!owner.IsValid || owner.Address != info.EntryPoint) continue;
      const int piece =
          state_.Functions.Analyse(state_.Memory, state_.Modules, far.Target, ".@label");
      if (piece >= 0 && Accept(piece, v, link)) return true;
    }
    return false;
  }

  bool Accept(int function, Address v, TStackLink& link) {
    const auto call = state_.Functions[function].Info.CallEndingAt(v);
    if (!call) return false;
    link.Func = function;
    link.CodeAddr = call->CodeAddr1;
    link.HasTarget = call->HasTarget;
    link.Target = call->Target;
    return true;
  }

  TTraceState& state_;
  std::vector<Address> chain_;
};

}  // namespace

void CollectPossibleStackItems(TTraceState& state) {
  TCollector(state).Run();
}

}  // namespace Reporter::Tracer::Internal
