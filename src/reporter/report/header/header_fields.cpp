#include "reporter/report/header/header_fields.h"

#include <algorithm>
#include <cstdio>

#include "rtl/text.h"

namespace Reporter::Report {

std::string CallstackCrcText(std::uint32_t first, std::uint32_t running, std::uint32_t others) {
  char text[40];
  std::snprintf(text, sizeof text, "$%08x, $%08x, $%08x", static_cast<unsigned>(first),
                static_cast<unsigned>(running), static_cast<unsigned>(others));
  return text;
}

THeader BuildHeaderFields(const THeaderInput& input) {
  try {
    return BuildHeaderFields(input, StandardHeaderLines());
  } catch (...) {
    return {};  // out of memory before the first line: a report without a head
  }
}

THeader BuildHeaderFields(const THeaderInput& input, const std::vector<THeaderLine>& lines) {
  THeader header;
  int produced = 0;
  int producedBeforeCrc = -1;
  for (const THeaderLine& line : lines) {
    // The reporter must not fail on its own values: a line that throws is left out.
    try {
      for (auto& [key, value] : line.Produce(input)) {
        if (key == HeaderKey::CallstackCrc && producedBeforeCrc < 0) producedBeforeCrc = produced;
        ++produced;
        std::string trimmed = RTL::Text::Trim(value);
        if (!trimmed.empty()) header.Fields.emplace_back(std::move(key), std::move(trimmed));
      }
    } catch (...) {
    }
  }
  // Counted with the empty values, so that outside a remote session (no "wts client name")
  // later fields land right before "callstack crc".
  header.InsertIndex = producedBeforeCrc >= 0 ? std::max(producedBeforeCrc - 1, 0)
                                              : static_cast<int>(header.Fields.size());
  return header;
}

}  // namespace Reporter::Report
