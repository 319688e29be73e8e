#pragma once

#include "reporter/report/tracer/trace_types.h"

#include <memory>
#include <string>
#include <vector>

#include "reporter/report/symbols/map_file.h"
#include "reporter/report/tracer/memory_view.h"

namespace Reporter::Tracer {

struct TModuleEntry {
  Address Base = 0;      // allocation base of the image
  std::string FileName;  // the part after the last path separator
  std::string Path;
  Address CodeBegin = 0, CodeEnd = 0;  // run-time addresses
  Address DataBegin = 0, DataEnd = 0;
  Address EntryPoint = 0;  // 0 when the image has none
  // 32-bit ELF: the table that position-independent code reaches through ebx (.got.plt), so
  // that its import stubs can be followed; 0 otherwise.
  Address GotBase = 0;
  bool IsProgram = false;                      // the executable of this process
  bool HasSymbolData = false;                  // MapFile comes from the program's own symbol data
  std::unique_ptr<Symbols::TMapFile> MapFile;  // null when the module has no symbol source
};

// The modules met by the traces of this process; kept for the life of the process and
// used only under the tracer's lock.
class TModuleTable {
 public:
  static TModuleTable& Instance();

  // Index of the module whose image holds the address, -1 when it lies in no loadable
  // module. Creates the entry on the first address met inside a module.
  int ModuleOf(const TMemoryView& memory, Address address);

  TModuleEntry& operator[](int index) { return *entries_[static_cast<std::size_t>(index)]; }

 private:
  int Create(const Platform::TMemoryRegion& region);

  std::vector<std::unique_ptr<TModuleEntry>> entries_;
  std::vector<Address> rejected_;  // allocation bases without valid headers
};

// The file name part of a path, after the last "/" or "\".
std::string FileNameOf(const std::string& path);

// Fills in what the module's symbol source knows of out.Addr: the function (unless one is set
// already), the unit, the line and, with relLines, the line relative to the function's first.
void ResolveInModule(const TModuleEntry& module, TFinalOutput& out, bool relLines);

}  // namespace Reporter::Tracer
