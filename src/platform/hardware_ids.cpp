#include "platform/hardware_ids.h"

#include <cstdio>
#include <string_view>

#include "rtl/case_folding.h"

namespace Platform {
namespace {

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*x", digits, value & 0xFFFFu);
  return text;
}

// A line's first word and the text after the blanks that follow it.
struct TIdLine {
  std::string_view Id;
  std::string_view Name;
};

TIdLine SplitIdLine(std::string_view line) {
  const std::size_t end = line.find_first_of(" \t");
  if (end == std::string_view::npos) return {line, {}};
  std::string_view name = line.substr(end);
  const std::size_t first = name.find_first_not_of(" \t");
  name = first == std::string_view::npos ? std::string_view() : name.substr(first);
  const std::size_t last = name.find_last_not_of(" \t");
  return {line.substr(0, end), name.substr(0, last + 1)};
}

}  // namespace

std::string VendorKey(unsigned vendor) {
  return Hex(vendor, 4);
}

std::string DeviceKey(unsigned vendor, unsigned device) {
  return Hex(vendor, 4) + ":" + Hex(device, 4);
}

std::string ClassKey(unsigned deviceClass) {
  return "C" + Hex(deviceClass & 0xFF, 2);
}

std::string SubclassKey(unsigned deviceClass, unsigned subclass) {
  return ClassKey(deviceClass) + ":" + Hex(subclass & 0xFF, 2);
}

std::map<std::string, std::string> ReadHardwareIdNames(std::istream& database,
                                                       const std::set<std::string>& wanted) {
  std::map<std::string, std::string> names;
  // The key of the current top-level entry; its children's keys extend it. Empty inside
  // sections whose entries are neither vendors nor classes.
  std::string parent;
  std::string line;
  while (names.size() < wanted.size() && std::getline(database, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::string_view rest = line;
    std::size_t depth = 0;
    while (depth < rest.size() && rest[depth] == '\t') ++depth;
    rest.remove_prefix(depth);

    std::string key;
    if (depth == 0) {
      parent.clear();
      if (rest.starts_with("C ")) {
        const TIdLine entry = SplitIdLine(rest.substr(2));
        if (!RTL::Text::IsAsciiHexDigits(entry.Id)) continue;
        parent = "C" + RTL::Text::AsciiLower(entry.Id);
        key = parent;
        rest = entry.Name;
      } else {
        // Vendors have four digits; the other sections of usb.ids start with words.
        const TIdLine entry = SplitIdLine(rest);
        if (entry.Id.size() != 4 || !RTL::Text::IsAsciiHexDigits(entry.Id)) continue;
        parent = RTL::Text::AsciiLower(entry.Id);
        key = parent;
        rest = entry.Name;
      }
    } else if (depth == 1 && !parent.empty()) {
      const TIdLine entry = SplitIdLine(rest);
      if (!RTL::Text::IsAsciiHexDigits(entry.Id)) continue;
      key = parent + ":" + RTL::Text::AsciiLower(entry.Id);
      rest = entry.Name;
    } else {
      continue;
    }
    if (!rest.empty() && wanted.contains(key)) names.emplace(key, std::string(rest));
  }
  return names;
}

}  // namespace Platform
