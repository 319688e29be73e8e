#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The headers of an executable image file (PE32, PE32+, ELF32, ELF64), read from the file's
// bytes: what the stack tracer needs to know of a module and what the symbol extractor reads.
// Addresses here are link-time addresses; add the module's load bias for run-time ones.
namespace Reporter::Symbols {

enum class TImageFormat { Pe32, Pe32Plus, Elf32, Elf64 };

struct TImageSection {
  std::string Name;              // long PE names resolved through the string table
  std::uint64_t Address = 0;     // link-time virtual address (0 for sections not loaded)
  std::uint64_t Size = 0;        // size in memory
  std::uint64_t FileOffset = 0;  // where its bytes are in the file
  std::uint64_t FileSize = 0;    // bytes present in the file (0 for bss-like sections)
  bool Code = false;             // holds executable code
  bool Loaded = false;           // mapped into memory when the image is loaded
};

struct TImageSymbol {
  std::string Name;  // as stored (mangled)
  std::uint64_t Address = 0;
  std::uint64_t Size = 0;  // 0 when unknown
};

struct TImageInfo {
  TImageFormat Format = TImageFormat::Pe32;
  // PE: ImageBase of the optional header. ELF: the lowest PT_LOAD address rounded down to its
  // page (0 for position-independent images); the load bias is the run-time address of the
  // image's first byte minus this.
  std::uint64_t PreferredBase = 0;
  std::uint64_t EntryPoint = 0;
  // The tracer's code and data ranges: code from the first code section (extended over a
  // second code section that follows it), else the header's base and size of code; data from
  // base of data over initialised and uninitialised data. ELF images have their code in the
  // executable PT_LOAD segment (extended over a second executable one that follows it) and
  // their data in the writable PT_LOAD segments. PE32+ has no base of data: there it is the
  // lowest data section.
  std::uint64_t CodeBegin = 0, CodeEnd = 0;
  std::uint64_t DataBegin = 0, DataEnd = 0;
  std::vector<TImageSection> Sections;
};

// Parses the headers; none when the bytes are no complete, well-formed image of these four
// kinds. Never reads outside the bytes.
std::optional<TImageInfo> ParseImage(std::span<const std::uint8_t> file);

// The exported functions: the PE export table, the ELF dynamic symbol table (defined
// functions only). Sorted by address. Empty when there are none or the table is damaged.
std::vector<TImageSymbol> ReadExports(std::span<const std::uint8_t> file, const TImageInfo& info);

// Every function symbol the image carries for its own code, for the build's symbol extractor:
// ELF .symtab functions with their sizes (.dynsym when there is no .symtab); PE the COFF symbol
// table's function symbols in code sections (no sizes), and where a function has none, the
// symbol of its own section (".text$<name>" as "<name>", ".text.unlikely.<name>" as
// "<name>.cold", with PE32's "_" in front). Sorted by address; empty when there are none or the
// table is damaged.
std::vector<TImageSymbol> ReadFunctionSymbols(std::span<const std::uint8_t> file,
                                              const TImageInfo& info);

// The file bytes of the section with this name; empty when there is none.
std::span<const std::uint8_t> SectionBytes(std::span<const std::uint8_t> file,
                                           const TImageInfo& info, std::string_view name);

}  // namespace Reporter::Symbols
