#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "reporter/report/symbols/byte_reader.h"

// The attribute values of DWARF 2 to 5 in every form, and the abbreviation tables that say
// which attributes in which forms a debugging information entry has.
namespace SymbolExtractor {

// The debug sections of an image as file bytes; empty when the image has none.
struct TDebugSections {
  std::span<const std::uint8_t> Info;        // .debug_info
  std::span<const std::uint8_t> Abbrev;      // .debug_abbrev
  std::span<const std::uint8_t> Str;         // .debug_str
  std::span<const std::uint8_t> LineStr;     // .debug_line_str
  std::span<const std::uint8_t> StrOffsets;  // .debug_str_offsets
  std::span<const std::uint8_t> Addr;        // .debug_addr
  std::span<const std::uint8_t> Ranges;      // .debug_ranges (up to version 4)
  std::span<const std::uint8_t> RngLists;    // .debug_rnglists (version 5)
};

// What a unit's header says about reading its values, and the bases its unit entry gives for
// the indexed forms.
struct TUnitEncoding {
  std::uint16_t Version = 4;
  unsigned OffsetSize = 4;
  unsigned AddressSize = 4;
  std::uint64_t Offset = 0;  // of the unit's header in .debug_info: unit-relative references
  std::uint64_t StrOffsetsBase = 0;
  std::uint64_t AddrBase = 0;
  std::uint64_t RngListsBase = 0;
};

enum class TValueClass : std::uint8_t {
  Skipped,        // a block, an expression, a location list, a reference to elsewhere
  Constant,       // data, flag and implicit constant forms: Number
  Address,        // Number
  AddressIndex,   // Number: an index into .debug_addr
  Reference,      // Number: an offset in .debug_info
  String,         // Text
  StringIndex,    // Number: an index into .debug_str_offsets
  SectionOffset,  // Number
  RangeListIndex  // Number: an index into the unit's range list offsets
};

struct TAttributeValue {
  TValueClass Class = TValueClass::Skipped;
  std::uint64_t Number = 0;
  std::string_view Text;
};

// Reads one value; false for an unknown form or when the bytes end. implicitConst is the value
// the abbreviation holds for DW_FORM_implicit_const.
bool ReadAttributeValue(Reporter::Symbols::TByteReader& reader, std::uint64_t form,
                        std::int64_t implicitConst, const TUnitEncoding& unit,
                        const TDebugSections& sections, TAttributeValue& value);

// The text of a string index, through the unit's string offsets; empty when out of range.
std::string_view IndexedString(std::uint64_t index, const TUnitEncoding& unit,
                               const TDebugSections& sections);
// The address of an address index, through the unit's address table; none when out of range.
bool IndexedAddress(std::uint64_t index, const TUnitEncoding& unit, const TDebugSections& sections,
                    std::uint64_t& address);

struct TAbbrevAttribute {
  std::uint64_t Name = 0;
  std::uint64_t Form = 0;
  std::int64_t ImplicitConst = 0;
};

struct TAbbrev {
  std::uint64_t Code = 0;
  std::uint64_t Tag = 0;
  bool HasChildren = false;
  std::vector<TAbbrevAttribute> Attributes;
};

// One abbreviation table of .debug_abbrev.
class TAbbrevTable {
 public:
  // Reads the table at the offset; false when it is damaged.
  bool Read(std::span<const std::uint8_t> section, std::uint64_t offset);
  // The abbreviation with the code; nullptr when there is none.
  const TAbbrev* Find(std::uint64_t code) const;

 private:
  std::vector<TAbbrev> abbrevs_;  // in the table's order; codes usually count up from 1
  // (code, index) sorted by code, for tables whose codes do not count up from 1.
  std::vector<std::pair<std::uint64_t, std::size_t>> byCode_;
};

}  // namespace SymbolExtractor
