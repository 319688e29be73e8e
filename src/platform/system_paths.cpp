#include <cstddef>

#include "platform/system_lists.h"
#include "rtl/case_folding.h"

namespace Platform {

std::string LongPathName(
    std::string_view path,
    const std::function<std::optional<std::string>(const std::string& path)>& lookup) {
  std::vector<std::string> components;
  for (std::size_t begin = 0;;) {
    const std::size_t end = path.find('\\', begin);
    components.emplace_back(path.substr(begin, end == std::string_view::npos ? end : end - begin));
    if (end == std::string_view::npos) break;
    begin = end + 1;
  }
  // Last to first, so that each lookup sees the path as written up to its component.
  for (std::size_t i = components.size(); i-- > 0;) {
    const std::string& component = components[i];
    if (component.find('~') == std::string::npos ||
        component.find_first_of("*?") != std::string::npos) {
      continue;
    }
    std::string prefix;
    for (std::size_t j = 0; j <= i; ++j) {
      if (j > 0) prefix += '\\';
      prefix += components[j];
    }
    if (const std::optional<std::string> longName = lookup(prefix)) components[i] = *longName;
  }
  std::string result;
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (i > 0) result += '\\';
    result += components[i];
  }
  return result;
}

std::string DosImagePath(std::string_view path, std::string_view systemDirectory) {
  // The prefix is ASCII, so comparing ASCII letters without case is the reporter's
  // ignore-case comparison here.
  constexpr std::string_view kSystemRoot = "\\SystemRoot\\System32\\";
  if (RTL::Text::AsciiStartsWithIgnoreCase(path, kSystemRoot)) {
    return std::string(systemDirectory) + "\\" + std::string(path.substr(kSystemRoot.size()));
  }
  if (path.starts_with("\\??\\")) return std::string(path.substr(4));
  return std::string(path);
}

}  // namespace Platform
