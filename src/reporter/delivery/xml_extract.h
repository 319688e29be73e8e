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

// The value of the first complete element that the key names: trimmed, a CDATA section as
// it stands, other text with its entities decoded once; "" when there is none. The key is the
// tag text after "<": "token>" matches only "<token>", "error" every tag that begins with
// that word. Tags are found in the undecoded text, so an escaped tag is never taken for one.
std::string ExtractXml(std::string_view data, std::string_view key);

// The first such element's content as it stands (trimmed, undecoded), to be scanned further.
std::string ExtractXmlContent(std::string_view data, std::string_view key);

// For every complete element that the key names, in order, the value of its child element
// named childName (as ExtractXml gives it; "" when it has none).
std::vector<std::string> ExtractXmlList(std::string_view data, std::string_view key,
                                        std::string_view childName);

}  // namespace Reporter::Delivery
