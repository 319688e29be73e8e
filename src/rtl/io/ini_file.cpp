#include "rtl/io/ini_file.h"

#include <algorithm>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "rtl/case_folding.h"
#include "rtl/exceptions.h"
#include "rtl/io/paths.h"
#include "rtl/rtl_strings.h"
#include "rtl/text.h"

namespace RTL::IniFiles {
namespace {

// The file's text as UTF-8, chosen by its byte-order mark; without one it is in the ANSI
// code page, as the caller's programs write it.
std::string DecodeText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    // Through UTF-16 so that broken sequences become U+FFFD as they would on Windows.
    return Text::Utf16ToUtf8(Text::Utf8ToUtf16(bytes.substr(3)));
  }
  const bool littleEndian = bytes.starts_with("\xFF\xFE");
  if (littleEndian || bytes.starts_with("\xFE\xFF")) {
    bytes.remove_prefix(2);
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const auto first = static_cast<unsigned char>(bytes[i]);
      const auto second = static_cast<unsigned char>(bytes[i + 1]);
      units += static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second);
    }
    return Text::Utf16ToUtf8(units);
  }
  return Platform::AnsiToUtf8(bytes);
}

// Calls visit for each line; a line ends at CR LF, a lone LF or a lone CR.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) end = text.size();
    visit(text.substr(begin, end - begin));
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
    begin = end + 1;
  }
}

bool StartsWithHexPrefix(std::string_view text) {
  return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

enum class ReadResult { Complete, TooLarge, Failed };

// Reads to the end, but never more than limit bytes: a file that grows while it is read
// stops there as well.
ReadResult ReadAtMost(Platform::File& file, std::size_t limit, std::vector<std::uint8_t>& out) {
  out.clear();
  const std::optional<std::int64_t> size = file.Size();
  if (size && *size > static_cast<std::int64_t>(limit)) return ReadResult::TooLarge;
  // One byte beyond the limit tells a file of exactly that size from a larger one.
  out.resize(limit + 1);
  std::size_t used = 0;
  while (used < out.size()) {
    const std::optional<std::size_t> count = file.Read(out.data() + used, out.size() - used);
    if (!count) return ReadResult::Failed;
    if (*count == 0) break;
    used += *count;
  }
  out.resize(used);
  return used > limit ? ReadResult::TooLarge : ReadResult::Complete;
}

}  // namespace

std::int32_t TCustomIniFile::ReadInteger(std::string_view section, std::string_view key,
                                         std::int32_t defaultValue) const {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && StartsWithHexPrefix(text)) text.replace(0, 2, "$");
  return TryStrToInt(text).value_or(defaultValue);
}

TMemIniFile::TMemIniFile(const std::string& AFileName) {
  if (AFileName.empty() || !Platform::FileExists(AFileName)) return;
  Platform::Result<Platform::File> file =
      Platform::File::Open(AFileName, Platform::File::Mode::OpenExistingRead);
  // A failed read has no text of its own.
  std::string errorText = file.error();
  std::vector<std::uint8_t> bytes;
  bool read = false;
  if (file) {
    switch (ReadAtMost(*file, kMaxFileSize, bytes)) {
      case ReadResult::Complete:
        read = true;
        break;
      case ReadResult::TooLarge:
        errorText = Strings::kFileTooLarge;
        break;
      case ReadResult::Failed:
        break;
    }
  }
  if (!read) {
    throw EFOpenError(
        Text::Format(Strings::kCannotOpenFile, {Paths::ExpandFileName(AFileName), errorText}));
  }
  Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

TMemIniFile TMemIniFile::FromBytes(std::string_view bytes) {
  TMemIniFile iniFile;
  iniFile.Parse(bytes);
  return iniFile;
}

void TMemIniFile::Parse(std::string_view bytes) {
  const std::string text = DecodeText(bytes);
  // An index, as later sections move the vector's elements.
  std::optional<std::size_t> current;
  ForEachLine(text, [&](std::string_view rawLine) {
    const std::string line = Text::Trim(rawLine);
    if (line.empty() || line.front() == ';') return;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      std::string name = Text::Trim(std::string_view(line).substr(1, line.size() - 2));
      const auto [found, isNew] =
          sectionIndex_.try_emplace(Text::UnicodeUpper(name), sections_.size());
      if (isNew) sections_.push_back({std::move(name), {}});
      current = found->second;
      return;
    }
    if (!current) return;  // entries before the first header belong nowhere
    std::vector<Entry>& entries = sections_[*current].entries;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      entries.push_back({line, std::nullopt});
    } else {
      const std::string_view view(line);
      entries.push_back(
          {Text::TrimRight(view.substr(0, equals)), Text::TrimLeft(view.substr(equals + 1))});
    }
  });
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  const Section* foundSection = FindSection(section);
  if (foundSection == nullptr) return std::string(defaultValue);
  const auto& entries = foundSection->entries;
  auto last = std::find_if(entries.rbegin(), entries.rend(), [&](const Entry& e) {
    return Text::UnicodeEqualsIgnoreCase(e.key, key);
  });
  if (last == entries.rend() || !last->value) return std::string(defaultValue);
  return *last->value;
}

const TMemIniFile::Section* TMemIniFile::FindSection(std::string_view name) const {
  const auto found = sectionIndex_.find(Text::UnicodeUpper(name));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  const std::string_view rest = text.substr(pos);
  if (rest.empty()) return std::nullopt;

  std::uint32_t magnitude = 0;
  if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X' || StartsWithHexPrefix(rest)) {
    const std::string_view digits = rest.substr(rest[0] == '0' ? 2 : 1);
    // Eight digits fill the 32 bits: "$FFFFFFFF" is -1.
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    for (const char c : digits) {
      const int value = Text::HexDigitValue(c);
      if (value < 0) return std::nullopt;
      magnitude = magnitude << 4 | static_cast<std::uint32_t>(value);
    }
  } else {
    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    std::uint64_t value = 0;
    for (const char c : rest) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + static_cast<std::uint64_t>(c - '0');
      if (value > limit) return std::nullopt;
    }
    magnitude = static_cast<std::uint32_t>(value);
  }
  if (negative) magnitude = 0u - magnitude;
  return static_cast<std::int32_t>(magnitude);
}

}  // namespace RTL::IniFiles
