#pragma once

#include <string>
#include <string_view>

// From a symbol's stored name to the qualified name a call stack shows:
// "_ZN6Update4Work7RunJobERKNS_4TJobE" gives "Update::Work::RunJob".
namespace SymbolExtractor {

// The name without the decoration of 32-bit Windows: the leading "_" (or the "@" of fastcall)
// and the "@<bytes>" suffix of stdcall.
std::string UndecoratedName(std::string_view stored);

// A demangled name without return type and parameter lists, "(anonymous namespace)::" and ABI
// tags, with the standard strings by their short names; compiler clones and thunks keep what
// they are after a "." ("Update::Work::RunJob.cold", "Update::TJob::~TJob.thunk").
std::string PlainFunctionName(std::string_view demangled);

// Demangles and shortens a C++ name; other names stay as they are.
std::string QualifiedFunctionName(std::string_view symbol);

}  // namespace SymbolExtractor
