#include "synthetic_pe.h"

#include <string_view>

namespace SymbolsTest {
namespace {

class TImageWriter {
 public:
  explicit TImageWriter(std::size_t size) : bytes_(size) {}
  void Put(std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes_[at + i] = std::uint8_t(value >> (8 * i));
  }
  void Text(std::size_t at, std::string_view text) {
    for (char c : text) bytes_[at++] = std::uint8_t(c);
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::vector<std::uint8_t> MakeSyntheticPe(bool plus, std::uint64_t imageBase) {
  constexpr std::size_t kSymbols = 0xA00;
  constexpr std::size_t kSymbolCount = 7;
  constexpr std::size_t kStrings = kSymbols + kSymbolCount * 18;
  const std::string_view runUpdate = "__ZN6Update4Work9RunUpdateEv";
  const std::string_view waitSection = ".text$_ZN6Update4Work4WaitEv";
  const std::size_t runUpdateName = 4 + 17;
  const std::size_t waitName = runUpdateName + runUpdate.size() + 1;
  const std::size_t stringsSize = waitName + waitSection.size() + 1;
  TImageWriter w(kStrings + stringsSize);
  using P = TSyntheticPe;

  w.Text(0, "MZ");
  w.Put(0x3C, 0x40, 4);
  w.Text(0x40, std::string_view("PE\0\0", 4));
  const std::uint16_t optionalSize = plus ? 240 : 224;
  w.Put(0x44, plus ? 0x8664 : 0x14C, 2);
  w.Put(0x46, 3, 2);             // sections
  w.Put(0x4C, kSymbols, 4);      // symbol table
  w.Put(0x50, kSymbolCount, 4);  // symbols, the auxiliary records included
  w.Put(0x54, optionalSize, 2);
  w.Put(0x56, 0x0102, 2);

  const std::size_t o = 0x58;
  w.Put(o, plus ? 0x20B : 0x10B, 2);
  w.Put(o + 4, 0x200, 4);   // size of code
  w.Put(o + 8, 0x200, 4);   // initialised data
  w.Put(o + 12, 0x100, 4);  // uninitialised data
  w.Put(o + 16, P::kEntryRva, 4);
  w.Put(o + 20, P::kTextRva, 4);  // base of code
  if (plus) {
    w.Put(o + 24, imageBase, 8);
  } else {
    w.Put(o + 24, 0x2000, 4);  // base of data
    w.Put(o + 28, imageBase, 4);
  }
  w.Put(o + 32, 0x1000, 4);
  w.Put(o + 36, 0x200, 4);
  w.Put(o + 56, 0x4000, 4);  // size of image
  w.Put(o + 60, 0x400, 4);   // size of headers
  w.Put(o + 68, 3, 2);       // console subsystem
  const std::size_t directories = o + (plus ? 112 : 96);
  w.Put(directories - 4, 16, 4);
  w.Put(directories, 0x2000, 4);  // export table
  w.Put(directories + 4, 0x100, 4);

  struct Section {
    std::string_view name;
    std::uint32_t rva, virtualSize, rawSize, rawPointer, characteristics;
  };
  const Section sections[] = {
      {".text", P::kTextRva, P::kTextSize, 0x200, 0x400, 0x60000020},
      {".edata", 0x2000, 0x100, 0x200, 0x600, 0x40000040},
      {"/4", 0x3000, 0x10, 0x200, 0x800, 0x42000040},
  };
  std::size_t s = o + optionalSize;
  for (const Section& section : sections) {
    w.Text(s, section.name);
    w.Put(s + 8, section.virtualSize, 4);
    w.Put(s + 12, section.rva, 4);
    w.Put(s + 16, section.rawSize, 4);
    w.Put(s + 20, section.rawPointer, 4);
    w.Put(s + 36, section.characteristics, 4);
    s += 40;
  }

  // Export directory at 0x2000 (file 0x600): three functions, the last a forwarder.
  const std::size_t e = 0x600;
  w.Put(e + 16, 1, 4);       // ordinal base
  w.Put(e + 20, 3, 4);       // functions
  w.Put(e + 24, 3, 4);       // names
  w.Put(e + 28, 0x2028, 4);  // function addresses
  w.Put(e + 32, 0x2034, 4);  // name addresses
  w.Put(e + 36, 0x2040, 4);  // name ordinals
  w.Put(e + 0x28, P::kTextRva + P::kSleepOffset, 4);
  w.Put(e + 0x2C, P::kTextRva + P::kRunUpdateOffset, 4);
  w.Put(e + 0x30, 0x2080, 4);  // inside the directory: "OTHER.Function"
  w.Put(e + 0x34, 0x2050, 4);
  w.Put(e + 0x38, 0x2090, 4);
  w.Put(e + 0x3C, 0x2070, 4);
  w.Put(e + 0x40, 0, 2);
  w.Put(e + 0x42, 1, 2);
  w.Put(e + 0x44, 2, 2);
  w.Text(e + 0x50, "Sleep");
  w.Text(e + 0x90, TSyntheticPe::kMangledExport);
  w.Text(e + 0x70, "Forwarded");
  w.Text(e + 0x80, "OTHER.Function");

  // COFF symbols: "_Sleep@4" fills its eight bytes; the long name lives in the string table.
  w.Text(kSymbols, "_Sleep@4");
  w.Put(kSymbols + 8, P::kSleepOffset, 4);
  w.Put(kSymbols + 12, 1, 2);
  w.Put(kSymbols + 14, 0x20, 2);
  w.Put(kSymbols + 16, 2, 1);
  const std::size_t second = kSymbols + 18;
  w.Put(second + 4, runUpdateName, 4);
  w.Put(second + 8, P::kRunUpdateOffset, 4);
  w.Put(second + 12, 1, 2);
  w.Put(second + 14, 0x20, 2);
  w.Put(second + 16, 3, 1);
  w.Put(second + 17, 1, 1);  // one auxiliary record follows
  const std::size_t data = kSymbols + 3 * 18;
  w.Text(data, "_data");
  w.Put(data + 12, 2, 2);
  w.Put(data + 16, 2, 1);

  // The section symbols: a function known only by its section, with an auxiliary record, and
  // a section of a function that has its symbol.
  const std::size_t wait = kSymbols + 4 * 18;
  w.Put(wait + 4, waitName, 4);
  w.Put(wait + 8, P::kWaitOffset, 4);
  w.Put(wait + 12, 1, 2);
  w.Put(wait + 16, 3, 1);
  w.Put(wait + 17, 1, 1);
  const std::size_t duplicate = kSymbols + 6 * 18;
  w.Text(duplicate, ".text$x");
  w.Put(duplicate + 8, P::kRunUpdateOffset, 4);
  w.Put(duplicate + 12, 1, 2);
  w.Put(duplicate + 16, 3, 1);

  w.Put(kStrings, stringsSize, 4);
  w.Text(kStrings + 4, P::kLongSectionName);
  w.Text(kStrings + runUpdateName, runUpdate);
  w.Text(kStrings + waitName, waitSection);
  return w.Take();
}

}  // namespace SymbolsTest
