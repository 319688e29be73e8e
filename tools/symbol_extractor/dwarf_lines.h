#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

// The DWARF line programs of .debug_line (versions 2 to 5) run into their rows.
namespace SymbolExtractor {

inline constexpr std::uint32_t kUnknownFile = 0xFFFFFFFF;

struct TLineRow {
  std::uint64_t Address = 0;
  int Line = 0;
  std::uint32_t File = kUnknownFile;  // index into TLineTable::Files
  bool EndSequence = false;           // the first address after a sequence
};

struct TLineTable {
  std::vector<std::string> Files;  // as the programs name them, each once
  std::vector<TLineRow> Rows;      // in program order
  // Per program, by its offset in .debug_line: the index into Files of each of its file
  // numbers (kUnknownFile for a number that names no file), for the debug information's
  // references to files.
  std::map<std::uint64_t, std::vector<std::uint32_t>> UnitFiles;
};

struct TDwarfSections {
  std::span<const std::uint8_t> Line;     // .debug_line
  std::span<const std::uint8_t> LineStr;  // .debug_line_str (version 5 names)
  std::span<const std::uint8_t> Str;      // .debug_str (version 5 names)
};

// Every line program of the section, in order. A damaged program ends the reading; the rows of
// the programs before it stay.
TLineTable ReadLinePrograms(const TDwarfSections& sections);

}  // namespace SymbolExtractor
