#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "dwarf_forms.h"
#include "dwarf_lines.h"
#include "dwarf_ranges.h"
#include "reporter/report/symbols/readable_name.h"

// The functions that .debug_info describes (DWARF 2 to 5, as GCC writes it): where their code
// is, which namespaces and classes they belong to, the file they are written in and the calls
// inlined into them.
namespace SymbolExtractor {

// A call that the compiler inlined into a function and that no other inlined call encloses.
// The call operator of a lambda inlined into its static invoker is no such call: its code is
// the invoker's own.
struct TInlinedCall {
  std::vector<TAddressRange> Ranges;
  std::uint32_t File = kUnknownFile;  // index into TLineTable::Files
  int Line = 0;                       // the line of the call
};

// A function with code of its own. Texts point into the sections read.
struct TDwarfFunction {
  std::vector<TAddressRange> Ranges;
  std::uint64_t Entry = 0;  // where a call enters it
  // Namespaces, classes and, for a local class or a lambda, the functions around it; outermost
  // first. Inline namespaces are left out; an anonymous namespace or class has an empty name.
  std::vector<Reporter::Symbols::TScope> Scopes;
  std::string_view Name;              // as the compiler names it: "Run", "operator()"
  std::uint32_t File = kUnknownFile;  // its own source file: index into TLineTable::Files
  std::vector<TInlinedCall> Calls;
};

// Every function of the compile units of .debug_info. The file numbers of the units are taken
// from their line programs in lines. A damaged unit is left out; the units around it stay, as
// long as its length can be trusted.
std::vector<TDwarfFunction> ReadDebugInfo(const TDebugSections& sections, const TLineTable& lines);

}  // namespace SymbolExtractor
