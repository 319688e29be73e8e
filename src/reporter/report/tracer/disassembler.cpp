#include "reporter/report/tracer/disassembler.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "reporter/report/decoder/x86_decoder.h"
#include "reporter/report/tracer/trace_lock.h"
#include "reporter/report/tracer/trace_state.h"

namespace Reporter::Tracer {
namespace {

std::string Hex(Address value) {
  char text[24];
  std::snprintf(text, sizeof text, "%0*llx", static_cast<int>(2 * kSlotSize),
                static_cast<unsigned long long>(value));
  return text;
}

struct TLine {
  Address At = 0;
  std::string Text;
  bool Instruction = false;
};

// The function name of a call target, when a module's symbols know it.
std::string TargetName(TMemoryView& memory, TModuleTable& modules, Address target) {
  const int module = modules.ModuleOf(memory, target);
  if (module < 0 || !modules[module].MapFile) return {};
  const auto publicItem = modules[module].MapFile->FindPublic(target);
  return publicItem.IsValid && publicItem.Address == target ? publicItem.Name : std::string();
}

}  // namespace

std::string DisassembleFunction(Address address, int limit) {
  try {
    std::lock_guard guard(Internal::TraceLock());
    TMemoryView memory;
    auto& modules = TModuleTable::Instance();
    auto& functions = TFunctionTable::Instance();
    const int function = functions.FunctionContaining(memory, modules, address);
    if (function < 0) return {};
    const auto& info = functions[function].Info;
    const int module = functions[function].Module;
    const Symbols::TMapFile* map = module >= 0 ? modules[module].MapFile.get() : nullptr;

    std::vector<TLine> lines;
    int marked = -1;
    int lastLine = 0;
    for (const Address at : info.Instructions) {
      std::uint8_t bytes[15];
      const auto count = memory.ReadCodeUpTo(at, bytes);
      const auto instruction =
          Decoder::DecodeInstruction({bytes, count}, at, Decoder::NativeMode());
      if (map != nullptr) {
        const int line = map->FindLine(at);
        if (line > 0 && line != lastLine) lines.push_back({at, "; line " + std::to_string(line)});
        lastLine = line;
      }
      std::string text =
          Hex(at) + (at == address ? " > " : "   ") + Decoder::FormatInstruction(instruction);
      if (instruction.Flow == Decoder::TFlow::Call && instruction.HasTarget) {
        const auto name = TargetName(memory, modules, instruction.Target);
        if (!name.empty()) text += " ; " + name;
      }
      if (at == address) marked = static_cast<int>(lines.size());
      lines.push_back({at, std::move(text), true});
    }
    if (marked < 0) marked = 0;

    // before[i]: instructions in front of line i, to tell each line's distance from the mark.
    std::vector<int> before(lines.size() + 1, 0);
    for (std::size_t i = 0; i < lines.size(); ++i) before[i + 1] = before[i] + lines[i].Instruction;
    std::string listing;
    bool omitted = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const int distance = std::abs(before[i] - before[static_cast<std::size_t>(marked)]);
      if (limit > 0 && distance > limit) {
        if (!omitted) listing += listing.empty() ? "[...]" : "\r\n[...]";
        omitted = true;
        continue;
      }
      omitted = false;
      if (!listing.empty()) listing += "\r\n";
      listing += lines[i].Text;
    }
    return listing;
  } catch (...) {
    return {};
  }
}

}  // namespace Reporter::Tracer
