#include "dwarf_ranges.h"

namespace SymbolExtractor {
namespace {

using Reporter::Symbols::TByteReader;

enum : std::uint8_t {
  kRleEndOfList = 0,
  kRleBaseAddressx = 1,
  kRleStartxEndx = 2,
  kRleStartxLength = 3,
  kRleOffsetPair = 4,
  kRleBaseAddress = 5,
  kRleStartEnd = 6,
  kRleStartLength = 7,
};

void Add(std::vector<TAddressRange>& ranges, std::uint64_t begin, std::uint64_t end) {
  if (begin < end) ranges.push_back({begin, end});
}

std::vector<TAddressRange> ReadRanges(std::uint64_t offset, std::uint64_t base,
                                      const TUnitEncoding& unit, const TDebugSections& sections) {
  std::vector<TAddressRange> ranges;
  TByteReader reader(sections.Ranges, offset);
  const std::uint64_t selector =
      unit.AddressSize >= 8 ? ~std::uint64_t(0) : (std::uint64_t(1) << (8 * unit.AddressSize)) - 1;
  while (reader.Ok()) {
    const std::uint64_t begin = reader.Unsigned(unit.AddressSize);
    const std::uint64_t end = reader.Unsigned(unit.AddressSize);
    if (!reader.Ok() || (begin == 0 && end == 0)) break;
    if (begin == selector) {
      base = end;
    } else {
      Add(ranges, base + begin, base + end);
    }
  }
  return ranges;
}

std::vector<TAddressRange> ReadRngLists(std::uint64_t offset, std::uint64_t base,
                                        const TUnitEncoding& unit, const TDebugSections& sections) {
  std::vector<TAddressRange> ranges;
  TByteReader reader(sections.RngLists, offset);
  const auto indexed = [&](std::uint64_t index, std::uint64_t& address) {
    return IndexedAddress(index, unit, sections, address);
  };
  while (reader.Ok()) {
    const std::uint8_t kind = reader.U8();
    if (!reader.Ok() || kind == kRleEndOfList) break;
    // Each entry's numbers are read before any is used, so that a damaged one adds nothing.
    std::uint64_t first = 0, second = 0;
    bool ok = true;
    switch (kind) {
      case kRleBaseAddressx:
        ok = indexed(reader.Uleb(), base) && reader.Ok();
        break;
      case kRleStartxEndx:
        first = reader.Uleb();
        second = reader.Uleb();
        ok = reader.Ok() && indexed(first, first) && indexed(second, second);
        if (ok) Add(ranges, first, second);
        break;
      case kRleStartxLength:
        first = reader.Uleb();
        second = reader.Uleb();
        ok = reader.Ok() && indexed(first, first);
        if (ok) Add(ranges, first, first + second);
        break;
      case kRleOffsetPair:
        first = reader.Uleb();
        second = reader.Uleb();
        ok = reader.Ok();
        if (ok) Add(ranges, base + first, base + second);
        break;
      case kRleBaseAddress:
        first = reader.Unsigned(unit.AddressSize);
        ok = reader.Ok();
        if (ok) base = first;
        break;
      case kRleStartEnd:
        first = reader.Unsigned(unit.AddressSize);
        second = reader.Unsigned(unit.AddressSize);
        ok = reader.Ok();
        if (ok) Add(ranges, first, second);
        break;
      case kRleStartLength:
        first = reader.Unsigned(unit.AddressSize);
        second = reader.Uleb();
        ok = reader.Ok();
        if (ok) Add(ranges, first, first + second);
        break;
      default:
        ok = false;
    }
    if (!ok) break;
  }
  return ranges;
}

}  // namespace

std::vector<TAddressRange> ReadRangeList(const TAttributeValue& value, std::uint64_t base,
                                         const TUnitEncoding& unit,
                                         const TDebugSections& sections) {
  if (value.Class == TValueClass::RangeListIndex) {
    if (value.Number > sections.RngLists.size() / unit.OffsetSize) return {};
    TByteReader reader(sections.RngLists, unit.RngListsBase);
    reader.Skip(value.Number * unit.OffsetSize);
    const std::uint64_t offset = reader.Unsigned(unit.OffsetSize);
    if (!reader.Ok()) return {};
    return ReadRngLists(unit.RngListsBase + offset, base, unit, sections);
  }
  if (value.Class != TValueClass::SectionOffset && value.Class != TValueClass::Constant) return {};
  if (unit.Version >= 5) return ReadRngLists(value.Number, base, unit, sections);
  return ReadRanges(value.Number, base, unit, sections);
}

}  // namespace SymbolExtractor
