#include "symbol_table_builder.h"

#include <algorithm>
#include <map>

#include "dwarf_info.h"
#include "dwarf_lines.h"
#include "function_lines.h"
#include "function_names.h"
#include "reporter/report/symbols/image_file.h"
#include "reporter/report/symbols/map_file.h"
#include "reporter/report/symbols/readable_name.h"

namespace SymbolExtractor {
namespace {

using namespace Reporter::Symbols;

struct TFunctionSymbol {
  std::uint64_t Address = 0;
  std::uint64_t Size = 0;
  std::string Name;  // as stored, without the decoration of 32-bit Windows
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
    functions.push_back(
        {symbol.Address, symbol.Size, decorated ? UndecoratedName(symbol.Name) : symbol.Name});
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

// The functions of the debug information by the address ranges of their code.
class TDwarfIndex {
 public:
  explicit TDwarfIndex(const std::vector<TDwarfFunction>& functions) : functions_(functions) {
    for (std::size_t i = 0; i < functions.size(); ++i) {
      for (const TAddressRange& range : functions[i].Ranges) ranges_.push_back({range, i});
    }
    std::sort(ranges_.begin(), ranges_.end(),
              [](const TIndexed& a, const TIndexed& b) { return a.Range.Begin < b.Range.Begin; });
  }

  // The function whose code holds the address; nullptr when none does.
  const TDwarfFunction* At(std::uint64_t address) const {
    const auto next =
        std::upper_bound(ranges_.begin(), ranges_.end(), address,
                         [](std::uint64_t a, const TIndexed& r) { return a < r.Range.Begin; });
    if (next == ranges_.begin() || address >= std::prev(next)->Range.End) return nullptr;
    return &functions_[std::prev(next)->Function];
  }

 private:
  struct TIndexed {
    TAddressRange Range;
    std::size_t Function = 0;
  };
  const std::vector<TDwarfFunction>& functions_;
  std::vector<TIndexed> ranges_;
};

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

TImageDebugInfo ReadImageDebugInfo(std::span<const std::uint8_t> image, const TImageInfo& info) {
  const auto section = [&](std::string_view name) { return SectionBytes(image, info, name); };
  TDwarfSections dwarf;
  dwarf.Line = section(".debug_line");
  dwarf.LineStr = section(".debug_line_str");
  dwarf.Str = section(".debug_str");
  TImageDebugInfo debug;
  debug.Lines = ReadLinePrograms(dwarf);
  TDebugSections sections;
  sections.Info = section(".debug_info");
  sections.Abbrev = section(".debug_abbrev");
  sections.Str = dwarf.Str;
  sections.LineStr = dwarf.LineStr;
  sections.StrOffsets = section(".debug_str_offsets");
  sections.Addr = section(".debug_addr");
  sections.Ranges = section(".debug_ranges");
  sections.RngLists = section(".debug_rnglists");
  debug.Functions = ReadDebugInfo(sections, debug.Lines);
  return debug;
}

std::optional<TSymbolData> BuildSymbolData(std::span<const std::uint8_t> image,
                                           std::string& error) {
  const std::optional<TImageInfo> info = ParseImage(image);
  if (!info) {
    error = "not a complete PE32, PE32+, ELF32 or ELF64 image for x86";
    return std::nullopt;
  }
  const std::vector<TFunctionSymbol> symbols = FunctionSymbols(image, *info);
  const TImageDebugInfo debug = ReadImageDebugInfo(image, *info);
  const TLineTable& lines = debug.Lines;
  const std::vector<TLineRow> rows = SortedRows(lines.Rows, *info);
  const TDwarfIndex index(debug.Functions);
  const auto fileStem = [&](std::uint32_t file) {
    return file < lines.Files.size() ? FileStem(lines.Files[file]) : std::string();
  };

  TSymbolData data;
  TTextList names(data.Names);
  TTextList units(data.Units);
  std::vector<const TDwarfFunction*> dwarfOf;
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

    // The debug information tells where a function belongs; a name alone is read as well as
    // it can be.
    const TDwarfFunction* described = index.At(symbol.Address);
    TUnitAndFunction readable;
    if (described != nullptr) readable = ReadableName(described->Scopes, described->Name);
    if (readable.Function.empty()) {
      described = nullptr;
      readable = ReadableSymbolName(symbol.Name);
    }
    std::uint32_t file = kUnknownFile;
    if (described != nullptr && described->File != kUnknownFile) {
      file = described->File;
      AddOwnLines(own, *described, data, function);
    } else {
      AddFirstFileLines(own, data, function, file);
    }
    if (readable.Unit.empty()) readable.Unit = fileStem(file);
    function.Name = names.Add(readable.Function);
    function.Unit = units.Add(readable.Unit);
    data.Functions.push_back(function);
    dwarfOf.push_back(described);
  }
  SetEntryLines(data, dwarfOf);
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
