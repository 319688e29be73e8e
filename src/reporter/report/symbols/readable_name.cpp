#include "reporter/report/symbols/readable_name.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "reporter/report/symbols/qualified_name.h"
#include "rtl/case_folding.h"

namespace Reporter::Symbols {
namespace {

bool IsLambdaClosure(std::string_view name) {
  return name.empty() || name.starts_with("{lambda") || name.starts_with("<lambda");
}

// The members of a closure type all stand for the lambda itself: its call operator, the static
// invoker behind its conversion to a function pointer (GCC's and Clang's name for it), that
// conversion, and the closure's constructors and destructor.
bool IsClosureMember(std::string_view name) {
  return name == "operator()" || name == "_FUN" || name == "__invoke" ||
         name.starts_with("operator ") || name.starts_with("<lambda") ||
         name.starts_with("~<lambda");
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

// "[abi:cxx11]" and its kin.
void RemoveAbiTags(std::string& text) {
  for (std::size_t at = text.find("[abi:"); at != std::string::npos; at = text.find("[abi:", at)) {
    const std::size_t end = text.find(']', at);
    if (end == std::string::npos) return;
    text.erase(at, end + 1 - at);
  }
}

std::string Demangled(std::string_view symbol) {
  std::string name(symbol);
  if (!symbol.starts_with("_Z")) return name;
  int status = 0;
  const std::unique_ptr<char, void (*)(void*)> text(
      abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status), std::free);
  return status == 0 && text != nullptr ? std::string(text.get()) : name;
}

// A demangled name without what tells nothing about where the function is: the clone groups
// at its end (" [clone .cold]"), the words in front of a function that the compiler made for
// another one ("non-virtual thunk to "), its return type, anonymous namespaces, ABI tags and
// the inline namespace of the standard library's new strings.
std::string Cleaned(std::string text) {
  constexpr std::string_view kClone = " [clone ";
  while (!text.empty() && text.back() == ']') {
    const std::size_t at = text.rfind(kClone);
    if (at == std::string::npos) break;
    text.erase(at);
  }
  for (std::string_view prefix :
       {"non-virtual thunk to ", "virtual thunk to ", "covariant return thunk to ",
        "TLS init function for ", "TLS wrapper function for ", "transaction clone for "}) {
    if (text.starts_with(prefix)) text.erase(0, prefix.size());
  }
  ReplaceAll(text, "(anonymous namespace)::", "");
  ReplaceAll(text, "std::__cxx11::", "std::");
  RemoveAbiTags(text);
  // The return type ends at the last blank in front of the first parameter list.
  const std::size_t parenthesis = TopLevelParenthesis(text);
  const std::size_t space = LastTopLevelSpace(std::string_view(text).substr(0, parenthesis));
  if (space != std::string::npos) text.erase(0, space + 1);
  return text;
}

// One "::"-separated part of a demangled name.
struct TPiece {
  std::string_view Name;   // without its parameter list
  bool Function = false;   // it had a parameter list: a function around a local entity
  bool Qualified = false;  // a member function qualified const, volatile, & or &&
};

TPiece ReadPiece(std::string_view text) {
  TPiece piece{text};
  const std::size_t open = TopLevelParenthesis(text);
  if (open == std::string_view::npos) return piece;
  piece.Name = text.substr(0, open);
  piece.Function = true;
  int depth = 0;
  std::size_t close = open;
  for (; close < text.size(); ++close) {
    if (text[close] == '(') ++depth;
    if (text[close] == ')' && --depth == 0) break;
  }
  const std::string_view qualifiers = close < text.size() ? text.substr(close + 1) : "";
  piece.Qualified = qualifiers.find("const") != std::string_view::npos ||
                    qualifiers.find("volatile") != std::string_view::npos ||
                    qualifiers.find('&') != std::string_view::npos;
  return piece;
}

// What a mangled name does not tell apart is a namespace and a class: it tells that a scope
// with template arguments, a lambda's closure, the scope of a constructor, a destructor or a
// cv- or ref-qualified member function is a class, that "std" is a namespace, and that what
// lies inside a class is no namespace. Of the scopes it leaves open, the innermost one counts
// as a class when the function has two or more scopes and no class among them (a member of a
// class in a namespace, as in "std::thread::detach"), and every other one as a namespace.
std::vector<TScope> ClassifiedScopes(const std::vector<TPiece>& pieces) {
  const std::size_t count = pieces.size() - 1;  // the last piece is the function's own name
  std::size_t firstFunction = 0;
  while (firstFunction < count && !pieces[firstFunction].Function) ++firstFunction;
  const TPiece& owner = pieces[firstFunction];  // the function whose scopes they are

  std::vector<std::optional<TScopeKind>> kinds(count);
  for (std::size_t i = 0; i < firstFunction; ++i) {
    const std::string_view name = pieces[i].Name;
    if (i == 0 && name == "std") {
      kinds[i] = TScopeKind::Namespace;
    } else if (name.starts_with("{") || WithoutTemplateArguments(name) != name) {
      kinds[i] = TScopeKind::Class;
    }
  }
  if (firstFunction > 0 && !kinds[firstFunction - 1]) {
    const std::string ownerName = WithoutTemplateArguments(owner.Name);
    const std::string scopeName = WithoutTemplateArguments(pieces[firstFunction - 1].Name);
    if (owner.Qualified || ownerName == scopeName || ownerName == "~" + scopeName) {
      kinds[firstFunction - 1] = TScopeKind::Class;
    }
  }
  bool insideClass = false;
  for (std::size_t i = 0; i < firstFunction; ++i) {
    if (insideClass && !kinds[i]) kinds[i] = TScopeKind::Class;
    insideClass = insideClass || kinds[i] == TScopeKind::Class;
  }
  if (!insideClass && firstFunction >= 2 && !kinds[firstFunction - 1]) {
    kinds[firstFunction - 1] = TScopeKind::Class;
  }

  std::vector<TScope> scopes(count);
  for (std::size_t i = 0; i < count; ++i) {
    scopes[i].Name = pieces[i].Name;
    if (i < firstFunction) {
      scopes[i].Kind = kinds[i].value_or(TScopeKind::Namespace);
    } else {
      scopes[i].Kind = pieces[i].Function ? TScopeKind::Function : TScopeKind::Class;
    }
  }
  return scopes;
}

void Append(std::string& text, std::string_view part) {
  if (part.empty()) return;
  if (!text.empty()) text += "::";
  text += part;
}

}  // namespace

std::string_view WithoutCloneSuffixes(std::string_view name) {
  for (;;) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return name;
    const std::string_view last = name.substr(dot + 1);
    if (last == "cold") {
      name = name.substr(0, dot);
      continue;
    }
    if (!RTL::Text::IsAsciiDigits(last)) return name;
    const std::size_t kindDot = name.rfind('.', dot - 1);
    if (kindDot == std::string_view::npos || kindDot == 0) return name;
    const std::string_view kind = name.substr(kindDot + 1, dot - kindDot - 1);
    if (kind != "part" && kind != "isra" && kind != "constprop" && kind != "lto_priv") return name;
    name = name.substr(0, kindDot);
  }
}

TUnitAndFunction ReadableName(std::span<const TScope> scopes, std::string_view name) {
  TUnitAndFunction result;
  std::size_t i = 0;
  for (; i < scopes.size() && scopes[i].Kind == TScopeKind::Namespace; ++i) {
    const std::string_view space = scopes[i].Name;
    if (space.empty() || space.starts_with("(anonymous")) continue;
    if (!result.Unit.empty()) result.Unit += '.';
    result.Unit += space;
  }
  bool afterClosure = false;
  const auto add = [&](std::string_view part, bool closure) {
    if (closure) {
      Append(result.Function, "{lambda}");
    } else if (!(afterClosure && IsClosureMember(part))) {
      Append(result.Function, WithoutTemplateArguments(WithoutCloneSuffixes(part)));
    }
    afterClosure = closure;
  };
  for (; i < scopes.size(); ++i) {
    add(scopes[i].Name, scopes[i].Kind == TScopeKind::Class && IsLambdaClosure(scopes[i].Name));
  }
  add(name, false);
  return result;
}

TUnitAndFunction ReadableSymbolName(std::string_view symbol) {
  const std::string text = Cleaned(Demangled(symbol));
  std::vector<TPiece> pieces;
  std::size_t begin = 0;
  for (const std::size_t separator : TopLevelSeparators(text)) {
    pieces.push_back(ReadPiece(std::string_view(text).substr(begin, separator - begin)));
    begin = separator + 2;
  }
  pieces.push_back(ReadPiece(std::string_view(text).substr(begin)));
  return ReadableName(ClassifiedScopes(pieces), pieces.back().Name);
}

}  // namespace Reporter::Symbols
