#include "symbol_table_builder.h"

#include <algorithm>
#include <map>

#include "dwarf_lines.h"
#include "function_names.h"
#include "reporter/report/symbols/image_file.h"
#include "reporter/report/symbols/map_file.h"
#include "reporter/report/symbols/qualified_name.h"

namespace SymbolExtractor {
namespace {

using namespace Reporter::Symbols;

struct TFunctionSymbol {
  std::uint64_t Address = 0;
  std::uint64_t Size = 0;
  std::string Name;
};

// Names in order of first use, each once.
class TTextList {
 public:
  explicit TTextList(std::vector<std::string>& texts) : texts_(texts) {}
  std::uint32_t Add(const std::string& text) {
    const auto [it, added] = indexes_.emplace(text, std::uint32_t(texts_.size()));
    if (added) texts_.push_back(text);
    return it->second;
  }

 private:
  std::vector<std::string>& texts_;
  std::map<std::string, std::uint32_t> indexes_;
};

std::vector<TFunctionSymbol> FunctionSymbols(std::span<const std::uint8_t> image,
                                             const TImageInfo& info) {
  const bool decorated = info.Format == TImageFormat::Pe32;
  std::vector<TFunctionSymbol> functions;
  for (const TImageSymbol& symbol : ReadFunctionSymbols(image, info)) {
    const std::string stored = decorated ? UndecoratedName(symbol.Name) : symbol.Name;
    functions.push_back({symbol.Address, symbol.Size, QualifiedFunctionName(stored)});
  }
  // One function per address: the one with a size, then the first name.
  std::sort(functions.begin(), functions.end(),
            [](const TFunctionSymbol& a, const TFunctionSymbol& b) {
              if (a.Address != b.Address) return a.Address < b.Address;
              if ((a.Size != 0) != (b.Size != 0)) return a.Size != 0;
              return a.Name < b.Name;
            });
  functions.erase(std::unique(functions.begin(), functions.end(),
                              [](const TFunctionSymbol& a, const TFunctionSymbol& b) {
                                return a.Address == b.Address;
                              }),
                  functions.end());
  return functions;
}

// The end of the code section holding the address; the address itself when none does.
std::uint64_t CodeSectionEnd(const TImageInfo& info, std::uint64_t address) {
  for (const TImageSection& section : info.Sections) {
    if (section.Code && section.Loaded && address >= section.Address &&
        address - section.Address < section.Size) {
      return section.Address + section.Size;
    }
  }
  return address;
}

bool InCodeSection(const TImageInfo& info, std::uint64_t address) {
  return CodeSectionEnd(info, address) != address;
}

// The rows of the sequences that lie in code (the linker leaves those of discarded functions
// at address 0), without rows at the very address where their sequence ends (they cover no
// code), sorted by address; where one sequence ends at the address another begins, the
// beginning wins.
std::vector<TLineRow> SortedRows(const std::vector<TLineRow>& rows, const TImageInfo& info) {
  std::vector<TLineRow> sorted;
  std::vector<TLineRow> sequence;
  for (const TLineRow& row : rows) {
    if (row.EndSequence) {
      while (!sequence.empty() && sequence.back().Address == row.Address) sequence.pop_back();
    }
    sequence.push_back(row);
    if (row.EndSequence) {
      if (InCodeSection(info, sequence.front().Address)) {
        sorted.insert(sorted.end(), sequence.begin(), sequence.end());
      }
      sequence.clear();
    }
  }
  if (!sequence.empty() && InCodeSection(info, sequence.front().Address)) {
    sorted.insert(sorted.end(), sequence.begin(), sequence.end());
  }
  std::stable_sort(sorted.begin(), sorted.end(), [](const TLineRow& a, const TLineRow& b) {
    if (a.Address != b.Address) return a.Address < b.Address;
    return a.EndSequence && !b.EndSequence;
  });
  return sorted;
}

// The function's line entries from its rows: the last row at each address (the one its code
// belongs to), an end of sequence as line 0 (no line), and no entry that repeats the line
// before it or begins with no line. Only rows of the function's own source file count: code
// inlined from another file keeps the line of the function's own source where it was
// inlined, which is the line a reader of the call stack looks for.
void AddLines(std::span<const TLineRow> rows, TSymbolData& data, TSymbolFunction& function,
              std::uint32_t& firstFile) {
  function.FirstLine = std::uint32_t(data.Lines.size());
  firstFile = kUnknownFile;
  for (const TLineRow& row : rows) {
    if (!row.EndSequence) {
      firstFile = row.File;
      break;
    }
  }
  const auto ownLines = [&] { return data.Lines.size() > function.FirstLine; };
  for (const TLineRow& row : rows) {
    if (!row.EndSequence && row.File != firstFile) continue;
    const int line = row.EndSequence ? 0 : row.Line;
    if (ownLines() && data.Lines.back().Address == row.Address) data.Lines.pop_back();
    if (ownLines() ? data.Lines.back().Line != line : line != 0) {
      data.Lines.push_back({line, row.Address});
    }
  }
  function.LineCount = std::uint32_t(data.Lines.size() - function.FirstLine);
  function.LineNumbers = function.LineCount > 0;
}

}  // namespace

std::span<const std::uint8_t> ImageWithoutSymbolData(std::span<const std::uint8_t> file) {
  if (file.size() < kSymbolTrailerSize) return file;
  const auto trailer = DecodeSymbolTrailer(file.last(kSymbolTrailerSize), file.size());
  if (!trailer) return file;
  return file.first(file.size() - kSymbolTrailerSize - trailer->Size);
}

std::string FileStem(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  const std::size_t dot = path.rfind('.');
  if (dot != std::string_view::npos && dot > 0) path = path.substr(0, dot);
  return std::string(path);
}

std::optional<TSymbolData> BuildSymbolData(std::span<const std::uint8_t> image,
                                           std::string& error) {
  const std::optional<TImageInfo> info = ParseImage(image);
  if (!info) {
    error = "not a complete PE32, PE32+, ELF32 or ELF64 image for x86";
    return std::nullopt;
  }
  const std::vector<TFunctionSymbol> symbols = FunctionSymbols(image, *info);
  TDwarfSections dwarf;
  dwarf.Line = SectionBytes(image, *info, ".debug_line");
  dwarf.LineStr = SectionBytes(image, *info, ".debug_line_str");
  dwarf.Str = SectionBytes(image, *info, ".debug_str");
  const TLineTable lines = ReadLinePrograms(dwarf);
  const std::vector<TLineRow> rows = SortedRows(lines.Rows, *info);

  TSymbolData data;
  TTextList names(data.Names);
  TTextList units(data.Units);
  std::vector<std::string> unitTexts;
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    const TFunctionSymbol& symbol = symbols[i];
    const std::uint64_t limit =
        i + 1 < symbols.size() ? symbols[i + 1].Address : CodeSectionEnd(*info, symbol.Address);
    TSymbolFunction function;
    function.Start = symbol.Address;
    // A size reaches no further than the next function; without one the function runs to it
    // (or to the end of its section).
    const std::uint64_t room = limit > symbol.Address ? limit - symbol.Address : 0;
    if (symbol.Size != 0) {
      function.Length = room != 0 ? std::min(symbol.Size, room) : symbol.Size;
    } else {
      function.Length = std::max<std::uint64_t>(room, 1);
    }
    function.Name = names.Add(symbol.Name);

    const auto first = std::lower_bound(
        rows.begin(), rows.end(), function.Start,
        [](const TLineRow& row, std::uint64_t address) { return row.Address < address; });
    const auto last = std::lower_bound(
        first, rows.end(), function.Start + function.Length,
        [](const TLineRow& row, std::uint64_t address) { return row.Address < address; });
    // A row before the function that its sequence carries on into the function (a cold part
    // split off in the middle of a line) gives the function's first line.
    std::vector<TLineRow> own;
    if (first != rows.begin() && (first == rows.end() || first->Address != function.Start) &&
        !std::prev(first)->EndSequence) {
      own.push_back(*std::prev(first));
      own.back().Address = function.Start;
    }
    own.insert(own.end(), first, last);
    std::uint32_t firstFile = kUnknownFile;
    AddLines(own, data, function, firstFile);

    std::string unit = SplitQualifiedName(symbol.Name).Unit;
    if (unit.empty() && firstFile != kUnknownFile) unit = FileStem(lines.Files[firstFile]);
    unitTexts.push_back(std::move(unit));
    data.Functions.push_back(function);
  }
  // A clone of a function without qualifier ("main.cold") often begins with inlined code of
  // another file: it belongs to the unit of its function.
  std::map<std::string_view, std::size_t> byName;
  for (std::size_t i = 0; i < symbols.size(); ++i) byName.emplace(symbols[i].Name, i);
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    const std::string& name = symbols[i].Name;
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos || dot == 0 || !TopLevelSeparators(name).empty()) continue;
    const auto base = byName.find(std::string_view(name).substr(0, dot));
    if (base != byName.end()) unitTexts[i] = unitTexts[base->second];
  }
  for (std::size_t i = 0; i < symbols.size(); ++i) data.Functions[i].Unit = units.Add(unitTexts[i]);
  data.TopOfCode = info->CodeEnd;
  if (!data.Functions.empty()) {
    const TSymbolFunction& last = data.Functions.back();
    data.TopOfCode = std::max(data.TopOfCode, last.Start + last.Length);
  }
  return data;
}

std::vector<std::uint8_t> WithSymbolData(std::span<const std::uint8_t> image,
                                         const TSymbolData& data) {
  const std::vector<std::uint8_t> encoded = EncodeSymbolData(data);
  const auto trailer = EncodeSymbolTrailer({std::uint32_t(encoded.size()), Crc32(encoded)});
  std::vector<std::uint8_t> file(image.begin(), image.end());
  file.insert(file.end(), encoded.begin(), encoded.end());
  file.insert(file.end(), trailer.begin(), trailer.end());
  return file;
}

}  // namespace SymbolExtractor
