#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "reporter/report/tracer/function_analyser.h"
#include "reporter/report/tracer/module_table.h"

namespace Reporter::Tracer {

struct TFunctionRecord {
  int Module = -1;
  std::string Name;  // as a call stack shows it; "" when unknown
  std::string Unit;
  TFunctionInfo Info;
};

// Every function analysed by the traces of this process, kept for the life of the process
// and used only under the tracer's lock.
class TFunctionTable {
 public:
  static TFunctionTable& Instance();

  // Index of the analysed function that starts at entry, analysing it on first use; -1 when
  // it cannot be analysed. The name suffix marks a further piece of a function (".@label").
  int Analyse(TMemoryView& memory, TModuleTable& modules, Address entry,
              const std::string& nameSuffix = {});

  // Index of the function that holds the address: the module's public below it, else (for
  // a module without symbol source) its entry point; -1 when none is known.
  int FunctionContaining(TMemoryView& memory, TModuleTable& modules, Address address);

  const TFunctionRecord& operator[](int index) const {
    return *records_[static_cast<std::size_t>(index)];
  }
  int Count() const { return static_cast<int>(records_.size()); }

 private:
  std::vector<std::unique_ptr<TFunctionRecord>> records_;
  std::map<Address, int> byEntry_;
};

}  // namespace Reporter::Tracer
