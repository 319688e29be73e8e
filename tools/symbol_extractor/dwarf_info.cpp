#include "dwarf_info.h"

#include <algorithm>
#include <map>
#include <utility>

namespace SymbolExtractor {
namespace {

using Reporter::Symbols::TByteReader;
using Reporter::Symbols::TScope;
using Reporter::Symbols::TScopeKind;

enum : std::uint64_t {
  kTagClassType = 0x02,
  kTagStructureType = 0x13,
  kTagUnionType = 0x17,
  kTagInlinedSubroutine = 0x1D,
  kTagSubprogram = 0x2E,
  kTagNamespace = 0x39,
};

enum : std::uint8_t { kUnitType = 2, kUnitSkeleton = 4, kUnitSplitCompile = 5, kUnitSplitType = 6 };

constexpr std::uint64_t kNoOffset = ~std::uint64_t(0);
// Bounds against damaged input: nesting of entries, and steps along references and scopes.
constexpr std::size_t kMaxDepth = 512;
constexpr int kMaxSteps = 64;

// The attributes of one entry that the reader uses, as read.
struct TAttributes {
  TAttributeValue Name, LowPc, HighPc, Ranges, EntryPc, StmtList;
  TAttributeValue StrOffsetsBase, AddrBase, RngListsBase;
  TAttributeValue Declaration, AbstractOrigin, DeclFile, CallFile, CallLine, ExportSymbols;
};

// By attribute code: DW_AT_name, DW_AT_stmt_list, DW_AT_low_pc, DW_AT_high_pc,
// DW_AT_abstract_origin, DW_AT_decl_file, DW_AT_specification (the declaration that a
// definition completes), DW_AT_entry_pc, DW_AT_ranges, DW_AT_call_file, DW_AT_call_line,
// DW_AT_str_offsets_base, DW_AT_addr_base, DW_AT_rnglists_base and DW_AT_export_symbols (which
// marks an inline namespace).
constexpr std::pair<std::uint64_t, TAttributeValue TAttributes::*> kKeptAttributes[] = {
    {0x03, &TAttributes::Name},           {0x10, &TAttributes::StmtList},
    {0x11, &TAttributes::LowPc},          {0x12, &TAttributes::HighPc},
    {0x31, &TAttributes::AbstractOrigin}, {0x3A, &TAttributes::DeclFile},
    {0x47, &TAttributes::Declaration},    {0x52, &TAttributes::EntryPc},
    {0x55, &TAttributes::Ranges},         {0x58, &TAttributes::CallFile},
    {0x59, &TAttributes::CallLine},       {0x72, &TAttributes::StrOffsetsBase},
    {0x73, &TAttributes::AddrBase},       {0x74, &TAttributes::RngListsBase},
    {0x89, &TAttributes::ExportSymbols},
};

// A namespace, class or function: what scopes are made of, and what references lead to.
struct TEntry {
  std::uint64_t Offset = 0;
  std::int32_t Parent = -1;  // the nearest recorded entry around it
  std::uint64_t Tag = 0;
  bool InlineNamespace = false;
  std::string_view Name;
  std::uint64_t Declaration = kNoOffset;
  std::uint64_t AbstractOrigin = kNoOffset;
  std::uint32_t File = kUnknownFile;
};

// An inlined call with the call it is inlined into.
struct TCallRecord {
  TInlinedCall Call;
  std::int32_t Around = -1;  // index of the call around it; -1 directly in the function
  std::uint64_t Origin = kNoOffset;
};

struct TConcrete {
  std::int32_t Entry = -1;
  TDwarfFunction Function;  // ranges and entry; the rest comes from the entries and calls
  std::vector<TCallRecord> Calls;
};

// Where an entry's children are: the recorded entry, the function and the inlined call they
// belong to.
struct TFrame {
  std::int32_t Record = -1;
  std::int32_t Concrete = -1;
  std::int32_t Call = -1;
};

class TInfoReader {
 public:
  TInfoReader(const TDebugSections& sections, const TLineTable& lines)
      : sections_(sections), lines_(lines) {}

  std::vector<TDwarfFunction> Read() {
    TByteReader reader(sections_.Info);
    while (!reader.AtEnd() && ReadUnit(reader)) {
    }
    std::vector<TDwarfFunction> functions;
    functions.reserve(concretes_.size());
    for (TConcrete& concrete : concretes_) {
      TDwarfFunction& function = concrete.Function;
      function.Name = NameOf(concrete.Entry);
      function.File = FileOf(concrete.Entry);
      function.Scopes = ScopesOf(concrete.Entry);
      function.Calls = OutermostCalls(concrete);
      functions.push_back(std::move(function));
    }
    return functions;
  }

 private:
  // Reads the unit at the reader's position and leaves the reader after it; false when its
  // length cannot be trusted, so that nothing after it can be found.
  bool ReadUnit(TByteReader& reader) {
    TUnitEncoding unit;
    unit.Offset = reader.Position();
    std::uint64_t length = reader.U32();
    if (length == 0xFFFFFFFF) {
      length = reader.U64();
      unit.OffsetSize = 8;
    } else if (length >= 0xFFFFFFF0) {
      return false;
    }
    if (!reader.Ok() || length > reader.Remaining()) return false;
    const std::uint64_t unitEnd = reader.Position() + length;
    TByteReader entries(sections_.Info.first(unitEnd), reader.Position());
    reader.Seek(unitEnd);

    unit.Version = entries.U16();
    std::uint64_t abbrevOffset = 0;
    if (unit.Version >= 5) {
      const std::uint8_t type = entries.U8();
      unit.AddressSize = entries.U8();
      abbrevOffset = entries.Unsigned(unit.OffsetSize);
      if (type == kUnitType || type == kUnitSplitType) return true;  // types only
      if (type == kUnitSkeleton || type == kUnitSplitCompile) entries.Skip(8);
    } else {
      abbrevOffset = entries.Unsigned(unit.OffsetSize);
      unit.AddressSize = entries.U8();
    }
    if (!entries.Ok() || unit.Version < 2 || unit.Version > 5) return true;
    if (unit.AddressSize != 4 && unit.AddressSize != 8) return true;
    const TAbbrevTable* abbrevs = Abbrevs(abbrevOffset);
    if (abbrevs == nullptr) return true;
    ReadEntries(entries, unit, *abbrevs);
    return true;
  }

  const TAbbrevTable* Abbrevs(std::uint64_t offset) {
    const auto [it, added] = abbrevTables_.try_emplace(offset);
    if (added && !it->second.Read(sections_.Abbrev, offset)) {
      abbrevTables_.erase(it);
      return nullptr;
    }
    return &it->second;
  }

  // Where an entry's file attributes point in the line table's files.
  struct TUnitState {
    TUnitEncoding& Encoding;
    const std::vector<std::uint32_t>* Files = nullptr;
    std::uint64_t Base = 0;  // the base address of range lists

    std::uint32_t FileOf(const TAttributeValue& value) const {
      const bool known =
          Files != nullptr && value.Class == TValueClass::Constant && value.Number < Files->size();
      return known ? (*Files)[value.Number] : kUnknownFile;
    }
  };

  // The entries of one unit; a damaged entry ends the unit, keeping what came before.
  void ReadEntries(TByteReader& reader, TUnitEncoding& encoding, const TAbbrevTable& abbrevs) {
    TUnitState unit{encoding};
    std::vector<TFrame> frames;
    bool first = true;
    while (!reader.AtEnd()) {
      const std::uint64_t offset = reader.Position();
      const std::uint64_t code = reader.Uleb();
      if (!reader.Ok()) return;
      if (code == 0) {
        if (!frames.empty()) frames.pop_back();
        continue;
      }
      const TAbbrev* abbrev = abbrevs.Find(code);
      TAttributes attributes;
      if (abbrev == nullptr || !ReadAttributes(reader, *abbrev, encoding, attributes)) return;
      const TFrame around = frames.empty() ? TFrame{} : frames.back();
      TFrame inside = around;
      if (first) {
        StartUnit(attributes, unit);
        first = false;
      } else {
        inside = Enter(offset, abbrev->Tag, attributes, around, unit);
      }
      if (abbrev->HasChildren) {
        if (frames.size() >= kMaxDepth) return;
        frames.push_back(inside);
      }
    }
  }

  // Records what the entry adds; gives where its children are.
  TFrame Enter(std::uint64_t offset, std::uint64_t tag, const TAttributes& attributes,
               const TFrame& around, const TUnitState& unit) {
    switch (tag) {
      case kTagNamespace:
      case kTagClassType:
      case kTagStructureType:
      case kTagUnionType:
      case kTagSubprogram: {
        TFrame inside{Record(offset, tag, attributes, around, unit), -1, -1};
        if (tag != kTagSubprogram) return inside;
        TDwarfFunction code;
        code.Ranges = RangesOf(attributes, unit);
        if (code.Ranges.empty()) return inside;  // a declaration or an abstract instance
        code.Entry = EntryOf(attributes, unit.Encoding, code.Ranges);
        inside.Concrete = std::int32_t(concretes_.size());
        concretes_.push_back({inside.Record, std::move(code), {}});
        return inside;
      }
      case kTagInlinedSubroutine: {
        if (around.Concrete < 0) return around;
        TCallRecord record;
        record.Around = around.Call;
        if (attributes.AbstractOrigin.Class == TValueClass::Reference) {
          record.Origin = attributes.AbstractOrigin.Number;
        }
        record.Call.Ranges = RangesOf(attributes, unit);
        record.Call.File = unit.FileOf(attributes.CallFile);
        if (attributes.CallLine.Class == TValueClass::Constant &&
            attributes.CallLine.Number <= 0x7FFFFFFF) {
          record.Call.Line = int(attributes.CallLine.Number);
        }
        auto& calls = concretes_[std::size_t(around.Concrete)].Calls;
        TFrame inside = around;
        inside.Call = std::int32_t(calls.size());
        calls.push_back(std::move(record));
        return inside;
      }
      default:
        return around;
    }
  }

  bool ReadAttributes(TByteReader& reader, const TAbbrev& abbrev, const TUnitEncoding& unit,
                      TAttributes& attributes) {
    TAttributeValue value;
    for (const TAbbrevAttribute& attribute : abbrev.Attributes) {
      if (!ReadAttributeValue(reader, attribute.Form, attribute.ImplicitConst, unit, sections_,
                              value)) {
        return false;
      }
      for (const auto& [name, member] : kKeptAttributes) {
        if (name == attribute.Name) attributes.*member = value;
      }
    }
    return true;
  }

  // The unit's own entry: the bases of its indexed forms, its line program's files and the
  // base address of its range lists.
  void StartUnit(const TAttributes& attributes, TUnitState& unit) {
    unit.Encoding.StrOffsetsBase = attributes.StrOffsetsBase.Number;
    unit.Encoding.AddrBase = attributes.AddrBase.Number;
    unit.Encoding.RngListsBase = attributes.RngListsBase.Number;
    if (attributes.StmtList.Class == TValueClass::SectionOffset ||
        attributes.StmtList.Class == TValueClass::Constant) {
      const auto found = lines_.UnitFiles.find(attributes.StmtList.Number);
      if (found != lines_.UnitFiles.end()) unit.Files = &found->second;
    }
    Address(attributes.LowPc, unit.Encoding, unit.Base);
  }

  bool Address(const TAttributeValue& value, const TUnitEncoding& unit, std::uint64_t& address) {
    if (value.Class == TValueClass::Address) {
      address = value.Number;
      return true;
    }
    return value.Class == TValueClass::AddressIndex &&
           IndexedAddress(value.Number, unit, sections_, address);
  }

  std::string_view Text(const TAttributeValue& value, const TUnitEncoding& unit) const {
    if (value.Class == TValueClass::StringIndex)
      return IndexedString(value.Number, unit, sections_);
    return value.Class == TValueClass::String ? value.Text : std::string_view();
  }

  std::vector<TAddressRange> RangesOf(const TAttributes& attributes, const TUnitState& unit) {
    if (attributes.Ranges.Class != TValueClass::Skipped) {
      return ReadRangeList(attributes.Ranges, unit.Base, unit.Encoding, sections_);
    }
    std::uint64_t low = 0;
    if (!Address(attributes.LowPc, unit.Encoding, low)) return {};
    std::uint64_t high = 0;
    if (attributes.HighPc.Class == TValueClass::Constant) {
      high = low + attributes.HighPc.Number;
    } else if (!Address(attributes.HighPc, unit.Encoding, high)) {
      return {};
    }
    if (low >= high) return {};
    return {{low, high}};
  }

  std::uint64_t EntryOf(const TAttributes& attributes, const TUnitEncoding& unit,
                        const std::vector<TAddressRange>& ranges) {
    std::uint64_t entry = 0;
    if (Address(attributes.EntryPc, unit, entry) || Address(attributes.LowPc, unit, entry)) {
      return entry;
    }
    return ranges.front().Begin;
  }

  std::int32_t Record(std::uint64_t offset, std::uint64_t tag, const TAttributes& attributes,
                      const TFrame& around, const TUnitState& unit) {
    TEntry entry;
    entry.Offset = offset;
    entry.Parent = around.Record;
    entry.Tag = tag;
    entry.InlineNamespace = tag == kTagNamespace && attributes.ExportSymbols.Number != 0;
    entry.Name = Text(attributes.Name, unit.Encoding);
    if (attributes.Declaration.Class == TValueClass::Reference) {
      entry.Declaration = attributes.Declaration.Number;
    }
    if (attributes.AbstractOrigin.Class == TValueClass::Reference) {
      entry.AbstractOrigin = attributes.AbstractOrigin.Number;
    }
    entry.File = unit.FileOf(attributes.DeclFile);
    entries_.push_back(entry);
    return std::int32_t(entries_.size() - 1);
  }

  // The recorded entry at the offset; -1 when there is none. Entries are recorded in the order
  // of their offsets.
  std::int32_t Find(std::uint64_t offset) const {
    const auto found =
        std::lower_bound(entries_.begin(), entries_.end(), offset,
                         [](const TEntry& entry, std::uint64_t at) { return entry.Offset < at; });
    if (found == entries_.end() || found->Offset != offset) return -1;
    return std::int32_t(found - entries_.begin());
  }

  // The entry that an entry completes (its declaration, or the abstract instance it is a copy
  // of); -1 when it completes none.
  std::int32_t Completed(std::int32_t index) const {
    const TEntry& entry = entries_[std::size_t(index)];
    if (entry.Declaration != kNoOffset) return Find(entry.Declaration);
    if (entry.AbstractOrigin != kNoOffset) return Find(entry.AbstractOrigin);
    return -1;
  }

  // The declaration at the end of the entry's references, which sits in the entry's scope.
  std::int32_t Declaration(std::int32_t index) const {
    for (int step = 0; step < kMaxSteps; ++step) {
      const std::int32_t next = Completed(index);
      if (next < 0) break;
      index = next;
    }
    return index;
  }

  std::string_view NameOf(std::int32_t index) const {
    for (int step = 0; step < kMaxSteps && index >= 0; ++step) {
      if (!entries_[std::size_t(index)].Name.empty()) return entries_[std::size_t(index)].Name;
      index = Completed(index);
    }
    return {};
  }

  // The function's own file; for one that names none (a lambda's call operator), the file of
  // the nearest class around it.
  std::uint32_t FileOf(std::int32_t index) const {
    for (int step = 0; step < kMaxSteps && index >= 0; ++step) {
      if (entries_[std::size_t(index)].File != kUnknownFile)
        return entries_[std::size_t(index)].File;
      const std::int32_t next = Completed(index);
      index = next >= 0 ? next : entries_[std::size_t(index)].Parent;
    }
    return kUnknownFile;
  }

  // A lambda's static invoker has the lambda's call operator inlined into it: that is no call
  // but the function itself.
  bool SameFunction(std::uint64_t origin, std::int32_t function) const {
    const std::int32_t called = Find(origin);
    if (called < 0) return false;
    const std::int32_t scope = entries_[std::size_t(Declaration(called))].Parent;
    if (scope < 0 || scope != entries_[std::size_t(Declaration(function))].Parent) return false;
    const TEntry& closure = entries_[std::size_t(scope)];
    return closure.Tag != kTagNamespace && closure.Tag != kTagSubprogram &&
           (closure.Name.empty() || closure.Name.starts_with("<lambda"));
  }

  // The calls that no other call encloses, looking through the calls of the function itself.
  std::vector<TInlinedCall> OutermostCalls(TConcrete& concrete) const {
    std::vector<bool> itself(concrete.Calls.size());
    for (std::size_t i = 0; i < concrete.Calls.size(); ++i) {
      itself[i] = SameFunction(concrete.Calls[i].Origin, concrete.Entry);
    }
    std::vector<TInlinedCall> outermost;
    for (std::size_t i = 0; i < concrete.Calls.size(); ++i) {
      if (itself[i] || concrete.Calls[i].Call.Ranges.empty()) continue;
      std::int32_t around = concrete.Calls[i].Around;
      while (around >= 0 && itself[std::size_t(around)]) {
        around = concrete.Calls[std::size_t(around)].Around;
      }
      if (around < 0) outermost.push_back(std::move(concrete.Calls[i].Call));
    }
    return outermost;
  }

  std::vector<TScope> ScopesOf(std::int32_t index) const {
    std::vector<TScope> scopes;
    std::int32_t current = Declaration(index);
    for (int step = 0; step < kMaxSteps; ++step) {
      const std::int32_t parent = entries_[std::size_t(current)].Parent;
      if (parent < 0) break;
      const TEntry& entry = entries_[std::size_t(parent)];
      if (entry.Tag == kTagNamespace) {
        if (!entry.InlineNamespace) scopes.push_back({entry.Name, TScopeKind::Namespace});
      } else {
        scopes.push_back({NameOf(parent),
                          entry.Tag == kTagSubprogram ? TScopeKind::Function : TScopeKind::Class});
      }
      current = Declaration(parent);
    }
    std::reverse(scopes.begin(), scopes.end());
    return scopes;
  }

  const TDebugSections& sections_;
  const TLineTable& lines_;
  std::map<std::uint64_t, TAbbrevTable> abbrevTables_;
  std::vector<TEntry> entries_;
  std::vector<TConcrete> concretes_;
};

}  // namespace

std::vector<TDwarfFunction> ReadDebugInfo(const TDebugSections& sections, const TLineTable& lines) {
  return TInfoReader(sections, lines).Read();
}

}  // namespace SymbolExtractor
