#include "reporter/report/tracer/function_analyser.h"

#include <algorithm>
#include <map>

#include "reporter/report/decoder/x86_decoder.h"

namespace Reporter::Tracer {
namespace {

using Decoder::TFlow;
using Decoder::TInstruction;

// Without known bounds a jump is taken as part of the function when it lands this close
// behind (or anywhere between the entry and) the code found so far.
constexpr Address kUnboundedReach = 0x4000;
// Guards against runaway analysis of data or of huge generated functions.
constexpr std::size_t kMaxInstructions = 100000;

class TAnalysis {
 public:
  TAnalysis(TMemoryView& memory, Address entry, const TAnalyseBounds& bounds)
      : memory_(memory), entry_(entry), bounds_(bounds) {}

  TFunctionInfo Run() {
    TFunctionInfo info;
    info.EntryPoint = entry_;
    if (!Decode(entry_).IsValid) return info;
    Follow(entry_);
    if (bounds_.End > bounds_.Begin) Sweep();
    Finish(info);
    return info;
  }

 private:
  TInstruction Decode(Address address) {
    std::uint8_t bytes[15];
    const std::size_t count = memory_.ReadCodeUpTo(address, bytes);
    return Decoder::DecodeInstruction({bytes, count}, address, Decoder::NativeMode());
  }

  bool Inside(Address target) const {
    if (bounds_.End > bounds_.Begin) return target >= bounds_.Begin && target < bounds_.End;
    return target >= entry_ && target < entry_ + kUnboundedReach;
  }

  // Follows every path from the address until it leaves the function.
  void Follow(Address start) {
    std::vector<Address> pending{start};
    while (!pending.empty() && found_.size() < kMaxInstructions) {
      Address at = pending.back();
      pending.pop_back();
      while (!found_.contains(at) && found_.size() < kMaxInstructions) {
        const TInstruction instruction = Decode(at);
        if (!instruction.IsValid) break;
        Record(instruction);
        if (instruction.Flow == TFlow::Jump || instruction.Flow == TFlow::ConditionalJump) {
          if (instruction.HasTarget && Inside(instruction.Target)) {
            pending.push_back(instruction.Target);
          }
        }
        if (instruction.Flow == TFlow::Jump || instruction.Flow == TFlow::Return ||
            instruction.Flow == TFlow::Stop) {
          break;
        }
        at = instruction.NextAddress();
        if (bounds_.End > bounds_.Begin && !Inside(at)) break;
      }
    }
  }

  // Decodes the whole known range in a row, so that code reached only through jump tables
  // is found as well. Compilers place no data between the instructions of a function here.
  void Sweep() {
    Address at = bounds_.Begin;
    while (at < bounds_.End && found_.size() < kMaxInstructions) {
      if (auto it = found_.find(at); it != found_.end()) {
        at += it->second.Length;
        continue;
      }
      const TInstruction instruction = Decode(at);
      if (!instruction.IsValid) {
        ++at;
        continue;
      }
      Record(instruction);
      at = instruction.NextAddress();
    }
  }

  void Record(const TInstruction& instruction) { found_.emplace(instruction.Address, instruction); }

  // Reads the pointer of a call or jump through a fixed address.
  std::optional<Address> PointerTarget(const TInstruction& instruction) {
    Address target = 0;
    if (!memory_.ReadPointer(instruction.PointerAddress, target) || target == 0) {
      return std::nullopt;
    }
    return target;
  }

  void Finish(TFunctionInfo& info) {
    info.IsValid = true;
    for (const auto& [address, instruction] : found_) {
      info.Instructions.push_back(address);
      const Address next = instruction.NextAddress();
      if (!info.CodeAreas.empty() && info.CodeAreas.back().End == address) {
        info.CodeAreas.back().End = next;
      } else {
        info.CodeAreas.push_back({address, next});
      }
      const bool call = instruction.Flow == TFlow::Call;
      const bool jump =
          instruction.Flow == TFlow::Jump || instruction.Flow == TFlow::ConditionalJump;
      if (!call && !jump) continue;

      std::optional<Address> target;
      if (instruction.HasTarget) target = instruction.Target;
      if (!target && instruction.HasPointer) target = PointerTarget(instruction);
      if (call) {
        info.Calls.push_back({address, next, target.has_value(), target.value_or(0)});
      }
      if (target) {
        if (call || !Inside(*target)) info.FarCalls.push_back({call, address, next, *target});
      } else if (instruction.HasPointer || instruction.IsIndirect) {
        info.UnknownTargets.push_back({call, address, next});
        if (!call) info.HasUnknownJump = true;
      }
    }
    if (!info.CodeAreas.empty()) {
      info.CodeBegin = info.CodeAreas.front().Begin;
      info.CodeLen = info.CodeAreas.back().End - info.CodeBegin;
    }
    std::sort(info.Calls.begin(), info.Calls.end(),
              [](const TCallSite& a, const TCallSite& b) { return a.CodeAddr2 < b.CodeAddr2; });
  }

  TMemoryView& memory_;
  Address entry_;
  TAnalyseBounds bounds_;
  std::map<Address, TInstruction> found_;
};

}  // namespace

bool TFunctionInfo::Contains(Address address) const {
  auto it = std::upper_bound(CodeAreas.begin(), CodeAreas.end(), address,
                             [](Address a, const TCodeArea& area) { return a < area.Begin; });
  if (it == CodeAreas.begin()) return false;
  --it;
  return address < it->End;
}

bool TFunctionInfo::IsInstructionBoundary(Address address) const {
  return std::binary_search(Instructions.begin(), Instructions.end(), address);
}

std::optional<TCallSite> TFunctionInfo::CallEndingAt(Address after) const {
  auto it = std::lower_bound(Calls.begin(), Calls.end(), after,
                             [](const TCallSite& call, Address a) { return call.CodeAddr2 < a; });
  if (it == Calls.end() || it->CodeAddr2 != after) return std::nullopt;
  return *it;
}

std::optional<Address> TFunctionInfo::InstructionAt(Address address) const {
  if (!Contains(address)) return std::nullopt;
  auto it = std::upper_bound(Instructions.begin(), Instructions.end(), address);
  if (it == Instructions.begin()) return std::nullopt;
  return *(it - 1);
}

TFunctionInfo ParseFunction(TMemoryView& memory, Address entry, const TAnalyseBounds& bounds) {
  return TAnalysis(memory, entry, bounds).Run();
}

}  // namespace Reporter::Tracer
