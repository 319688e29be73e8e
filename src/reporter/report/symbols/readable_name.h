#pragma once

#include <span>
#include <string>
#include <string_view>

// The unit and the function that a call stack shows for a C++ function, as its developer reads
// them. The unit is the function's namespace with "." between the levels ("Update.Work", "std"),
// anonymous namespaces left out; the function is its enclosing classes and its own name, all
// without template arguments ("TJob::Run"). A lambda reads as its enclosing function followed
// by "::{lambda}", and a part the compiler split off or cloned (".cold", ".part.0",
// " [clone .isra.0]") as the function it was made from.
namespace Reporter::Symbols {

struct TUnitAndFunction {
  std::string Unit;  // empty for a function in no named namespace
  std::string Function;
};

enum class TScopeKind { Namespace, Class, Function };

// One scope around a function, named as the compiler names it ("vector<int>", "" for an
// anonymous namespace or a lambda's closure type, "<lambda()>").
struct TScope {
  std::string_view Name;
  TScopeKind Kind = TScopeKind::Namespace;
};

// From the scopes around a function, outermost first, and its own name: what debug
// information tells. A scope of kind Function encloses a local class or lambda.
TUnitAndFunction ReadableName(std::span<const TScope> scopes, std::string_view name);

// From a symbol's name alone: a mangled name is demangled first ("_ZNSt6thread6detachEv" gives
// unit "std" and function "thread::detach"), a plain one ("memcpy", "main.cold") is read as it
// is.
TUnitAndFunction ReadableSymbolName(std::string_view symbol);

// The name without the suffixes of compiler clones: ".cold", ".part.N", ".isra.N",
// ".constprop.N", ".lto_priv.N", in any order and number.
std::string_view WithoutCloneSuffixes(std::string_view name);

}  // namespace Reporter::Symbols
