// ELF32 (i386) and ELF64 (x86-64) images: file header, program headers, section headers and
// the symbol tables.
#include <algorithm>
#include <string_view>

#include "reporter/report/symbols/byte_reader.h"
#include "reporter/report/symbols/image_formats.h"

namespace Reporter::Symbols::Detail {
namespace {

constexpr std::uint16_t kTypeExec = 2;
constexpr std::uint16_t kTypeDyn = 3;
constexpr std::uint16_t kMachine386 = 3;
constexpr std::uint16_t kMachineX86_64 = 62;
constexpr std::uint32_t kPtLoad = 1;
constexpr std::uint32_t kPfExecute = 1;
constexpr std::uint32_t kPfWrite = 2;
constexpr std::uint32_t kShtSymtab = 2;
constexpr std::uint32_t kShtNobits = 8;
constexpr std::uint32_t kShtDynsym = 11;
constexpr std::uint64_t kShfAlloc = 2;
constexpr std::uint64_t kShfExecute = 4;
constexpr std::uint8_t kSttFunc = 2;
constexpr std::uint8_t kSttGnuIfunc = 10;
constexpr std::uint8_t kStbGlobal = 1;
constexpr std::uint8_t kStbWeak = 2;
constexpr std::uint16_t kShnLoReserve = 0xFF00;
constexpr std::uint64_t kPageSize = 0x1000;

struct TElfHeader {
  bool Wide = false;  // ELF64
  std::uint64_t Entry = 0;
  std::uint64_t ProgramHeaders = 0, ProgramHeaderSize = 0, ProgramHeaderCount = 0;
  std::uint64_t SectionHeaders = 0, SectionHeaderSize = 0, SectionHeaderCount = 0;
  std::uint64_t SectionNames = 0;
};

struct TRawSection {
  std::uint32_t Name = 0;
  std::uint32_t Type = 0;
  std::uint64_t Flags = 0;
  std::uint64_t Address = 0;
  std::uint64_t Offset = 0;
  std::uint64_t Size = 0;
  std::uint32_t Link = 0;
  std::uint64_t EntrySize = 0;
};

// An address or offset: four bytes in ELF32, eight in ELF64.
std::uint64_t Word(TByteReader& reader, bool wide) {
  return wide ? reader.U64() : reader.U32();
}

std::optional<TElfHeader> ReadHeader(std::span<const std::uint8_t> file) {
  TByteReader reader(file, 4);
  const std::uint8_t elfClass = reader.U8();
  const std::uint8_t encoding = reader.U8();
  if (elfClass != 1 && elfClass != 2) return std::nullopt;
  if (encoding != 1) return std::nullopt;  // little-endian only
  TElfHeader header;
  header.Wide = elfClass == 2;
  reader.Seek(16);
  const std::uint16_t type = reader.U16();
  const std::uint16_t machine = reader.U16();
  reader.Skip(4);
  header.Entry = Word(reader, header.Wide);
  header.ProgramHeaders = Word(reader, header.Wide);
  header.SectionHeaders = Word(reader, header.Wide);
  reader.Skip(4 + 2);
  header.ProgramHeaderSize = reader.U16();
  header.ProgramHeaderCount = reader.U16();
  header.SectionHeaderSize = reader.U16();
  header.SectionHeaderCount = reader.U16();
  header.SectionNames = reader.U16();
  if (!reader.Ok()) return std::nullopt;
  if (type != kTypeExec && type != kTypeDyn) return std::nullopt;
  if (machine != (header.Wide ? kMachineX86_64 : kMachine386)) return std::nullopt;
  if (header.ProgramHeaderCount > 0 && header.ProgramHeaderSize < (header.Wide ? 56u : 32u)) {
    return std::nullopt;
  }
  if (header.SectionHeaders != 0 && header.SectionHeaderSize < (header.Wide ? 64u : 40u)) {
    return std::nullopt;
  }
  return header;
}

std::optional<TRawSection> ReadRawSection(std::span<const std::uint8_t> file,
                                          const TElfHeader& header, std::uint64_t index) {
  TByteReader reader(file, header.SectionHeaders);
  reader.Skip(index * header.SectionHeaderSize);
  TRawSection section;
  section.Name = reader.U32();
  section.Type = reader.U32();
  section.Flags = Word(reader, header.Wide);
  section.Address = Word(reader, header.Wide);
  section.Offset = Word(reader, header.Wide);
  section.Size = Word(reader, header.Wide);
  section.Link = reader.U32();
  reader.Skip(4 + (header.Wide ? 8 : 4));
  section.EntrySize = Word(reader, header.Wide);
  if (!reader.Ok()) return std::nullopt;
  return section;
}

// Every section header; none when the table is damaged. Index 0 is the null section. Counts
// and the name table index beyond the 16-bit fields are kept in section 0, as the format says.
std::optional<std::vector<TRawSection>> ReadRawSections(std::span<const std::uint8_t> file,
                                                        TElfHeader& header) {
  std::vector<TRawSection> sections;
  if (header.SectionHeaders == 0) return sections;
  const auto first = ReadRawSection(file, header, 0);
  if (!first) return std::nullopt;
  if (header.SectionHeaderCount == 0) header.SectionHeaderCount = first->Size;
  if (header.SectionNames == 0xFFFF) header.SectionNames = first->Link;
  if (header.SectionHeaders > file.size() ||
      (file.size() - header.SectionHeaders) / header.SectionHeaderSize <
          header.SectionHeaderCount) {
    return std::nullopt;
  }
  for (std::uint64_t i = 0; i < header.SectionHeaderCount; ++i) {
    const auto section = ReadRawSection(file, header, i);
    if (!section) return std::nullopt;
    if (section->Type != kShtNobits &&
        (section->Offset > file.size() || section->Size > file.size() - section->Offset)) {
      return std::nullopt;
    }
    sections.push_back(*section);
  }
  return sections;
}

std::span<const std::uint8_t> RawBytes(std::span<const std::uint8_t> file,
                                       const TRawSection& section) {
  if (section.Type == kShtNobits) return {};
  return file.subspan(section.Offset, section.Size);  // checked by ReadRawSections
}

// The function symbols of the first section of this type (global and weak ones only for
// exportsOnly); found tells whether there is such a section.
std::vector<TImageSymbol> ReadSymbolTable(std::span<const std::uint8_t> file, std::uint32_t type,
                                          bool exportsOnly, bool* found) {
  std::vector<TImageSymbol> symbols;
  *found = false;
  auto header = ReadHeader(file);
  if (!header) return symbols;
  const auto sections = ReadRawSections(file, *header);
  if (!sections) return symbols;
  const auto table = std::find_if(sections->begin(), sections->end(),
                                  [type](const TRawSection& s) { return s.Type == type; });
  if (table == sections->end() || table->Link >= sections->size()) return symbols;
  *found = true;
  const std::uint64_t symbolSize = header->Wide ? 24 : 16;
  const std::uint64_t entrySize = std::max(table->EntrySize, symbolSize);
  const auto bytes = RawBytes(file, *table);
  const auto names = RawBytes(file, (*sections)[table->Link]);

  const std::uint64_t count = bytes.size() / entrySize;
  for (std::uint64_t i = 0; i < count; ++i) {
    TByteReader reader(bytes, i * entrySize);
    const std::uint32_t name = reader.U32();
    std::uint64_t value = 0, size = 0;
    std::uint8_t info = 0;
    std::uint16_t sectionIndex = 0;
    if (header->Wide) {
      info = reader.U8();
      reader.Skip(1);
      sectionIndex = reader.U16();
      value = reader.U64();
      size = reader.U64();
    } else {
      value = reader.U32();
      size = reader.U32();
      info = reader.U8();
      reader.Skip(1);
      sectionIndex = reader.U16();
    }
    const std::uint8_t symbolType = info & 0xF;
    const std::uint8_t binding = info >> 4;
    if (symbolType != kSttFunc && symbolType != kSttGnuIfunc) continue;
    if (exportsOnly && binding != kStbGlobal && binding != kStbWeak) continue;
    if (sectionIndex == 0 || sectionIndex >= kShnLoReserve || sectionIndex >= sections->size()) {
      continue;
    }
    if (((*sections)[sectionIndex].Flags & kShfExecute) == 0 || value == 0) continue;
    const std::string_view text = CStringAt(names, name);
    if (text.empty()) continue;
    symbols.push_back({std::string(text), value, size});
  }
  SortSymbols(symbols);
  return symbols;
}

}  // namespace

bool LooksLikeElf(std::span<const std::uint8_t> file) {
  return file.size() >= 4 && file[0] == 0x7F && file[1] == 'E' && file[2] == 'L' && file[3] == 'F';
}

std::optional<TImageInfo> ParseElf(std::span<const std::uint8_t> file) {
  auto header = ReadHeader(file);
  if (!header) return std::nullopt;
  TImageInfo info;
  info.Format = header->Wide ? TImageFormat::Elf64 : TImageFormat::Elf32;
  info.EntryPoint = header->Entry;

  bool anyLoad = false;
  bool codeOpen = false;  // the last segment seen was the executable one the range ends with
  std::uint64_t lowest = 0;
  for (std::uint64_t i = 0; i < header->ProgramHeaderCount; ++i) {
    TByteReader reader(file, header->ProgramHeaders);
    reader.Skip(i * header->ProgramHeaderSize);
    const std::uint32_t type = reader.U32();
    std::uint32_t flags = header->Wide ? reader.U32() : 0;
    const std::uint64_t offset = Word(reader, header->Wide);
    const std::uint64_t address = Word(reader, header->Wide);
    Word(reader, header->Wide);
    const std::uint64_t fileSize = Word(reader, header->Wide);
    const std::uint64_t memorySize = Word(reader, header->Wide);
    if (!header->Wide) flags = reader.U32();
    if (!reader.Ok()) return std::nullopt;
    if (type != kPtLoad) continue;
    if (offset > file.size() || fileSize > file.size() - offset) return std::nullopt;
    if (memorySize > ~std::uint64_t(0) - address) return std::nullopt;

    if (!anyLoad || address < lowest) lowest = address;
    anyLoad = true;
    const bool executable = (flags & kPfExecute) != 0;
    if (executable && info.CodeEnd == 0) {
      info.CodeBegin = address;
      info.CodeEnd = address + memorySize;
      codeOpen = true;
    } else if (executable && codeOpen) {
      info.CodeEnd = address + memorySize;
      codeOpen = false;
    } else {
      codeOpen = false;
    }
    if (flags & kPfWrite) {
      if (info.DataEnd == 0 || address < info.DataBegin) info.DataBegin = address;
      info.DataEnd = std::max(info.DataEnd, address + memorySize);
    }
  }
  if (!anyLoad) return std::nullopt;
  info.PreferredBase = lowest & ~(kPageSize - 1);

  const auto sections = ReadRawSections(file, *header);
  if (!sections) return std::nullopt;
  std::span<const std::uint8_t> names;
  if (header->SectionNames < sections->size()) {
    names = RawBytes(file, (*sections)[header->SectionNames]);
  }
  for (std::size_t i = 1; i < sections->size(); ++i) {
    const TRawSection& raw = (*sections)[i];
    TImageSection section;
    section.Name = std::string(CStringAt(names, raw.Name));
    section.Loaded = (raw.Flags & kShfAlloc) != 0;
    section.Code = (raw.Flags & kShfExecute) != 0;
    section.Address = section.Loaded ? raw.Address : 0;
    section.Size = raw.Size;
    section.FileOffset = raw.Offset;
    section.FileSize = raw.Type == kShtNobits ? 0 : raw.Size;
    info.Sections.push_back(std::move(section));
  }
  return info;
}

std::vector<TImageSymbol> ReadElfExports(std::span<const std::uint8_t> file, const TImageInfo&) {
  bool found = false;
  return ReadSymbolTable(file, kShtDynsym, true, &found);
}

std::vector<TImageSymbol> ReadElfFunctionSymbols(std::span<const std::uint8_t> file,
                                                 const TImageInfo&) {
  bool found = false;
  auto symbols = ReadSymbolTable(file, kShtSymtab, false, &found);
  if (found) return symbols;
  return ReadSymbolTable(file, kShtDynsym, false, &found);
}

}  // namespace Reporter::Symbols::Detail
