#include "reporter/delivery/xml_extract.h"

#include <array>
#include <optional>
#include <utility>

#include "rtl/case_folding.h"

namespace Reporter::Delivery {
namespace {

std::size_t FindIgnoringCase(std::string_view data, std::string_view key, std::size_t from) {
  return key.empty() ? std::string_view::npos : RTL::Text::AsciiFindIgnoreCase(data, key, from);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

// A value as the tracker meant it: a CDATA section taken as it stands, anything else with
// its entities decoded. Decoding comes last, so that an escaped tag stays text.
std::string Clean(std::string_view content) {
  content = Trim(content);
  constexpr std::string_view kCdata = "<![CDATA[";
  if (content.substr(0, kCdata.size()) == kCdata) {
    content.remove_prefix(kCdata.size());
    content.remove_suffix(std::min<std::size_t>(3, content.size()));
    return std::string(content);
  }
  return ReplaceEntities(content);
}

struct TElement {
  std::size_t contentStart = 0;
  std::size_t contentEnd = 0;
  std::size_t next = 0;  // just after the key of the closing tag
};

// The next complete element from `from` on.
std::optional<TElement> NextElement(std::string_view data, std::string_view key, std::size_t from) {
  std::size_t at = from;
  int depth = 0;
  TElement element;
  while ((at = FindIgnoringCase(data, key, at)) != std::string_view::npos) {
    const bool endTag = at >= 2 && data[at - 2] == '<' && data[at - 1] == '/';
    const bool startTag = !endTag && at >= 1 && data[at - 1] == '<';
    const std::size_t after = at + key.size();
    if (startTag) {
      if (depth == 0) {
        // The content begins after the ">" that closes the start tag.
        const std::size_t close = key.back() == '>' ? after - 1 : data.find('>', at);
        if (close == std::string_view::npos) return std::nullopt;
        element.contentStart = close + 1;
      }
      ++depth;
    } else if (endTag && depth > 0) {
      if (--depth == 0) {
        element.contentEnd = at - 2;
        element.next = after;
        if (element.contentEnd < element.contentStart) element.contentEnd = element.contentStart;
        return element;
      }
    }
    at = after;
  }
  return std::nullopt;
}

std::string KeyWithoutBracket(std::string_view key) {
  if (!key.empty() && key.front() == '<') key.remove_prefix(1);
  return std::string(key);
}

// The content of the child element, found by "<" + name and "</" + name.
std::string ChildValue(std::string_view element, std::string_view name) {
  const std::string open = "<" + std::string(name);
  const std::size_t start = FindIgnoringCase(element, open, 0);
  if (start == std::string_view::npos) return {};
  const std::size_t close = element.find('>', start + open.size());
  if (close == std::string_view::npos) return {};
  const std::size_t end = FindIgnoringCase(element, "</" + std::string(name), close + 1);
  if (end == std::string_view::npos) return {};
  return Clean(element.substr(close + 1, end - close - 1));
}

}  // namespace

std::string ReplaceEntities(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, char>, 5> kEntities = {{
      {"&quot;", '"'},
      {"&amp;", '&'},
      {"&apos;", '\''},
      {"&lt;", '<'},
      {"&gt;", '>'},
  }};
  std::string result;
  result.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    bool replaced = false;
    if (text[at] == '&') {
      for (const auto& [entity, character] : kEntities) {
        if (text.substr(at, entity.size()) == entity) {
          result += character;
          at += entity.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) result += text[at++];
  }
  return result;
}

std::string ExtractXmlContent(std::string_view data, std::string_view key) {
  const std::string name = KeyWithoutBracket(key);
  if (name.empty()) return {};
  const auto element = NextElement(data, name, 0);
  if (!element) return {};
  return std::string(
      Trim(data.substr(element->contentStart, element->contentEnd - element->contentStart)));
}

std::string ExtractXml(std::string_view data, std::string_view key) {
  const std::string name = KeyWithoutBracket(key);
  if (name.empty()) return {};
  const auto element = NextElement(data, name, 0);
  if (!element) return {};
  return Clean(data.substr(element->contentStart, element->contentEnd - element->contentStart));
}

std::vector<std::string> ExtractXmlList(std::string_view data, std::string_view key,
                                        std::string_view childName) {
  std::vector<std::string> values;
  const std::string name = KeyWithoutBracket(key);
  if (name.empty() || childName.empty()) return values;
  std::size_t from = 0;
  while (const auto element = NextElement(data, name, from)) {
    values.push_back(
        ChildValue(data.substr(element->contentStart, element->contentEnd - element->contentStart),
                   childName));
    from = element->next;
  }
  return values;
}

}  // namespace Reporter::Delivery
