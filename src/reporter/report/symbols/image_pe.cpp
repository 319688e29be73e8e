// PE32 and PE32+ images: DOS stub, COFF header, optional header, section table, export table
// and the COFF symbol table that MinGW links keep.
#include <algorithm>
#include <charconv>
#include <string_view>

#include "reporter/report/symbols/byte_reader.h"
#include "reporter/report/symbols/image_formats.h"

namespace Reporter::Symbols::Detail {
namespace {

constexpr std::uint16_t kMachineI386 = 0x14C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kScnCode = 0x20;
constexpr std::uint32_t kScnInitializedData = 0x40;
constexpr std::uint32_t kScnUninitializedData = 0x80;
constexpr std::uint32_t kScnExecute = 0x20000000;
constexpr std::size_t kCoffSymbolSize = 18;
constexpr std::uint8_t kClassExternal = 2;
constexpr std::uint8_t kClassStatic = 3;

struct TPeHeaders {
  std::uint64_t PointerToSymbolTable = 0;
  std::uint64_t NumberOfSymbols = 0;
  std::uint64_t ExportRva = 0;
  std::uint64_t ExportSize = 0;
};

// The header fields that ParsePe does not keep in TImageInfo; zero where the bytes end.
TPeHeaders ReadHeaders(std::span<const std::uint8_t> file) {
  TPeHeaders headers;
  TByteReader reader(file, 0x3C);
  const std::uint64_t coff = std::uint64_t(reader.U32()) + 4;
  reader.Seek(coff + 8);
  headers.PointerToSymbolTable = reader.U32();
  headers.NumberOfSymbols = reader.U32();
  const std::uint16_t optionalSize = reader.U16();
  const std::uint64_t optional = coff + 20;
  reader.Seek(optional);
  const bool plus = reader.U16() == kMagicPe32Plus;
  const std::uint64_t countField = plus ? 108 : 92;
  reader.Seek(optional + countField);
  const std::uint32_t count = reader.U32();
  if (reader.Ok() && count >= 1 && optionalSize >= countField + 4 + 8) {
    headers.ExportRva = reader.U32();
    headers.ExportSize = reader.U32();
  }
  return headers;
}

// The COFF string table that follows the symbol table; empty when there is none.
std::span<const std::uint8_t> StringTable(std::span<const std::uint8_t> file,
                                          const TPeHeaders& headers) {
  if (headers.PointerToSymbolTable == 0) return {};
  const std::uint64_t start =
      headers.PointerToSymbolTable + headers.NumberOfSymbols * kCoffSymbolSize;
  TByteReader reader(file, start);
  const std::uint32_t size = reader.U32();
  if (!reader.Ok() || size < 4) return {};
  return file.subspan(start, std::min<std::uint64_t>(size, file.size() - start));
}

// "/123" names the text at offset 123 of the string table; other names are as stored.
std::string SectionName(std::span<const std::uint8_t> raw, std::span<const std::uint8_t> strings) {
  std::string name(reinterpret_cast<const char*>(raw.data()), raw.size());
  name.resize(std::min(name.find('\0'), name.size()));
  if (name.size() < 2 || name[0] != '/') return name;
  std::uint64_t offset = 0;
  const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), offset);
  if (error != std::errc() || end != name.data() + name.size() || offset < 4) return name;
  const std::string_view resolved = CStringAt(strings, offset);
  return resolved.empty() ? name : std::string(resolved);
}

const TImageSection* SectionAt(const TImageInfo& info, std::uint64_t address) {
  for (const TImageSection& section : info.Sections) {
    if (address >= section.Address && address - section.Address < section.Size) return &section;
  }
  return nullptr;
}

// The file bytes of the image from an address on (to the end of its section's file bytes).
std::span<const std::uint8_t> BytesAt(std::span<const std::uint8_t> file, const TImageInfo& info,
                                      std::uint64_t address) {
  const TImageSection* section = SectionAt(info, address);
  if (section == nullptr) return {};
  const std::uint64_t offset = address - section->Address;
  if (offset >= section->FileSize) return {};
  return file.subspan(section->FileOffset + offset, section->FileSize - offset);
}

// A function whose own symbol the link dropped (local functions of COMDAT sections) is still
// named by the symbol of its section: ".text$<name>", or ".text.unlikely.<name>" for its cold
// part. Section names carry no decoration, which 32-bit names get back here ("_<name>") to
// read like the symbols.
std::optional<std::string> FunctionOfSection(std::string_view section, bool decorated) {
  std::string name;
  for (std::string_view prefix : {".text$", ".text.unlikely."}) {
    if (section.size() > prefix.size() && section.substr(0, prefix.size()) == prefix) {
      name = std::string(section.substr(prefix.size()));
      if (prefix != ".text$") name += ".cold";
      return decorated ? "_" + name : name;
    }
  }
  return std::nullopt;
}

}  // namespace

bool LooksLikePe(std::span<const std::uint8_t> file) {
  return file.size() >= 2 && file[0] == 'M' && file[1] == 'Z';
}

std::optional<TImageInfo> ParsePe(std::span<const std::uint8_t> file) {
  TByteReader reader(file, 0x3C);
  const std::uint64_t signature = reader.U32();
  reader.Seek(signature);
  if (reader.U32() != 0x00004550) return std::nullopt;  // "PE\0\0"
  const std::uint16_t machine = reader.U16();
  const std::uint16_t sectionCount = reader.U16();
  reader.Skip(4);
  const std::uint32_t symbolTable = reader.U32();
  const std::uint32_t symbolCount = reader.U32();
  const std::uint16_t optionalSize = reader.U16();
  reader.Skip(2);
  const std::uint64_t optional = reader.Position();
  const std::uint16_t magic = reader.U16();
  if (!reader.Ok()) return std::nullopt;

  TImageInfo info;
  if (magic == kMagicPe32 && machine == kMachineI386) {
    info.Format = TImageFormat::Pe32;
  } else if (magic == kMagicPe32Plus && machine == kMachineAmd64) {
    info.Format = TImageFormat::Pe32Plus;
  } else {
    return std::nullopt;
  }
  const bool plus = info.Format == TImageFormat::Pe32Plus;
  if (optionalSize < (plus ? 112u : 96u)) return std::nullopt;

  reader.Skip(2);
  const std::uint32_t sizeOfCode = reader.U32();
  const std::uint32_t sizeOfInitializedData = reader.U32();
  const std::uint32_t sizeOfUninitializedData = reader.U32();
  const std::uint32_t entryPoint = reader.U32();
  const std::uint32_t baseOfCode = reader.U32();
  const std::uint32_t baseOfData = plus ? 0 : reader.U32();
  info.PreferredBase = plus ? reader.U64() : reader.U32();
  if (!reader.Ok()) return std::nullopt;
  info.EntryPoint = entryPoint == 0 ? 0 : info.PreferredBase + entryPoint;

  std::span<const std::uint8_t> strings;
  if (symbolTable != 0) {
    TPeHeaders headers;
    headers.PointerToSymbolTable = symbolTable;
    headers.NumberOfSymbols = symbolCount;
    strings = StringTable(file, headers);
  }

  reader.Seek(optional + optionalSize);
  for (std::uint16_t i = 0; i < sectionCount; ++i) {
    const auto rawName = reader.Bytes(8);
    const std::uint32_t virtualSize = reader.U32();
    const std::uint32_t virtualAddress = reader.U32();
    const std::uint32_t rawSize = reader.U32();
    const std::uint32_t rawPointer = reader.U32();
    reader.Skip(12);
    const std::uint32_t characteristics = reader.U32();
    if (!reader.Ok()) return std::nullopt;

    TImageSection section;
    section.Name = SectionName(rawName, strings);
    section.Address = info.PreferredBase + virtualAddress;
    section.Size = virtualSize != 0 ? virtualSize : rawSize;
    section.FileOffset = rawPointer;
    section.FileSize = rawPointer == 0 ? 0 : std::min<std::uint64_t>(rawSize, section.Size);
    section.Code = (characteristics & (kScnCode | kScnExecute)) != 0;
    section.Loaded = true;
    if (section.FileOffset > file.size() || section.FileSize > file.size() - section.FileOffset) {
      return std::nullopt;
    }
    const bool data = (characteristics & (kScnInitializedData | kScnUninitializedData)) != 0;
    if (plus && data && !section.Code &&
        (info.DataBegin == 0 || section.Address < info.DataBegin)) {
      info.DataBegin = section.Address;
    }
    info.Sections.push_back(std::move(section));
  }

  if (!info.Sections.empty() && info.Sections[0].Code) {
    info.CodeBegin = info.Sections[0].Address;
    info.CodeEnd = info.CodeBegin + info.Sections[0].Size;
    if (info.Sections.size() > 1 && info.Sections[1].Code) {
      info.CodeEnd = info.Sections[1].Address + info.Sections[1].Size;
    }
  } else {
    info.CodeBegin = info.PreferredBase + baseOfCode;
    info.CodeEnd = info.CodeBegin + sizeOfCode;
  }
  if (!plus) info.DataBegin = info.PreferredBase + baseOfData;
  info.DataEnd = info.DataBegin + sizeOfInitializedData + sizeOfUninitializedData;
  return info;
}

std::vector<TImageSymbol> ReadPeExports(std::span<const std::uint8_t> file,
                                        const TImageInfo& info) {
  const TPeHeaders headers = ReadHeaders(file);
  if (headers.ExportRva == 0) return {};
  const std::uint64_t directory = info.PreferredBase + headers.ExportRva;
  TByteReader reader(BytesAt(file, info, directory));
  reader.Skip(20);
  const std::uint32_t functionCount = reader.U32();
  const std::uint32_t nameCount = reader.U32();
  const std::uint32_t functionsRva = reader.U32();
  const std::uint32_t namesRva = reader.U32();
  const std::uint32_t ordinalsRva = reader.U32();
  if (!reader.Ok()) return {};

  const auto functions = BytesAt(file, info, info.PreferredBase + functionsRva);
  const auto names = BytesAt(file, info, info.PreferredBase + namesRva);
  const auto ordinals = BytesAt(file, info, info.PreferredBase + ordinalsRva);
  if (functions.size() / 4 < functionCount || names.size() / 4 < nameCount ||
      ordinals.size() / 2 < nameCount) {
    return {};
  }

  std::vector<TImageSymbol> exports;
  TByteReader nameReader(names);
  TByteReader ordinalReader(ordinals);
  for (std::uint32_t i = 0; i < nameCount; ++i) {
    const std::uint32_t nameRva = nameReader.U32();
    const std::uint16_t ordinal = ordinalReader.U16();
    if (ordinal >= functionCount) continue;
    TByteReader functionReader(functions, std::uint64_t(ordinal) * 4);
    const std::uint32_t functionRva = functionReader.U32();
    // An address inside the export directory forwards to another module.
    if (functionRva == 0 || (functionRva >= headers.ExportRva &&
                             functionRva - headers.ExportRva < headers.ExportSize)) {
      continue;
    }
    const std::uint64_t address = info.PreferredBase + functionRva;
    const TImageSection* section = SectionAt(info, address);
    if (section == nullptr || !section->Code) continue;
    const std::string_view name = CStringAt(BytesAt(file, info, info.PreferredBase + nameRva), 0);
    if (name.empty()) continue;
    exports.push_back({std::string(name), address, 0});
  }
  SortSymbols(exports);
  return exports;
}

std::vector<TImageSymbol> ReadPeFunctionSymbols(std::span<const std::uint8_t> file,
                                                const TImageInfo& info) {
  const TPeHeaders headers = ReadHeaders(file);
  if (headers.PointerToSymbolTable == 0 || headers.NumberOfSymbols == 0) return {};
  if (headers.PointerToSymbolTable > file.size() ||
      (file.size() - headers.PointerToSymbolTable) / kCoffSymbolSize < headers.NumberOfSymbols) {
    return {};
  }
  const auto strings = StringTable(file, headers);

  std::vector<TImageSymbol> symbols;
  std::vector<TImageSymbol> sectionSymbols;
  TByteReader reader(file, headers.PointerToSymbolTable);
  for (std::uint64_t i = 0; i < headers.NumberOfSymbols; ++i) {
    reader.Seek(headers.PointerToSymbolTable + i * kCoffSymbolSize);
    const auto rawName = reader.Bytes(8);
    const std::uint32_t value = reader.U32();
    const auto sectionNumber = std::int16_t(reader.U16());
    const std::uint16_t type = reader.U16();
    const std::uint8_t storageClass = reader.U8();
    const std::uint8_t auxCount = reader.U8();
    if (!reader.Ok()) break;
    i += auxCount;

    const bool function = (type & 0x30) == 0x20;
    if (storageClass != kClassExternal && storageClass != kClassStatic) continue;
    if (sectionNumber < 1 || std::size_t(sectionNumber) > info.Sections.size()) continue;
    const TImageSection& section = info.Sections[std::size_t(sectionNumber) - 1];
    if (!section.Code) continue;

    std::string_view name;
    TByteReader nameReader(rawName);
    if (nameReader.U32() == 0) {
      name = CStringAt(strings, nameReader.U32());
    } else {
      name = std::string_view(reinterpret_cast<const char*>(rawName.data()), rawName.size());
      name = name.substr(0, name.find('\0'));
    }
    if (name.empty()) continue;
    if (function) {
      symbols.push_back({std::string(name), section.Address + value, 0});
    } else if (auto sectionName = FunctionOfSection(name, info.Format == TImageFormat::Pe32)) {
      sectionSymbols.push_back({std::move(*sectionName), section.Address + value, 0});
    }
  }
  // Section symbols only where no function symbol is, one per address.
  SortSymbols(symbols);
  SortSymbols(sectionSymbols);
  const std::size_t functionCount = symbols.size();
  for (std::size_t i = 0; i < sectionSymbols.size(); ++i) {
    const std::uint64_t address = sectionSymbols[i].Address;
    if (i > 0 && sectionSymbols[i - 1].Address == address) continue;
    const auto functions = symbols.begin() + std::ptrdiff_t(functionCount);
    const auto at =
        std::lower_bound(symbols.begin(), functions, address,
                         [](const TImageSymbol& s, std::uint64_t a) { return s.Address < a; });
    if (at == functions || at->Address != address) symbols.push_back(sectionSymbols[i]);
  }
  SortSymbols(symbols);
  return symbols;
}

}  // namespace Reporter::Symbols::Detail
