#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The readable settings source that the build compiles into the settings resource.
//
//   # comment (whole line, or after a value)
//   AutoSend      : bool     = true
//   HttpPort      : int      = 443
//   BugTrTitle    : text     = "%appname%, %exceptMsg%\r\n"
//   BugTrPassword : password = "plain text, enciphered when compiled"
//
// Texts and passwords are double-quoted with the escapes \r \n \t \\ \". An override file has
// `Key=Value` lines that replace the value of the first record of an existing key, keeping its
// kind; there a text may be written bare (trimmed) or quoted.
namespace SettingsCompiler {

enum class ValueKind { kInt, kBool, kText, kPassword };

struct SourceRecord {
  std::string key;
  ValueKind kind = ValueKind::kText;
  std::int32_t intValue = 0;
  bool boolValue = false;
  std::string text;  // UTF-8; a password in plain text
  int line = 0;
};

// A fault in the source or the override file, with its line number in the message.
class SourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::vector<SourceRecord> ParseSettingsSource(std::string_view source);
// Refuses a record whose key the reporter does not declare (settings_keys.def), which it
// would never read, or whose kind differs from the declared one.
void CheckDeclaredKeys(const std::vector<SourceRecord>& records);
void ApplyOverrides(std::vector<SourceRecord>& records, std::string_view overrides);

// The settings stream: ints as tag 4, bools as 8/9, texts as tag 12 in Windows-1252 (a text
// that Windows-1252 cannot hold is an error), passwords enciphered with their server and
// account and stored as a tag-12 Base64 text.
std::vector<std::uint8_t> CompileSettings(const std::vector<SourceRecord>& records);

// A C++ source that registers the stream as the main module's TEXVORA resource at start-up,
// for platforms without resource sections.
std::string EmbeddingSource(const std::vector<std::uint8_t>& stream);

}  // namespace SettingsCompiler
