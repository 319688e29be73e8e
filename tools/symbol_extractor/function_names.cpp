#include "function_names.h"

#include "rtl/case_folding.h"

namespace SymbolExtractor {

std::string UndecoratedName(std::string_view stored) {
  std::string_view name = stored;
  if (!name.empty() && (name[0] == '_' || name[0] == '@')) name.remove_prefix(1);
  const std::size_t at = name.rfind('@');
  if (at != std::string_view::npos && at > 0 && RTL::Text::IsAsciiDigits(name.substr(at + 1))) {
    name = name.substr(0, at);
  }
  return std::string(name);
}

}  // namespace SymbolExtractor
