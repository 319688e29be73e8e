#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "reporter/report/symbols/symbol_data.h"

// From a linked image to its symbol data: the functions of its symbol table with their
// qualified names, units and the line rows of its DWARF line programs.
namespace SymbolExtractor {

// The image without the symbol data a previous run appended (the whole file when it has none).
std::span<const std::uint8_t> ImageWithoutSymbolData(std::span<const std::uint8_t> file);

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
