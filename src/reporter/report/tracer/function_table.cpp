#include "reporter/report/tracer/function_table.h"

namespace Reporter::Tracer {

TFunctionTable& TFunctionTable::Instance() {
  static TFunctionTable table;
  return table;
}

int TFunctionTable::Analyse(TMemoryView& memory, TModuleTable& modules, Address entry,
                            const std::string& nameSuffix) {
  if (auto it = byEntry_.find(entry); it != byEntry_.end()) return it->second;
  auto record = std::make_unique<TFunctionRecord>();
  record->Module = modules.ModuleOf(memory, entry);
  TAnalyseBounds bounds;
  if (record->Module >= 0) {
    const auto& module = modules[record->Module];
    if (module.MapFile) {
      const auto publicItem = module.MapFile->FindPublic(entry);
      if (publicItem.IsValid) {
        record->Name = publicItem.Name + nameSuffix;
        record->Unit = publicItem.Unit;
      }
      // Only real symbol data gives a function's extent; exports do not.
      const auto segment = module.MapFile->FindSegment(true, entry);
      if (module.HasSymbolData && segment.IsValid && segment.StartAddress == entry) {
        bounds = {segment.StartAddress, segment.StartAddress + segment.Length};
      }
    }
  }
  record->Info = ParseFunction(memory, entry, bounds);
  int index = -1;
  if (record->Info.IsValid) {
    records_.push_back(std::move(record));
    index = static_cast<int>(records_.size() - 1);
  }
  byEntry_[entry] = index;
  return index;
}

int TFunctionTable::FunctionContaining(TMemoryView& memory, TModuleTable& modules,
                                       Address address) {
  const int moduleIndex = modules.ModuleOf(memory, address);
  if (moduleIndex < 0) return -1;
  const auto& module = modules[moduleIndex];
  Address entry = 0;
  if (module.MapFile) {
    const auto publicItem = module.MapFile->FindPublic(address);
    if (publicItem.IsValid) entry = publicItem.Address;
  }
  if (entry == 0 && !module.IsProgram && module.EntryPoint != 0 && module.EntryPoint <= address) {
    entry = module.EntryPoint;
  }
  if (entry == 0) return -1;
  return Analyse(memory, modules, entry);
}

}  // namespace Reporter::Tracer
