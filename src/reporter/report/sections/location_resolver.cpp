#include "reporter/report/sections/location_resolver.h"

#include <algorithm>
#include <mutex>

#include "reporter/report/symbols/map_file.h"
#include "reporter/report/tracer/memory_view.h"
#include "reporter/report/tracer/module_table.h"
#include "reporter/report/tracer/trace_lock.h"

namespace Reporter::Report {

std::optional<Tracer::TFinalOutput> ResolveAddress(Tracer::Address address, bool relLines) {
  try {
    // The module table is shared with the traces.
    std::lock_guard guard(Tracer::Internal::TraceLock());
    const Tracer::TMemoryView memory;
    auto& modules = Tracer::TModuleTable::Instance();
    const int index = modules.ModuleOf(memory, address);
    if (index < 0) return std::nullopt;
    const auto& module = modules[index];
    Tracer::TFinalOutput out;
    out.Addr = address;
    out.ModuleName = module.FileName;
    if (!module.MapFile) return out;
    const auto& map = *module.MapFile;
    const auto publicItem = map.FindPublic(address);
    if (publicItem.IsValid) {
      out.PublicName = publicItem.Name;
      out.PublicAddr = publicItem.Address;
    }
    const auto segment = map.FindSegment(true, address);
    out.UnitName = segment.IsValid && !segment.UnitName.empty()
                       ? segment.UnitName
                       : Symbols::SplitQualifiedName(out.PublicName).Unit;
    out.Line = std::max(map.FindLine(address), 0);
    if (out.Line > 0 && out.PublicAddr != 0) {
      out.PublicLine = std::max(map.FindLine(out.PublicAddr), 0);
      if (relLines && out.PublicLine > 0) out.RelLine = out.Line - out.PublicLine;
    }
    return out;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace Reporter::Report
