#include "function_lines.h"

#include <algorithm>

namespace SymbolExtractor {
namespace {

using Reporter::Symbols::TMfLine;
using Reporter::Symbols::TSymbolData;
using Reporter::Symbols::TSymbolFunction;

// The lines a function's own code shows where calls were inlined into it: the line of the call
// over the code of each outermost inlined call.
class TCallLines {
 public:
  explicit TCallLines(const TDwarfFunction& function) {
    for (const TInlinedCall& call : function.Calls) {
      for (const TAddressRange& range : call.Ranges) spans_.push_back({range, call.Line});
    }
    std::sort(spans_.begin(), spans_.end(),
              [](const TSpan& a, const TSpan& b) { return a.Range.Begin < b.Range.Begin; });
  }

  // The line of the call whose code holds the address; 0 outside inlined code.
  int At(std::uint64_t address) const {
    const auto next =
        std::upper_bound(spans_.begin(), spans_.end(), address,
                         [](std::uint64_t a, const TSpan& s) { return a < s.Range.Begin; });
    if (next == spans_.begin() || address >= std::prev(next)->Range.End) return 0;
    return std::prev(next)->Line;
  }

  // Where inlined code begins or ends inside [begin, end).
  void AddBoundaries(std::uint64_t begin, std::uint64_t end,
                     std::vector<std::uint64_t>& addresses) const {
    for (const TSpan& span : spans_) {
      if (span.Range.End <= begin || span.Range.Begin >= end) continue;
      addresses.push_back(std::max(span.Range.Begin, begin));
      if (span.Range.End < end) addresses.push_back(span.Range.End);
    }
  }

 private:
  struct TSpan {
    TAddressRange Range;
    int Line = 0;
  };
  std::vector<TSpan> spans_;
};

// Collects a function's line entries: one per change of line, none that begins with no line.
class TLineEntries {
 public:
  TLineEntries(TSymbolData& data, TSymbolFunction& function) : data_(data), function_(function) {
    function_.FirstLine = std::uint32_t(data_.Lines.size());
  }
  void Finish() {
    function_.LineCount = std::uint32_t(data_.Lines.size() - function_.FirstLine);
    function_.LineNumbers = function_.LineCount > 0;
  }
  // The line from the address on; a later line at the same address replaces it.
  void Add(std::uint64_t address, int line) {
    if (Any() && data_.Lines.back().Address == address) data_.Lines.pop_back();
    if (Any() ? data_.Lines.back().Line != line : line != 0) data_.Lines.push_back({line, address});
  }

 private:
  bool Any() const { return data_.Lines.size() > function_.FirstLine; }
  TSymbolData& data_;
  TSymbolFunction& function_;
};

// The line of the function's line entries at the address; 0 when none is there.
int LineAt(const TSymbolData& data, const TSymbolFunction& function, std::uint64_t address) {
  int line = 0;
  for (std::uint32_t i = 0; i < function.LineCount; ++i) {
    const TMfLine& entry = data.Lines[function.FirstLine + i];
    if (entry.Address > address) break;
    line = entry.Line;
  }
  return line;
}

}  // namespace

void AddOwnLines(std::span<const TLineRow> rows, const TDwarfFunction& dwarf, TSymbolData& data,
                 TSymbolFunction& function) {
  const TCallLines calls(dwarf);
  std::vector<std::uint64_t> addresses;
  for (const TLineRow& row : rows) addresses.push_back(row.Address);
  calls.AddBoundaries(function.Start, function.Start + function.Length, addresses);
  std::sort(addresses.begin(), addresses.end());
  addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());

  TLineEntries entries(data, function);
  int own = 0;
  std::size_t next = 0;
  for (const std::uint64_t address : addresses) {
    for (; next < rows.size() && rows[next].Address <= address; ++next) {
      if (rows[next].EndSequence) {
        own = 0;
      } else if (rows[next].File == dwarf.File) {
        own = rows[next].Line;
      }
    }
    const int call = calls.At(address);
    entries.Add(address, call != 0 ? call : own);
  }
  entries.Finish();
}

// The last row at each address is the one its code belongs to; an end of sequence is line 0
// (no line).
void AddFirstFileLines(std::span<const TLineRow> rows, TSymbolData& data, TSymbolFunction& function,
                       std::uint32_t& firstFile) {
  firstFile = kUnknownFile;
  for (const TLineRow& row : rows) {
    if (!row.EndSequence) {
      firstFile = row.File;
      break;
    }
  }
  TLineEntries entries(data, function);
  for (const TLineRow& row : rows) {
    if (!row.EndSequence && row.File != firstFile) continue;
    entries.Add(row.Address, row.EndSequence ? 0 : row.Line);
  }
  entries.Finish();
}

void SetEntryLines(TSymbolData& data, const std::vector<const TDwarfFunction*>& dwarf) {
  for (std::size_t i = 0; i < data.Functions.size(); ++i) {
    const TSymbolFunction& part = data.Functions[i];
    if (dwarf[i] == nullptr || dwarf[i]->Entry - part.Start < part.Length) continue;
    const std::uint64_t entry = dwarf[i]->Entry;
    const auto holder =
        std::upper_bound(data.Functions.begin(), data.Functions.end(), entry,
                         [](std::uint64_t a, const TSymbolFunction& f) { return a < f.Start; });
    if (holder == data.Functions.begin()) continue;
    const TSymbolFunction& main = *std::prev(holder);
    if (entry - main.Start >= main.Length) continue;
    data.Functions[i].EntryLine = LineAt(data, main, entry);
  }
}

}  // namespace SymbolExtractor
