#pragma once

#include <string>
#include <string_view>

// The names that 32-bit Windows symbol tables store.
namespace SymbolExtractor {

// The name without the decoration of 32-bit Windows: the leading "_" (or the "@" of fastcall)
// and the "@<bytes>" suffix of stdcall.
std::string UndecoratedName(std::string_view stored);

}  // namespace SymbolExtractor
