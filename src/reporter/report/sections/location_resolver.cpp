#include "reporter/report/sections/location_resolver.h"

#include <mutex>

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
    Tracer::ResolveInModule(module, out, relLines);
    return out;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace Reporter::Report
