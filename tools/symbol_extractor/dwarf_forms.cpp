#include "dwarf_forms.h"

#include <algorithm>

namespace SymbolExtractor {
namespace {

using Reporter::Symbols::CStringAt;
using Reporter::Symbols::TByteReader;

enum : std::uint64_t {
  kFormAddr = 0x01,
  kFormBlock2 = 0x03,
  kFormBlock4 = 0x04,
  kFormData2 = 0x05,
  kFormData4 = 0x06,
  kFormData8 = 0x07,
  kFormString = 0x08,
  kFormBlock = 0x09,
  kFormBlock1 = 0x0A,
  kFormData1 = 0x0B,
  kFormFlag = 0x0C,
  kFormSdata = 0x0D,
  kFormStrp = 0x0E,
  kFormUdata = 0x0F,
  kFormRefAddr = 0x10,
  kFormRef1 = 0x11,
  kFormRef2 = 0x12,
  kFormRef4 = 0x13,
  kFormRef8 = 0x14,
  kFormRefUdata = 0x15,
  kFormIndirect = 0x16,
  kFormSecOffset = 0x17,
  kFormExprloc = 0x18,
  kFormFlagPresent = 0x19,
  kFormStrx = 0x1A,
  kFormAddrx = 0x1B,
  kFormRefSup4 = 0x1C,
  kFormStrpSup = 0x1D,
  kFormData16 = 0x1E,
  kFormLineStrp = 0x1F,
  kFormRefSig8 = 0x20,
  kFormImplicitConst = 0x21,
  kFormLoclistx = 0x22,
  kFormRnglistx = 0x23,
  kFormRefSup8 = 0x24,
  kFormStrx1 = 0x25,
  kFormStrx2 = 0x26,
  kFormStrx3 = 0x27,
  kFormStrx4 = 0x28,
  kFormAddrx1 = 0x29,
  kFormAddrx2 = 0x2A,
  kFormAddrx3 = 0x2B,
  kFormAddrx4 = 0x2C,
  kFormGnuAddrIndex = 0x1F01,
  kFormGnuStrIndex = 0x1F02,
  kFormGnuRefAlt = 0x1F20,
  kFormGnuStrpAlt = 0x1F21,
};

constexpr int kMaxIndirections = 4;

bool ReadValue(TByteReader& reader, std::uint64_t form, std::int64_t implicitConst,
               const TUnitEncoding& unit, const TDebugSections& sections, TAttributeValue& value,
               int indirections) {
  value = {};
  const auto number = [&](TValueClass valueClass, std::uint64_t n) {
    value.Class = valueClass;
    value.Number = n;
  };
  switch (form) {
    case kFormAddr:
      number(TValueClass::Address, reader.Unsigned(unit.AddressSize));
      break;
    case kFormData1:
    case kFormFlag:
      number(TValueClass::Constant, reader.U8());
      break;
    case kFormData2:
      number(TValueClass::Constant, reader.U16());
      break;
    case kFormData4:
      number(TValueClass::Constant, reader.U32());
      break;
    case kFormData8:
      number(TValueClass::Constant, reader.U64());
      break;
    case kFormSdata:
      number(TValueClass::Constant, std::uint64_t(reader.Sleb()));
      break;
    case kFormUdata:
      number(TValueClass::Constant, reader.Uleb());
      break;
    case kFormFlagPresent:
      number(TValueClass::Constant, 1);
      break;
    case kFormImplicitConst:
      number(TValueClass::Constant, std::uint64_t(implicitConst));
      break;
    case kFormData16:
      reader.Skip(16);
      break;
    case kFormBlock1:
      reader.Skip(reader.U8());
      break;
    case kFormBlock2:
      reader.Skip(reader.U16());
      break;
    case kFormBlock4:
      reader.Skip(reader.U32());
      break;
    case kFormBlock:
    case kFormExprloc:
      reader.Skip(reader.Uleb());
      break;
    case kFormString:
      value.Class = TValueClass::String;
      value.Text = reader.CString();
      break;
    case kFormStrp:
      value.Class = TValueClass::String;
      value.Text = CStringAt(sections.Str, reader.Unsigned(unit.OffsetSize));
      break;
    case kFormLineStrp:
      value.Class = TValueClass::String;
      value.Text = CStringAt(sections.LineStr, reader.Unsigned(unit.OffsetSize));
      break;
    case kFormStrpSup:
    case kFormGnuStrpAlt:
    case kFormRefSup4:
    case kFormGnuRefAlt:
      // In a supplementary object file that is not at hand.
      reader.Skip(form == kFormRefSup4 ? 4 : unit.OffsetSize);
      break;
    case kFormRefSup8:
    case kFormRefSig8:  // a type unit, which names no function
      reader.Skip(8);
      break;
    case kFormStrx:
    case kFormGnuStrIndex:
      number(TValueClass::StringIndex, reader.Uleb());
      break;
    case kFormStrx1:
    case kFormStrx2:
    case kFormStrx3:
    case kFormStrx4:
      number(TValueClass::StringIndex, reader.Unsigned(form - kFormStrx1 + 1));
      break;
    case kFormAddrx:
    case kFormGnuAddrIndex:
      number(TValueClass::AddressIndex, reader.Uleb());
      break;
    case kFormAddrx1:
    case kFormAddrx2:
    case kFormAddrx3:
    case kFormAddrx4:
      number(TValueClass::AddressIndex, reader.Unsigned(form - kFormAddrx1 + 1));
      break;
    case kFormRef1:
      number(TValueClass::Reference, unit.Offset + reader.U8());
      break;
    case kFormRef2:
      number(TValueClass::Reference, unit.Offset + reader.U16());
      break;
    case kFormRef4:
      number(TValueClass::Reference, unit.Offset + reader.U32());
      break;
    case kFormRef8:
      number(TValueClass::Reference, unit.Offset + reader.U64());
      break;
    case kFormRefUdata:
      number(TValueClass::Reference, unit.Offset + reader.Uleb());
      break;
    case kFormRefAddr:
      // Version 2 wrote it in the size of an address.
      number(TValueClass::Reference,
             reader.Unsigned(unit.Version <= 2 ? unit.AddressSize : unit.OffsetSize));
      break;
    case kFormSecOffset:
      number(TValueClass::SectionOffset, reader.Unsigned(unit.OffsetSize));
      break;
    case kFormLoclistx:
      reader.Uleb();
      break;
    case kFormRnglistx:
      number(TValueClass::RangeListIndex, reader.Uleb());
      break;
    case kFormIndirect: {
      const std::uint64_t actual = reader.Uleb();
      if (!reader.Ok() || indirections >= kMaxIndirections || actual == kFormImplicitConst) {
        return false;
      }
      return ReadValue(reader, actual, 0, unit, sections, value, indirections + 1);
    }
    default:
      return false;
  }
  return reader.Ok();
}

}  // namespace

bool ReadAttributeValue(TByteReader& reader, std::uint64_t form, std::int64_t implicitConst,
                        const TUnitEncoding& unit, const TDebugSections& sections,
                        TAttributeValue& value) {
  return ReadValue(reader, form, implicitConst, unit, sections, value, 0);
}

std::string_view IndexedString(std::uint64_t index, const TUnitEncoding& unit,
                               const TDebugSections& sections) {
  if (index > sections.StrOffsets.size() / unit.OffsetSize) return {};
  TByteReader reader(sections.StrOffsets);
  reader.Seek(unit.StrOffsetsBase);
  reader.Skip(index * unit.OffsetSize);
  const std::uint64_t offset = reader.Unsigned(unit.OffsetSize);
  return reader.Ok() ? CStringAt(sections.Str, offset) : std::string_view();
}

bool IndexedAddress(std::uint64_t index, const TUnitEncoding& unit, const TDebugSections& sections,
                    std::uint64_t& address) {
  if (index > sections.Addr.size() / unit.AddressSize) return false;
  TByteReader reader(sections.Addr);
  reader.Seek(unit.AddrBase);
  reader.Skip(index * unit.AddressSize);
  address = reader.Unsigned(unit.AddressSize);
  return reader.Ok();
}

bool TAbbrevTable::Read(std::span<const std::uint8_t> section, std::uint64_t offset) {
  abbrevs_.clear();
  byCode_.clear();
  TByteReader reader(section, offset);
  for (;;) {
    TAbbrev abbrev;
    abbrev.Code = reader.Uleb();
    if (!reader.Ok()) return false;
    if (abbrev.Code == 0) break;
    abbrev.Tag = reader.Uleb();
    abbrev.HasChildren = reader.U8() != 0;
    for (;;) {
      TAbbrevAttribute attribute;
      attribute.Name = reader.Uleb();
      attribute.Form = reader.Uleb();
      if (attribute.Form == kFormImplicitConst) attribute.ImplicitConst = reader.Sleb();
      if (!reader.Ok()) return false;
      if (attribute.Name == 0 && attribute.Form == 0) break;
      abbrev.Attributes.push_back(attribute);
    }
    abbrevs_.push_back(std::move(abbrev));
  }
  for (std::size_t i = 0; i < abbrevs_.size(); ++i) {
    if (abbrevs_[i].Code == i + 1) continue;
    for (std::size_t j = 0; j < abbrevs_.size(); ++j) byCode_.emplace_back(abbrevs_[j].Code, j);
    std::sort(byCode_.begin(), byCode_.end());
    break;
  }
  return true;
}

const TAbbrev* TAbbrevTable::Find(std::uint64_t code) const {
  if (code - 1 < abbrevs_.size() && abbrevs_[code - 1].Code == code) return &abbrevs_[code - 1];
  const auto found =
      std::lower_bound(byCode_.begin(), byCode_.end(), std::make_pair(code, std::size_t(0)));
  return found != byCode_.end() && found->first == code ? &abbrevs_[found->second] : nullptr;
}

}  // namespace SymbolExtractor
