#pragma once

#include <string>
#include <string_view>
#include <vector>

// The tracker's replies read by a text scan: elements are found by their tag text, counted
// so that nested elements of the same name close at the right end tag. No XML parser: the
// replies are small and their layout is fixed.
namespace Reporter::Delivery {

// Replaces "&quot;", "&amp;", "&apos;", "&lt;" and "&gt;" in one pass, so that each entity
// is decoded exactly once ("&amp;lt;" gives "&lt;").
std::string ReplaceEntities(std::string_view text);

// The content of the first complete element that the key names, trimmed, without a CDATA
// wrapper; "" when there is none. The key is the tag text after "<": "token>" matches only
// "<token>", "error" every tag that begins with that word.
std::string ExtractXml(std::string_view data, std::string_view key);

// For every complete element that the key names, in order, the content of its child element
// named childName (cleaned as above; "" when it has none).
std::vector<std::string> ExtractXmlList(std::string_view data, std::string_view key,
                                        std::string_view childName);

}  // namespace Reporter::Delivery
