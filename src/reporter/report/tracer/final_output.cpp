// Stage "FillFinalOutput": every remaining item resolved to module, unit, function and line.
#include <algorithm>

#include "reporter/report/tracer/trace_state.h"
#include "rtl/case_folding.h"

namespace Reporter::Tracer::Internal {
namespace {

// The code location an item stands for: its call instruction whenever that is known.
Address Location(const TTraceState& state, const TInternalStackItem& item, int& function) {
  function = -1;
  for (const auto& link : item.Links[kOlder].Items) {
    if (state.IsApproved(link.Func)) {
      function = link.Func;
      return link.CodeAddr;
    }
  }
  for (const auto& link : item.Links[kOlder].Items) {
    if (link.CodeAddr != 0) return link.CodeAddr;
  }
  const auto& newer = item.Links[kNewer];
  if (newer.Chosen >= 0) return newer.Items[static_cast<std::size_t>(newer.Chosen)].CodeAddr;
  return item.AfterInstr;
}

void AddDebugInfo(TTraceResult& result, const std::string& text) {
  const bool known =
      std::any_of(result.DebugInfos.begin(), result.DebugInfos.end(),
                  [&](const std::string& other) { return RTL::Text::SameIgnoreCase(other, text); });
  if (!known) result.DebugInfos.push_back(text);
}

}  // namespace

void FillFinalOutput(TTraceState& state, TTraceResult& result) {
  auto& items = state.Items;
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    if (it->Invalid) continue;
    auto& out = it->FinalOutput;
    int function = -1;
    out.Addr = Location(state, *it, function);
    if (function >= 0) {
      const auto& record = state.Functions[function];
      out.PublicName = record.Name;
      out.PublicAddr = record.Info.EntryPoint;
      out.UnitName = record.Unit;
    }
    const int moduleIndex = state.Modules.ModuleOf(state.Memory, out.Addr);
    if (moduleIndex < 0) {
      out.ModuleName = "???";
    } else {
      const auto& module = state.Modules[moduleIndex];
      out.ModuleName = module.FileName;
      ResolveInModule(module, out, state.Options.ShowRelLines);
      if (module.MapFile) {
        const auto& map = *module.MapFile;
        if (module.HasSymbolData) AddDebugInfo(result, module.FileName + "|" + map.MinDebugInfo());
      }
    }
    if (result.Items.empty()) result.NewestAddress = out.Addr;
    result.Items.push_back(out);
  }
}

}  // namespace Reporter::Tracer::Internal
