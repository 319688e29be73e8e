#include "platform/posix/memory_maps.h"

#include <algorithm>
#include <string_view>

#include "platform/posix/system_files.h"
#include "rtl/case_folding.h"

namespace Platform::Posix {
namespace {

// Reads a number up to the first character that is no digit of the base; false when there is
// no digit or it overflows.
bool TakeNumber(std::string_view& text, unsigned base, std::uint64_t& value) {
  value = 0;
  std::size_t used = 0;
  while (used < text.size()) {
    const int digit = RTL::Text::HexDigitValue(text[used]);
    if (digit < 0 || static_cast<unsigned>(digit) >= base) break;
    if (value > (UINT64_MAX - static_cast<unsigned>(digit)) / base) return false;
    value = value * base + static_cast<unsigned>(digit);
    ++used;
  }
  text.remove_prefix(used);
  return used > 0;
}

bool TakeChar(std::string_view& text, char expected) {
  if (text.empty() || text.front() != expected) return false;
  text.remove_prefix(1);
  return true;
}

void SkipSpaces(std::string_view& text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
}

std::string_view TakeWord(std::string_view& text) {
  SkipSpaces(text);
  std::size_t end = 0;
  while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
  const std::string_view word = text.substr(0, end);
  text.remove_prefix(end);
  return word;
}

// "begin-end perms offset major:minor inode   path"
bool ParseLine(std::string_view line, TMapping& mapping) {
  std::uint64_t begin = 0, end = 0;
  if (!TakeNumber(line, 16, begin) || !TakeChar(line, '-') || !TakeNumber(line, 16, end)) {
    return false;
  }
  if (end <= begin || end - 1 > UINTPTR_MAX) return false;
  const std::string_view perms = TakeWord(line);
  if (perms.size() < 4) return false;
  std::string_view offsetText = TakeWord(line);
  TakeWord(line);  // device
  std::string_view inodeText = TakeWord(line);
  std::uint64_t offset = 0, inode = 0;
  if (!TakeNumber(offsetText, 16, offset) || !TakeNumber(inodeText, 10, inode)) return false;
  SkipSpaces(line);

  mapping.Begin = static_cast<std::uintptr_t>(begin);
  // A mapping that reaches the very top of the address space ends at its last byte + 1 = 0 on
  // a 32-bit build; keep it one byte short instead.
  mapping.End = end > UINTPTR_MAX ? UINTPTR_MAX : static_cast<std::uintptr_t>(end);
  mapping.Read = perms[0] == 'r';
  mapping.Write = perms[1] == 'w';
  mapping.Execute = perms[2] == 'x';
  mapping.Shared = perms[3] == 's';
  mapping.Offset = offset;
  mapping.Inode = inode;
  mapping.Path.assign(line);
  return true;
}

}  // namespace

std::vector<TMapping> ParseMappings(const std::string& text) {
  std::vector<TMapping> mappings;
  std::string_view rest = text;
  while (!rest.empty()) {
    std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) end = rest.size();
    TMapping mapping;
    if (ParseLine(rest.substr(0, end), mapping)) mappings.push_back(std::move(mapping));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  std::stable_sort(mappings.begin(), mappings.end(),
                   [](const TMapping& a, const TMapping& b) { return a.Begin < b.Begin; });
  std::vector<TMapping> result;
  result.reserve(mappings.size());
  for (TMapping& mapping : mappings) {
    if (!result.empty() && mapping.Begin < result.back().End) continue;
    result.push_back(std::move(mapping));
  }
  return result;
}

std::vector<TMapping> ReadMappings() {
  return ParseMappings(ReadSystemFile("/proc/self/maps"));
}

}  // namespace Platform::Posix
