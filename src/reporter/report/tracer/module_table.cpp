#include "reporter/report/tracer/module_table.h"

#include <algorithm>

#include "platform/file.h"
#include "platform/process.h"
#include "reporter/report/symbols/image_file.h"

namespace Reporter::Tracer {

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

TModuleTable& TModuleTable::Instance() {
  static TModuleTable table;
  return table;
}

int TModuleTable::ModuleOf(const TMemoryView& memory, Address address) {
  const auto* region = memory.RegionOf(address);
  if (region == nullptr || region->ImagePath.empty() || region->AllocationBase == 0) return -1;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i]->Base == region->AllocationBase) return static_cast<int>(i);
  }
  if (std::find(rejected_.begin(), rejected_.end(), region->AllocationBase) != rejected_.end()) {
    return -1;
  }
  return Create(*region);
}

int TModuleTable::Create(const Platform::TMemoryRegion& region) {
  const auto reject = [&] {
    rejected_.push_back(region.AllocationBase);
    return -1;
  };
  auto file = Platform::File::Open(region.ImagePath, Platform::File::Mode::OpenExistingRead);
  std::vector<std::uint8_t> bytes;
  if (!file || !file->ReadToEnd(bytes)) return reject();
  file->Close();
  const auto image = Symbols::ParseImage(bytes);
  if (!image) return reject();

  auto entry = std::make_unique<TModuleEntry>();
  const Address bias = region.AllocationBase - image->PreferredBase;
  entry->Base = region.AllocationBase;
  entry->Path = region.ImagePath;
  entry->FileName = FileNameOf(region.ImagePath);
  entry->CodeBegin = image->CodeBegin + bias;
  entry->CodeEnd = image->CodeEnd + bias;
  entry->DataBegin = image->DataBegin + bias;
  entry->DataEnd = image->DataEnd + bias;
  entry->EntryPoint = image->EntryPoint != 0 ? image->EntryPoint + bias : 0;
  entry->IsProgram = region.ImagePath == Platform::ExecutablePath();
  if (image->Format == Symbols::TImageFormat::Elf32) {
    for (const auto& section : image->Sections) {
      if (section.Name == ".got.plt") entry->GotBase = section.Address + bias;
    }
  }
  if (auto data = Symbols::TMapFile::ForImageFile(region.ImagePath, bias)) {
    entry->HasSymbolData = data->HasSymbolData();
    entry->MapFile = std::move(data);
  }
  entries_.push_back(std::move(entry));
  return static_cast<int>(entries_.size() - 1);
}

void ResolveInModule(const TModuleEntry& module, TFinalOutput& out, bool relLines) {
  if (!module.MapFile) return;
  const auto& map = *module.MapFile;
  if (out.PublicName.empty()) {
    const auto publicItem = map.FindPublic(out.Addr);
    if (publicItem.IsValid) {
      out.PublicName = publicItem.Name;
      out.UnitName = publicItem.Unit;
      out.PublicAddr = publicItem.Address;
    }
  }
  const auto segment = map.FindSegment(true, out.Addr);
  if (segment.IsValid && !segment.UnitName.empty()) out.UnitName = segment.UnitName;
  out.Line = std::max(map.FindLine(out.Addr), 0);
  if (out.Line > 0 && out.PublicAddr != 0) {
    out.PublicLine = std::max(map.FindFirstLine(out.PublicAddr), 0);
    if (relLines && out.PublicLine > 0) out.RelLine = out.Line - out.PublicLine;
  }
}

}  // namespace Reporter::Tracer
