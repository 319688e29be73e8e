#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The caller's INI settings file, read whole into memory and never written.
namespace RTL::IniFiles {

class TCustomIniFile {
 public:
  virtual ~TCustomIniFile() = default;
  // The value of the last entry with that key in that section; the default when there is
  // none or that entry has no "=".
  virtual std::string ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const = 0;
  // The value as a 32-bit signed integer (decimal, or hexadecimal after "$", "x" or "0x"),
  // or the default when it does not parse.
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;
};

class TMemIniFile : public TCustomIniFile {
 public:
  // A settings file holds a few dozen lines; anything beyond this is no settings file.
  static constexpr std::size_t kMaxFileSize = 1024 * 1024;

  // Reads and parses the file when the name is not empty and names an existing file;
  // otherwise the reader is empty. A file that cannot be opened for reading, one that is no
  // regular file (a FIFO, a device) and one larger than kMaxFileSize raise EFOpenError
  // "Datei %s kann nicht geöffnet werden. %s".
  explicit TMemIniFile(const std::string& AFileName);

  // Parses bytes as they would come from a file (byte-order mark, line ends and all).
  static TMemIniFile FromBytes(std::string_view bytes);

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const override;

 private:
  TMemIniFile() = default;
  void Parse(std::string_view bytes);

  struct Entry {
    std::string key;
    std::optional<std::string> value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  const Section* FindSection(std::string_view name) const;

  std::vector<Section> sections_;
  // Section index by upper-cased name, so that a file of many sections parses in linear time.
  std::unordered_map<std::string, std::size_t> sectionIndex_;
};

// The runtime's integer parsing (see ReadInteger); empty on failure.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

}  // namespace RTL::IniFiles
