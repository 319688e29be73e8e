#pragma once

#include <cstdint>
#include <vector>

// A small PE image made up byte by byte, for the PE paths on every build: three sections
// (.text, .edata and one with a long name from the string table), an export table with two
// functions (one under a mangled name) and a forwarder, and a COFF symbol table with two function
// symbols (one with a long name, one with an auxiliary record), a data symbol, and two section
// symbols: one for a function without a symbol of its own, one where a function symbol is.
namespace SymbolsTest {

struct TSyntheticPe {
  static constexpr std::uint32_t kTextRva = 0x1000;
  static constexpr std::uint32_t kTextSize = 0x100;
  static constexpr std::uint32_t kSleepOffset = 0x10;      // "_Sleep@4", exported as "Sleep"
  static constexpr std::uint32_t kRunUpdateOffset = 0x40;  // "__ZN6Update4Work9RunUpdateEv"
  static constexpr const char* kMangledExport = "_ZNSt6thread6detachEv";  // at kRunUpdateOffset
  static constexpr std::uint32_t kWaitOffset = 0x80;  // only ".text$_ZN6Update4Work4WaitEv"
  static constexpr std::uint32_t kEntryRva = 0x1010;
  static constexpr std::uint32_t kSectionsEnd = 0x810;  // file bytes the sections need
  static constexpr const char* kLongSectionName = ".debug_long_name";
};

// PE32 (i386) or PE32+ (x86-64) at this image base.
std::vector<std::uint8_t> MakeSyntheticPe(bool plus, std::uint64_t imageBase);

}  // namespace SymbolsTest
