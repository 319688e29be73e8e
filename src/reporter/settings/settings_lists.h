#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The small list syntaxes that settings texts carry: plugin names, assistant definitions,
// additional fields and attachments, exception class filters and mail recipients.
namespace Reporter::Settings {

// Splits at every separator; empty items are kept.
std::vector<std::string> SplitItems(std::string_view text, char separator);

// "a|b|c": true when the name equals one whole item, ignoring case.
bool PluginListContains(std::string_view list, std::string_view name);
// The list with the name added at the end (when missing) or with every item equal to it
// removed, without leading or trailing "|".
std::string PluginListWith(std::string_view list, std::string_view name, bool enabled);

// "name|title|form|form...".
struct TAssistantDefinition {
  std::string name;
  std::string title;
  std::vector<std::string> forms;
};
// None when the text holds no name.
std::optional<TAssistantDefinition> ParseAssistant(std::string_view text);

// "name=content|name=content"; text after a second "=" is dropped.
std::vector<std::pair<std::string, std::string>> ParseFieldItems(std::string_view text);

// "file>sendAs>zip>field|..."; trailing parts may be missing.
std::vector<std::array<std::string, 4>> ParseAttachmentItems(std::string_view text);

// "EFoo, EBar": true when the class is named exactly (case-sensitively); blanks around the
// commas do not count.
bool ClassListContains(std::string_view list, std::string_view className);

// "a@b, c@d; e@f": the trimmed, non-empty addresses.
std::vector<std::string> SplitRecipients(std::string_view list);

}  // namespace Reporter::Settings
