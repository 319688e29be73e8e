#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What several of the symbol tests share: this program's own function with a marked line, and
// file bytes.
namespace SymbolsTest {

// Calls the marked function and gives the address its call on the marked line returns to.
std::uint64_t CallMarkedFunction();
// The run-time address of the marked function.
std::uint64_t MarkedFunctionAddress();
// Its line numbers in probe_function.cpp: the function's first line and the call's.
int MarkedFunctionLine();
int MarkedCallLine();
// Its names in the symbol data.
inline constexpr const char* kMarkedUnit = "SymbolsProbe";
inline constexpr const char* kMarkedName = "SymbolsProbe::MarkedFunction";

std::vector<std::uint8_t> ReadBytes(const std::string& path);

}  // namespace SymbolsTest
