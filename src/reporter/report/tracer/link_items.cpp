// Stage "InDeepChecks": links every item to the newer items that its call may have led to.
#include <optional>

#include "reporter/report/decoder/x86_decoder.h"
#include "reporter/report/tracer/trace_state.h"

namespace Reporter::Tracer::Internal {
namespace {

// Thunks (import stubs and other short functions that only jump on to another one) are
// looked through to the function they jump to.
constexpr int kMaxThunkHops = 4;
constexpr std::size_t kMaxThunkInstructions = 8;

class TLinker {
 public:
  explicit TLinker(TTraceState& state) : state_(state) {}

  void Run() {
    auto& items = state_.Items;
    const int count = static_cast<int>(items.size());
    for (int index = 0; index < count && !state_.Aborted(); ++index) {
      state_.Progress(25 + 625 * index / count);
      const auto& item = items[static_cast<std::size_t>(index)];
      if (item.Invalid || item.Creator) continue;
      CheckItem(index);
    }
  }

 private:
  TInternalStackItem& Item(int index) { return state_.Items[static_cast<std::size_t>(index)]; }

  void CheckItem(int index) {
    auto& item = Item(index);
    // 1. A link through an approved function: the other functions are wrong guesses.
    const TStackLink* approved = nullptr;
    for (const auto& link : item.Links[kOlder].Items) {
      if (state_.IsApproved(link.Func)) {
        approved = &link;
        break;
      }
    }
    if (approved != nullptr) {
      const TStackLink chosen = *approved;
      for (const auto& link : item.Links[kOlder].Items) {
        if (link.Func >= 0 && link.Func != chosen.Func && link.CodeAddr != chosen.CodeAddr) {
          state_.Invalidate(link.Func);
        }
      }
      LinkCall(index, chosen.CodeAddr, chosen.HasTarget, chosen.Target);
      return;
    }
    // 2. An approved function that holds the address must hold the call too.
    for (int function = 0; function < state_.Functions.Count(); ++function) {
      if (!state_.IsApproved(function)) continue;
      const auto& info = state_.Functions[function].Info;
      if (!info.Contains(item.AfterInstr - 1)) continue;
      const auto call = info.CallEndingAt(item.AfterInstr);
      if (!call) {
        state_.InvalidateItem(index);
        return;
      }
      TStackLink link;
      link.Func = function;
      link.CodeAddr = call->CodeAddr1;
      link.HasTarget = call->HasTarget;
      link.Target = call->Target;
      item.Links[kOlder].Items.push_back(link);
      LinkCall(index, call->CodeAddr1, call->HasTarget, call->Target);
      return;
    }
    // Otherwise any call that ends exactly at the address.
    const auto* region = state_.Memory.RegionOf(item.AfterInstr - 1);
    for (Address back = 7; back >= 2; --back) {
      const Address at = item.AfterInstr - back;
      if (region == nullptr || at < region->Begin) continue;
      std::uint8_t bytes[15];
      const auto count = state_.Memory.ReadCodeUpTo(at, bytes);
      const auto call = Decoder::DecodeInstruction({bytes, count}, at, Decoder::NativeMode());
      if (!call.IsValid || call.Flow != Decoder::TFlow::Call ||
          call.NextAddress() != item.AfterInstr) {
        continue;
      }
      Address target = call.Target;
      bool known = call.HasTarget;
      if (!known && call.HasPointer) {
        known = state_.Memory.ReadPointer(call.PointerAddress, target) && target != 0;
      }
      LinkCall(index, at, known, target);
    }
  }

  // A 32-bit import stub of position-independent code, "jmp [ebx+disp32]", jumps through the
  // module's table that ebx points to: the address it leads to, or none.
  std::optional<Address> ThroughImportStub(Address stub) {
    std::uint8_t bytes[6];
    if (kSlotSize != 4 || !state_.Memory.ReadCode(stub, bytes, sizeof bytes)) return std::nullopt;
    if (bytes[0] != 0xFF || bytes[1] != 0xA3) return std::nullopt;
    const int module = state_.Modules.ModuleOf(state_.Memory, stub);
    if (module < 0 || state_.Modules[module].GotBase == 0) return std::nullopt;
    const std::int32_t displacement = static_cast<std::int32_t>(
        bytes[2] | bytes[3] << 8 | bytes[4] << 16 | static_cast<std::uint32_t>(bytes[5]) << 24);
    Address target = 0;
    const Address slot = (state_.Modules[module].GotBase + displacement) & 0xFFFFFFFFu;
    if (!state_.Memory.ReadPointer(slot, target) || target == 0) return std::nullopt;
    return target;
  }

  // The function a call target leads to, thunks looked through; -1 when it cannot be told.
  int TargetFunction(Address target) {
    for (int hop = 0; hop < kMaxThunkHops; ++hop) {
      const auto next = ThroughImportStub(target);
      if (!next) break;
      target = *next;
    }
    int function = state_.Functions.Analyse(state_.Memory, state_.Modules, target);
    for (int hop = 0; hop < kMaxThunkHops && function >= 0; ++hop) {
      const auto& info = state_.Functions[function].Info;
      const bool thunk = info.Instructions.size() <= kMaxThunkInstructions && info.Calls.empty() &&
                         info.UnknownTargets.empty() && info.FarCalls.size() == 1 &&
                         !info.FarCalls[0].Call;
      if (!thunk) break;
      function = state_.Functions.Analyse(state_.Memory, state_.Modules, info.FarCalls[0].Target);
    }
    if (function >= 0 && state_.Functions[function].Info.HasUnknownJump) return -1;
    return function;
  }

  // 3. Links the call of the calling item to the newer items it may have led to.
  void LinkCall(int caller, Address codeAddr, bool hasTarget, Address target) {
    const int function = hasTarget ? TargetFunction(target) : -1;
    const int count = static_cast<int>(state_.Items.size());
    for (int newer = caller + 1; newer < count; ++newer) {
      auto& item = Item(newer);
      if (item.Invalid) continue;
      if (function < 0) {
        LinkWithoutFunction(caller, newer, codeAddr, hasTarget, target);
      } else {
        LinkThrough(function, caller, newer, codeAddr, hasTarget, target);
      }
      if (Item(newer).DontKill) break;
    }
  }

  void LinkWithoutFunction(int caller, int newer, Address codeAddr, bool hasTarget,
                           Address target) {
    auto& links = Item(caller).Links[kNewer].Items;
    for (const auto& link : links) {
      if (link.Link == newer && link.Func < 0) return;
    }
    TStackLink forward;
    forward.Link = newer;
    forward.CodeAddr = codeAddr;
    forward.HasTarget = hasTarget;
    forward.Target = target;
    links.push_back(forward);
    TStackLink backward;
    backward.Link = caller;
    const auto& older = Item(newer).Links[kOlder].Items;
    backward.CodeAddr = older.empty() ? 0 : older.front().CodeAddr;
    Item(newer).Links[kOlder].Items.push_back(backward);
  }

  void LinkThrough(int function, int caller, int newer, Address codeAddr, bool hasTarget,
                   Address target) {
    const auto& info = state_.Functions[function].Info;
    auto& item = Item(newer);
    Address inner = 0;
    if (item.TopItem) {
      if (!info.IsInstructionBoundary(item.AfterInstr) || !info.Contains(item.AfterInstr - 1)) {
        return;
      }
      inner = info.InstructionAt(item.AfterInstr - 1).value_or(item.AfterInstr);
    } else {
      const auto call = info.CallEndingAt(item.AfterInstr);
      if (!call) return;
      inner = call->CodeAddr1;
    }
    for (const auto& link : item.Links[kOlder].Items) {
      if (link.Func >= 0 && link.Func != function && state_.IsApproved(link.Func) &&
          link.CodeAddr != inner) {
        return;
      }
    }
    TStackLink forward;
    forward.Link = newer;
    forward.CodeAddr = codeAddr;
    forward.HasTarget = hasTarget;
    forward.Target = target;
    forward.Func = function;
    Item(caller).Links[kNewer].Items.push_back(forward);
    TStackLink backward;
    backward.Link = caller;
    backward.CodeAddr = inner;
    backward.Func = function;
    item.Links[kOlder].Items.push_back(backward);
  }

  TTraceState& state_;
};

}  // namespace

void InDeepChecks(TTraceState& state) {
  TLinker(state).Run();
}

}  // namespace Reporter::Tracer::Internal
