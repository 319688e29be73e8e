#include "function_names.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "reporter/report/symbols/qualified_name.h"

namespace SymbolExtractor {
namespace {

using Reporter::Symbols::LastTopLevelSpace;
using Reporter::Symbols::TopLevelParenthesis;
using Reporter::Symbols::TopLevelSeparators;

bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
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

// Long standard library spellings and the names everyone reads them by.
const std::pair<std::string_view, std::string_view> kShortNames[] = {
    {"std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >",
     "std::string"},
    {"std::basic_string<char, std::char_traits<char>, std::allocator<char> >", "std::string"},
    {"std::__cxx11::basic_string<wchar_t, std::char_traits<wchar_t>, std::allocator<wchar_t> >",
     "std::wstring"},
    {"std::basic_string<wchar_t, std::char_traits<wchar_t>, std::allocator<wchar_t> >",
     "std::wstring"},
    {"std::__cxx11::basic_string<char16_t, std::char_traits<char16_t>, "
     "std::allocator<char16_t> >",
     "std::u16string"},
    {"std::basic_string<char16_t, std::char_traits<char16_t>, std::allocator<char16_t> >",
     "std::u16string"},
    {"std::basic_string_view<char, std::char_traits<char> >", "std::string_view"},
    {"std::basic_string_view<wchar_t, std::char_traits<wchar_t> >", "std::wstring_view"},
    {"std::basic_string_view<char16_t, std::char_traits<char16_t> >", "std::u16string_view"},
    {"std::__cxx11::", "std::"},
};

// Functions the compiler makes for another one, named "<what> <function>".
const std::pair<std::string_view, std::string_view> kMadeFor[] = {
    {"non-virtual thunk to ", ".thunk"},           {"virtual thunk to ", ".vthunk"},
    {"covariant return thunk to ", ".cthunk"},     {"TLS init function for ", ".tls_init"},
    {"TLS wrapper function for ", ".tls_wrapper"}, {"transaction clone for ", ".tm_clone"},
};

// Removes the " [clone .cold]" groups at the end and gives their names joined: ".isra.0.cold".
std::string TakeCloneSuffixes(std::string& text) {
  constexpr std::string_view kClone = " [clone ";
  std::string suffixes;
  while (!text.empty() && text.back() == ']') {
    const std::size_t at = text.rfind(kClone);
    if (at == std::string::npos) break;
    suffixes.insert(0, text.substr(at + kClone.size(), text.size() - 1 - at - kClone.size()));
    text.erase(at);
  }
  return suffixes;
}

// "std::vector<std::pair<int, int> >" as "std::vector<std::pair<int, int>>", but not where
// the blank separates an operator name from the bracket ("operator> >").
void CloseTemplateBlanks(std::string& text) {
  for (std::size_t at = text.find(" >"); at != std::string::npos; at = text.find(" >", at)) {
    const std::string_view before = std::string_view(text).substr(0, at);
    if (before.ends_with("operator>") || before.ends_with("operator>>") ||
        before.ends_with("operator->")) {
      at += 2;
      continue;
    }
    text.erase(at, 1);
  }
}

}  // namespace

std::string UndecoratedName(std::string_view stored) {
  std::string_view name = stored;
  if (!name.empty() && (name[0] == '_' || name[0] == '@')) name.remove_prefix(1);
  const std::size_t at = name.rfind('@');
  if (at != std::string_view::npos && at > 0 && IsDigits(name.substr(at + 1))) {
    name = name.substr(0, at);
  }
  return std::string(name);
}

std::string PlainFunctionName(std::string_view demangled) {
  for (const auto& [prefix, suffix] : kMadeFor) {
    if (demangled.substr(0, prefix.size()) == prefix) {
      return PlainFunctionName(demangled.substr(prefix.size())) + std::string(suffix);
    }
  }
  std::string text(demangled);
  const std::string suffixes = TakeCloneSuffixes(text);
  ReplaceAll(text, "(anonymous namespace)::", "");
  RemoveAbiTags(text);
  for (const auto& [from, to] : kShortNames) ReplaceAll(text, from, to);
  CloseTemplateBlanks(text);

  // Each scope's parameter list goes ("Run() const::{lambda()#1}::operator()(int)"), from the
  // last scope to the first so that the separators found stay where they are.
  const std::vector<std::size_t> separators = TopLevelSeparators(text);
  std::size_t end = text.size();
  for (std::size_t i = separators.size() + 1; i-- > 0;) {
    const std::size_t begin = i == 0 ? 0 : separators[i - 1] + 2;
    const std::string_view scope = std::string_view(text).substr(begin, end - begin);
    const std::size_t parenthesis = TopLevelParenthesis(scope);
    if (parenthesis != std::string_view::npos)
      text.erase(begin + parenthesis, end - begin - parenthesis);
    end = i == 0 ? 0 : separators[i - 1];
  }
  // What is left before the last blank outside brackets is the return type.
  const std::size_t space = LastTopLevelSpace(text);
  if (space != std::string::npos) text.erase(0, space + 1);
  return text + suffixes;
}

std::string QualifiedFunctionName(std::string_view symbol) {
  const std::string name(symbol);
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status), std::free);
  if (status != 0 || demangled == nullptr) return name;
  return PlainFunctionName(demangled.get());
}

}  // namespace SymbolExtractor
