#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "dwarf_info.h"
#include "dwarf_lines.h"
#include "reporter/report/symbols/image_file.h"
#include "reporter/report/symbols/symbol_data.h"

// From a linked image to its symbol data: the functions of its symbol table with the names and
// units a call stack shows and the lines of their own source files, from the DWARF debug
// information where it describes them.
namespace SymbolExtractor {

// The image without the symbol data a previous run appended (the whole file when it has none).
std::span<const std::uint8_t> ImageWithoutSymbolData(std::span<const std::uint8_t> file);

// The line programs and the functions that the image's debug information describes; the
// functions' texts point into the image.
struct TImageDebugInfo {
  TLineTable Lines;
  std::vector<TDwarfFunction> Functions;
};
TImageDebugInfo ReadImageDebugInfo(std::span<const std::uint8_t> image,
                                   const Reporter::Symbols::TImageInfo& info);

// The symbol data of the image; none (with the reason in error) when it is no image of the
// four kinds.
std::optional<Reporter::Symbols::TSymbolData> BuildSymbolData(std::span<const std::uint8_t> image,
                                                              std::string& error);

// The image with the encoded data and its trailer appended.
std::vector<std::uint8_t> WithSymbolData(std::span<const std::uint8_t> image,
                                         const Reporter::Symbols::TSymbolData& data);

// The unit of a function without qualifier: the stem of its source file ("src/main.cpp" gives
// "main").
std::string FileStem(std::string_view path);

}  // namespace SymbolExtractor
