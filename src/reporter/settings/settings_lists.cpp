#include "reporter/settings/settings_lists.h"

#include "rtl/case_folding.h"
#include "rtl/text.h"

namespace Reporter::Settings {
namespace {

std::string TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace

std::vector<std::string> SplitItems(std::string_view text, char separator) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    items.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return items;
    start = end + 1;
  }
}

bool PluginListContains(std::string_view list, std::string_view name) {
  if (name.empty()) return false;
  for (const std::string& item : SplitItems(list, '|')) {
    if (RTL::Text::SameIgnoreCase(item, name)) return true;
  }
  return false;
}

std::string PluginListWith(std::string_view list, std::string_view name, bool enabled) {
  if (enabled) {
    if (name.empty() || PluginListContains(list, name)) return std::string(list);
    if (list.empty()) return std::string(name);
    return std::string(list) + "|" + std::string(name);
  }
  std::string result;
  for (const std::string& item : SplitItems(list, '|')) {
    if (RTL::Text::SameIgnoreCase(item, name)) continue;
    if (!result.empty() || !item.empty()) {
      if (!result.empty()) result += '|';
      result += item;
    }
  }
  while (!result.empty() && result.back() == '|') result.pop_back();
  return result;
}

std::optional<TAssistantDefinition> ParseAssistant(std::string_view text) {
  std::vector<std::string> items = SplitItems(text, '|');
  if (items.front().empty()) return std::nullopt;
  TAssistantDefinition definition;
  definition.name = items[0];
  if (items.size() > 1) definition.title = items[1];
  for (std::size_t i = 2; i < items.size(); ++i) {
    if (!items[i].empty()) definition.forms.push_back(items[i]);
  }
  return definition;
}

std::vector<std::pair<std::string, std::string>> ParseFieldItems(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> fields;
  if (text.empty()) return fields;
  for (const std::string& item : SplitItems(text, '|')) {
    const std::vector<std::string> parts = SplitItems(item, '=');
    fields.emplace_back(parts[0], parts.size() > 1 ? parts[1] : std::string());
  }
  return fields;
}

std::vector<std::array<std::string, 4>> ParseAttachmentItems(std::string_view text) {
  std::vector<std::array<std::string, 4>> attachments;
  if (text.empty()) return attachments;
  for (const std::string& item : SplitItems(text, '|')) {
    const std::vector<std::string> parts = SplitItems(item, '>');
    std::array<std::string, 4> entry;
    for (std::size_t i = 0; i < entry.size() && i < parts.size(); ++i) entry[i] = parts[i];
    attachments.push_back(std::move(entry));
  }
  return attachments;
}

bool ClassListContains(std::string_view list, std::string_view className) {
  if (className.empty()) return false;
  for (const std::string& item : SplitItems(list, ',')) {
    if (TrimBlanks(item) == className) return true;
  }
  return false;
}

std::vector<std::string> SplitRecipients(std::string_view list) {
  std::vector<std::string> addresses;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find_first_of(",;", start);
    if (end == std::string_view::npos) end = list.size();
    std::string address = RTL::Text::Trim(list.substr(start, end - start));
    if (!address.empty()) addresses.push_back(std::move(address));
    start = end + 1;
  }
  return addresses;
}

}  // namespace Reporter::Settings
