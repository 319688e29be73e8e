#include "function_names.h"

namespace SymbolExtractor {
namespace {

bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
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

}  // namespace SymbolExtractor
