#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "dwarf_info.h"
#include "dwarf_lines.h"
#include "reporter/report/symbols/symbol_data.h"

// The line entries of the functions of the symbol data, from the rows of the line programs
// that lie in each function (sorted by address).
namespace SymbolExtractor {

// For a function that the debug information describes: every line a line of its own source
// file. Inside code inlined into it an address shows the line of the outermost inlined call;
// elsewhere the line of the last row of its own file (rows of another file belong to inlined
// code whose call is not told).
void AddOwnLines(std::span<const TLineRow> rows, const TDwarfFunction& described,
                 Reporter::Symbols::TSymbolData& data,
                 Reporter::Symbols::TSymbolFunction& function);

// For a function without debug information: the rows of the file of its first row; rows of
// another file keep the line before them. firstFile is that file (kUnknownFile without rows).
void AddFirstFileLines(std::span<const TLineRow> rows, Reporter::Symbols::TSymbolData& data,
                       Reporter::Symbols::TSymbolFunction& function, std::uint32_t& firstFile);

// Gives each part split off from its function (".cold") the line of the function's entry,
// which lies in another part; described[i] is the description of data.Functions[i] or nullptr.
void SetEntryLines(Reporter::Symbols::TSymbolData& data,
                   const std::vector<const TDwarfFunction*>& described);

}  // namespace SymbolExtractor
