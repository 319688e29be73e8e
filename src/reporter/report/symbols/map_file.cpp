#include "reporter/report/symbols/map_file.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "reporter/report/symbols/image_file.h"
#include "reporter/report/symbols/readable_name.h"
#include "reporter/report/symbols/symbol_data.h"
#include "rtl/case_folding.h"

namespace Reporter::Symbols {
namespace {

std::string HexChecksum(std::uint32_t checksum) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", checksum);
  return text;
}

}  // namespace

std::unique_ptr<TMapFile> TMapFile::FromSymbolData(std::span<const std::uint8_t> data,
                                                   std::uint64_t loadBias) {
  std::optional<TSymbolData> table = DecodeSymbolData(data);
  if (!table || table->Functions.empty()) return nullptr;
  std::unique_ptr<TMapFile> map(new TMapFile());
  map->segments_.reserve(table->Functions.size());
  map->publics_.reserve(table->Functions.size());
  for (const TSymbolFunction& function : table->Functions) {
    const std::uint64_t start = function.Start + loadBias;
    map->segments_.push_back({start, function.Length, function.Unit, function.LineNumbers});
    map->publics_.push_back({start, function.Name, function.Unit, function.EntryLine});
  }
  map->lines_ = std::move(table->Lines);
  for (TMfLine& line : map->lines_) line.Address += loadBias;
  map->names_ = std::move(table->Names);
  map->units_ = std::move(table->Units);
  map->topOfCode_ = table->TopOfCode == 0 ? 0 : table->TopOfCode + loadBias;
  map->minDebugInfo_ =
      "sym" + std::to_string(kSymbolDataVersion) + " $" + HexChecksum(table->Checksum);
  map->fromSymbolData_ = true;
  return map;
}

std::unique_ptr<TMapFile> TMapFile::FromExports(std::span<const std::uint8_t> imageFile,
                                                std::uint64_t loadBias) {
  const std::optional<TImageInfo> info = ParseImage(imageFile);
  if (!info) return nullptr;
  std::vector<TImageSymbol> exports = ReadExports(imageFile, *info);
  if (exports.empty()) return nullptr;
  // Several names for one address: the plainest comes first and stands for the address.
  const auto plainness = [](const std::string& name) {
    return std::make_tuple(name.find_first_not_of('_'), name.size(), std::string_view(name));
  };
  std::sort(exports.begin(), exports.end(), [&](const TImageSymbol& a, const TImageSymbol& b) {
    if (a.Address != b.Address) return a.Address < b.Address;
    return plainness(a.Name) < plainness(b.Name);
  });
  std::unique_ptr<TMapFile> map(new TMapFile());
  map->units_.emplace_back();
  for (TImageSymbol& symbol : exports) {
    map->publics_.push_back({symbol.Address + loadBias, std::uint32_t(map->names_.size()), 0});
    map->names_.push_back(std::move(symbol.Name));
  }
  map->topOfCode_ = info->CodeEnd == 0 ? 0 : info->CodeEnd + loadBias;
  map->minDebugInfo_ = "exports";
  return map;
}

const TMapFile::TSegment* TMapFile::SegmentAt(std::uint64_t address) const {
  auto next = std::upper_bound(segments_.begin(), segments_.end(), address,
                               [](std::uint64_t a, const TSegment& s) { return a < s.Start; });
  if (next == segments_.begin()) return nullptr;
  const TSegment& segment = *std::prev(next);
  return address - segment.Start < segment.Length ? &segment : nullptr;
}

TMfSegment TMapFile::FindSegment(bool code, std::uint64_t address) const {
  const TSegment* segment = code ? SegmentAt(address) : nullptr;
  if (segment == nullptr) return {};
  return {true, true, segment->Start, segment->Length, units_[segment->Unit], segment->LineNumbers};
}

TMfPublic TMapFile::FindPublic(std::uint64_t address) const {
  auto next = std::upper_bound(publics_.begin(), publics_.end(), address,
                               [](std::uint64_t a, const TPublic& p) { return a < p.Address; });
  if (next == publics_.begin()) return {};
  if (next == publics_.end() && topOfCode_ != 0 && address >= topOfCode_) return {};
  auto found = std::prev(next);
  while (found != publics_.begin() && std::prev(found)->Address == found->Address) --found;
  if (fromSymbolData_) {
    return {true, true, names_[found->Name], units_[found->Unit], found->Address};
  }
  // Exports are read when looked up: a library exports thousands, a trace looks up a few.
  TUnitAndFunction readable = ReadableSymbolName(names_[found->Name]);
  return {true, true, std::move(readable.Function), std::move(readable.Unit), found->Address};
}

int TMapFile::FindLine(std::uint64_t address) const {
  const TSegment* segment = SegmentAt(address);
  if (lines_.empty()) return segment != nullptr && segment->LineNumbers ? -1 : 0;
  if (segment == nullptr) return 0;
  auto next = std::upper_bound(lines_.begin(), lines_.end(), address,
                               [](std::uint64_t a, const TMfLine& l) { return a < l.Address; });
  if (next == lines_.begin()) return 0;
  if (next == lines_.end() && topOfCode_ != 0 && address >= topOfCode_) return 0;
  const TMfLine& found = *std::prev(next);
  return found.Address >= segment->Start ? found.Line : 0;
}

int TMapFile::FindFirstLine(std::uint64_t functionStart) const {
  auto next = std::upper_bound(publics_.begin(), publics_.end(), functionStart,
                               [](std::uint64_t a, const TPublic& p) { return a < p.Address; });
  if (next != publics_.begin()) {
    const TPublic& found = *std::prev(next);
    if (found.Address == functionStart && found.EntryLine > 0) return found.EntryLine;
  }
  return FindLine(functionStart);
}

std::optional<std::uint64_t> TMapFile::FindInUnit(std::string_view unit, std::string_view name,
                                                  bool exactCase) const {
  std::vector<bool> unitMatches(units_.size());
  for (std::size_t i = 0; i < units_.size(); ++i) {
    unitMatches[i] = RTL::Text::SameIgnoreCase(units_[i], unit);
  }
  const auto same = [&](std::string_view a, std::string_view b) {
    return exactCase ? a == b : RTL::Text::SameIgnoreCase(a, b);
  };
  for (const TPublic& candidate : publics_) {
    if (!unitMatches[candidate.Unit]) continue;
    const std::string& shown = names_[candidate.Name];
    if (same(shown, name)) return candidate.Address;
    std::string qualified = units_[candidate.Unit];
    for (std::size_t dot = qualified.find('.'); dot != std::string::npos;
         dot = qualified.find('.', dot + 2)) {
      qualified.replace(dot, 1, "::");
    }
    if (same(qualified.empty() ? shown : qualified + "::" + shown, name)) return candidate.Address;
  }
  return std::nullopt;
}

std::optional<std::uint64_t> TMapFile::FindPublicAddress(std::string_view unit,
                                                         std::string_view name,
                                                         bool exactCase) const {
  if (auto address = FindInUnit(unit, name, exactCase)) return address;
  if (unit.find('.') != std::string_view::npos) return std::nullopt;
  for (std::string_view extension : {".cpp", ".h", ".c"}) {
    if (auto address = FindInUnit(std::string(unit) + std::string(extension), name, exactCase)) {
      return address;
    }
  }
  return std::nullopt;
}

const std::string& TMapFile::MinDebugInfo() const {
  return minDebugInfo_;
}

std::uint64_t TMapFile::TopOfCode() const {
  return topOfCode_;
}

}  // namespace Reporter::Symbols
