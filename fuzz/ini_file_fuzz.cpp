// libFuzzer target: the settings-file reader takes any bytes without crashing, hanging or
// reading outside them, and its lookups agree with a plain reading of the line rules: the
// last entry of a key in a section of that name (letter case ignored, repeated headers
// joined), the default for an entry without "=", and integers decimal or hexadecimal within
// 32 bits. Built and run by scripts/fuzz and the linux-asan preset's tests.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/text_encoding.h"
#include "rtl/io/ini_file.h"
#include "rtl/text.h"

namespace {

using RTL::IniFiles::TMemIniFile;
using RTL::Text::UnicodeUpper;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

struct TEntry {
  std::string key;
  std::optional<std::string> value;
};

// Sections by upper-cased name, each with its entries in file order and the name as first
// written.
using TModel = std::map<std::string, std::pair<std::string, std::vector<TEntry>>>;

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

TModel ModelOf(std::string_view text) {
  TModel model;
  std::vector<TEntry>* current = nullptr;
  while (!text.empty()) {
    std::size_t end = 0;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    const std::string_view line = Trimmed(text.substr(0, end));
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const std::string name(Trimmed(line.substr(1, line.size() - 2)));
      auto& section =
          model.try_emplace(UnicodeUpper(name), name, std::vector<TEntry>()).first->second;
      current = &section.second;
    } else if (current != nullptr) {
      const std::size_t equals = line.find('=');
      if (equals == std::string_view::npos) {
        current->push_back({std::string(line), std::nullopt});
      } else {
        current->push_back({std::string(Trimmed(line.substr(0, equals))),
                            std::string(Trimmed(line.substr(equals + 1)))});
      }
    }
  }
  return model;
}

// The integer rule written out once more: decimal within the signed range, or up to eight
// hexadecimal digits after "$", "x", "X", "0x" or "0X", with an optional sign in front.
std::optional<std::int32_t> ExpectedInteger(std::string text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.replace(0, 2, "$");
  }
  std::string_view rest = text;
  while (!rest.empty() && rest[0] == ' ') rest.remove_prefix(1);
  const bool negative = !rest.empty() && rest[0] == '-';
  if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) rest.remove_prefix(1);
  int base = 10;
  if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
    rest.remove_prefix(1);
    base = 16;
  } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    rest.remove_prefix(2);
    base = 16;
  }
  // from_chars takes no sign of its own for unsigned numbers.
  if (rest.empty() || (base == 16 && rest.size() > 8)) return std::nullopt;
  std::uint64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(rest.data(), rest.data() + rest.size(), magnitude, base);
  if (error != std::errc() || end != rest.data() + rest.size()) return std::nullopt;
  if (base == 10 && magnitude > (negative ? 2147483648u : 2147483647u)) return std::nullopt;
  const auto bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
  return static_cast<std::int32_t>(bits);
}

// The name with its ASCII letters in the other case: the same section or key.
std::string OtherCase(std::string_view name) {
  std::string flipped(name);
  for (char& c : flipped) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return flipped;
}

// Every section is looked up through the index once, in the other letter case every second
// time; the keys of the first few sections are read as texts and integers. A few keys tell as
// much as thousands, at a fraction of the time.
void CheckLookups(const TMemIniFile& ini, const TModel& model) {
  std::size_t sectionsChecked = 0;
  for (const auto& [upper, section] : model) {
    const auto& [name, entries] = section;
    const bool flip = sectionsChecked % 2 == 1;
    const std::string sectionName = flip ? OtherCase(name) : name;
    Check(ini.ReadString(sectionName, "\x02 no such key", "d") == "d");
    if (entries.empty() || ++sectionsChecked > 16) continue;
    std::map<std::string, const TEntry*> lastOfKey;
    for (const TEntry& entry : entries) lastOfKey[UnicodeUpper(entry.key)] = &entry;
    std::size_t keysChecked = 0;
    for (const auto& [keyUpper, last] : lastOfKey) {
      if (++keysChecked > (sectionsChecked <= 2 ? 4 : 1)) break;
      const std::string key = flip ? OtherCase(last->key) : last->key;
      Check(ini.ReadString(sectionName, key, "\x01none") == last->value.value_or("\x01none"));
      if (sectionsChecked <= 2) {
        const std::optional<std::int32_t> expected = ExpectedInteger(last->value.value_or(""));
        Check(ini.ReadInteger(sectionName, key, flip ? 17 : -17) ==
              expected.value_or(flip ? 17 : -17));
      }
    }
  }
  Check(ini.ReadString("\x02 no such section", "", "d") == "d");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const TMemIniFile ini = TMemIniFile::FromBytes(bytes);

  // Lookups keep offsets of the upper-cased text, so upper-casing must keep the length.
  Check(UnicodeUpper(bytes).size() == size);

  // The model reads the same text: the ANSI code page without a byte-order mark, UTF-8 after
  // one (broken sequences as U+FFFD). UTF-16 files are only looked up, for crashes.
  std::optional<std::string> text;
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    text = RTL::Text::Utf16ToUtf8(RTL::Text::Utf8ToUtf16(bytes.substr(3)));
  } else if (!bytes.starts_with("\xFF\xFE") && !bytes.starts_with("\xFE\xFF")) {
    text = Platform::AnsiToUtf8(bytes);
  }
  if (text) {
    CheckLookups(ini, ModelOf(*text));
  } else {
    ini.ReadString("DBParams", "ConnectType", "");
    ini.ReadInteger("DBParams", "DBType", 3);
  }

  // The integer rule on the raw bytes as one value.
  const std::string value(bytes.substr(0, 32));
  Check(RTL::IniFiles::TryStrToInt(value) == ExpectedInteger(value));
  return 0;
}
