#include "settings_source.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

#include "reporter/settings/cipher.h"
#include "reporter/settings/settings_keys.h"
#include "reporter/settings/settings_stream_writer.h"
#include "rtl/text.h"

namespace SettingsCompiler {
namespace {

[[noreturn]] void Fail(std::string_view context, int line, const std::string& what) {
  throw SourceError(std::string(context) + " line " + std::to_string(line) + ": " + what);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// What follows a value: blanks, then nothing or a comment.
bool OnlyCommentLeft(std::string_view rest) {
  rest = Trimmed(rest);
  return rest.empty() || rest.front() == '#';
}

// A double-quoted text at the start of `text`; `rest` gets what follows the closing quote.
std::optional<std::string> Unquote(std::string_view text, std::string_view& rest,
                                   std::string& error) {
  if (text.empty() || text.front() != '"') {
    error = "a text must be in double quotes";
    return std::nullopt;
  }
  std::string value;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      rest = text.substr(i + 1);
      return value;
    }
    if (c != '\\') {
      value += c;
      continue;
    }
    if (++i == text.size()) break;
    switch (text[i]) {
      case 'r':
        value += '\r';
        break;
      case 'n':
        value += '\n';
        break;
      case 't':
        value += '\t';
        break;
      case '\\':
        value += '\\';
        break;
      case '"':
        value += '"';
        break;
      default:
        error = std::string("unknown escape \\") + text[i];
        return std::nullopt;
    }
  }
  error = "missing closing double quote";
  return std::nullopt;
}

std::optional<ValueKind> KindNamed(std::string_view name) {
  if (name == "int") return ValueKind::kInt;
  if (name == "bool") return ValueKind::kBool;
  if (name == "text") return ValueKind::kText;
  if (name == "password") return ValueKind::kPassword;
  return std::nullopt;
}

// Reads the value for the record's kind into it; `bareText` lets override files skip quotes.
void ParseValue(std::string_view value, SourceRecord& record, bool bareText,
                std::string_view context) {
  value = Trimmed(value);
  std::string error;
  if (record.kind == ValueKind::kText || record.kind == ValueKind::kPassword) {
    if (bareText && (value.empty() || value.front() != '"')) {
      record.text = std::string(value);
      return;
    }
    std::string_view rest;
    const auto text = Unquote(value, rest, error);
    if (!text) Fail(context, record.line, error);
    if (!OnlyCommentLeft(rest)) Fail(context, record.line, "text after the closing quote");
    record.text = *text;
    return;
  }
  const std::size_t end = value.find_first_of(" \t#");
  const std::string_view word = value.substr(0, end);
  if (end != std::string_view::npos && !OnlyCommentLeft(value.substr(end))) {
    Fail(context, record.line, "text after the value");
  }
  if (record.kind == ValueKind::kBool) {
    if (word != "true" && word != "false") Fail(context, record.line, "bool must be true or false");
    record.boolValue = word == "true";
    return;
  }
  std::int32_t number = 0;
  const char* first = word.data();
  const char* last = word.data() + word.size();
  const auto [end_, failure] = std::from_chars(first, last, number);
  if (word.empty() || failure != std::errc() || end_ != last) {
    Fail(context, record.line, "not a 32-bit integer: " + std::string(word));
  }
  record.intValue = number;
}

const SourceRecord* FindFirst(const std::vector<SourceRecord>& records, std::string_view key) {
  for (const SourceRecord& record : records) {
    if (record.key == key) return &record;
  }
  return nullptr;
}

std::string TextOf(const std::vector<SourceRecord>& records, std::string_view key) {
  const SourceRecord* record = FindFirst(records, key);
  return record ? record->text : std::string();
}

using Reporter::Settings::kPasswordKeys;
using Reporter::Settings::TPasswordKeys;

// The source's name of the kind that records of this type are written as.
std::string_view KindName(Reporter::Settings::TPropertyType type) {
  switch (type) {
    case Reporter::Settings::ptBoolean:
      return "bool";
    case Reporter::Settings::ptInteger:
      return "int";
    default:
      return "text";
  }
}

Reporter::Settings::TPropertyType TypeOf(ValueKind kind) {
  switch (kind) {
    case ValueKind::kInt:
      return Reporter::Settings::ptInteger;
    case ValueKind::kBool:
      return Reporter::Settings::ptBoolean;
    default:
      return Reporter::Settings::ptString;
  }
}

std::string Cp1252Bytes(const SourceRecord& record) {
  std::string bytes = RTL::Text::Utf8ToCp1252(record.text);
  if (RTL::Text::Cp1252ToUtf8(bytes) != record.text) {
    Fail("source", record.line, "text of " + record.key + " is not representable in Windows-1252");
  }
  return bytes;
}

}  // namespace

std::vector<SourceRecord> ParseSettingsSource(std::string_view source) {
  std::vector<SourceRecord> records;
  int lineNumber = 0;
  while (!source.empty()) {
    const std::size_t end = source.find('\n');
    const std::string_view line = Trimmed(source.substr(0, end));
    source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
    ++lineNumber;
    if (line.empty() || line.front() == '#') continue;

    const std::size_t colon = line.find(':');
    const std::size_t equals = line.find('=', colon == std::string_view::npos ? 0 : colon);
    if (colon == std::string_view::npos || equals == std::string_view::npos) {
      Fail("source", lineNumber, "expected `Key : kind = value`");
    }
    SourceRecord record;
    record.line = lineNumber;
    record.key = std::string(Trimmed(line.substr(0, colon)));
    if (record.key.empty() || record.key.size() > 255) {
      Fail("source", lineNumber, "a key needs 1 to 255 characters");
    }
    const std::string_view kindName = Trimmed(line.substr(colon + 1, equals - colon - 1));
    const auto kind = KindNamed(kindName);
    if (!kind) Fail("source", lineNumber, "unknown kind \"" + std::string(kindName) + "\"");
    record.kind = *kind;
    if (record.kind == ValueKind::kPassword) {
      const bool known = std::ranges::any_of(kPasswordKeys, [&](const TPasswordKeys& keys) {
        return keys.password.name == record.key;
      });
      if (!known) Fail("source", lineNumber, record.key + " cannot be a password");
    }
    ParseValue(line.substr(equals + 1), record, false, "source");
    records.push_back(std::move(record));
  }
  return records;
}

void CheckDeclaredKeys(const std::vector<SourceRecord>& records) {
  for (const SourceRecord& record : records) {
    const Reporter::Settings::TKeyDeclaration* declared =
        Reporter::Settings::FindDeclaredKey(record.key);
    if (!declared) Fail("source", record.line, "no key is named \"" + record.key + "\"");
    if (declared->typ != TypeOf(record.kind)) {
      Fail("source", record.line,
           record.key + " is declared as " + std::string(KindName(declared->typ)));
    }
  }
}

void ApplyOverrides(std::vector<SourceRecord>& records, std::string_view overrides) {
  int lineNumber = 0;
  while (!overrides.empty()) {
    const std::size_t end = overrides.find('\n');
    const std::string_view line = Trimmed(overrides.substr(0, end));
    overrides = end == std::string_view::npos ? std::string_view() : overrides.substr(end + 1);
    ++lineNumber;
    if (line.empty() || line.front() == '#') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) Fail("override", lineNumber, "expected `Key=Value`");
    const std::string_view key = Trimmed(line.substr(0, equals));
    SourceRecord* target = nullptr;
    for (SourceRecord& record : records) {
      if (record.key == key) {
        target = &record;
        break;
      }
    }
    if (!target) Fail("override", lineNumber, "no record named \"" + std::string(key) + "\"");
    SourceRecord changed = *target;
    changed.line = lineNumber;
    ParseValue(line.substr(equals + 1), changed, true, "override");
    changed.line = target->line;
    *target = std::move(changed);
  }
}

std::vector<std::uint8_t> CompileSettings(const std::vector<SourceRecord>& records) {
  Reporter::Settings::TSettingsStreamWriter writer;
  for (const SourceRecord& record : records) {
    switch (record.kind) {
      case ValueKind::kInt:
        writer.AddInt32(record.key, record.intValue);
        break;
      case ValueKind::kBool:
        writer.AddBool(record.key, record.boolValue);
        break;
      case ValueKind::kText:
        writer.AddAnsiLong(record.key, Cp1252Bytes(record));
        break;
      case ValueKind::kPassword: {
        std::string server, account;
        for (const TPasswordKeys& keys : kPasswordKeys) {
          if (keys.password.name != record.key) continue;
          server = TextOf(records, keys.server.name);
          account = TextOf(records, keys.account.name);
        }
        writer.AddAnsiLong(
            record.key, Reporter::Settings::Cipher::EncipherPassword(record.text, account, server));
        break;
      }
    }
  }
  return writer.Finish();
}

std::string EmbeddingSource(const std::vector<std::uint8_t>& stream) {
  std::string source =
      "// Generated by settings_compiler: the settings resource of this executable.\n"
      "#include <cstdint>\n\n#include \"platform/resource_table.h\"\n\nnamespace {\n\n"
      "const std::uint8_t kSettings[] = {";
  for (std::size_t i = 0; i < stream.size(); ++i) {
    if (i % 16 == 0) source += "\n   ";
    char byte[8];
    std::snprintf(byte, sizeof(byte), " %u,", static_cast<unsigned>(stream[i]));
    source += byte;
  }
  source +=
      "\n};\n\nconst bool kRegistered = (Platform::RegisterResource(Platform::MainModule(), "
      "\"TEXVORA\", kSettings), true);\n\n}  // namespace\n";
  return source;
}

}  // namespace SettingsCompiler
