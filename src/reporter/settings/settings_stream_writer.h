#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Builds a settings stream record by record, with any tag, for the settings compiler and for
// tests. Names must be 1 to 255 bytes and short texts at most 255 bytes, else
// std::invalid_argument.
namespace Reporter::Settings {

class TSettingsStreamWriter {
 public:
  TSettingsStreamWriter();

  void AddInt8(std::string_view name, std::int8_t value);
  void AddInt16(std::string_view name, std::int16_t value);
  void AddInt32(std::string_view name, std::int32_t value);
  void AddBool(std::string_view name, bool value);
  // Texts already in their stored bytes: ANSI code page bytes for the Ansi forms, UTF-8 for
  // the others.
  void AddAnsiShort(std::string_view name, std::string_view bytes);
  void AddIdent(std::string_view name, std::string_view utf8);
  void AddAnsiLong(std::string_view name, std::string_view bytes);
  void AddUtf8Long(std::string_view name, std::string_view utf8);
  void AddUtf16(std::string_view name, std::u16string_view text);
  // A record with an arbitrary tag and value bytes, e.g. one the reader rejects.
  void AddRaw(std::string_view name, std::uint8_t tag, std::span<const std::uint8_t> value);

  // The stream with its closing markers; the writer may go on adding afterwards.
  std::vector<std::uint8_t> Finish() const;

 private:
  void Begin(std::string_view name, std::uint8_t tag);
  void PutUInt32(std::uint32_t value);
  void PutBytes(std::string_view bytes);
  std::vector<std::uint8_t> bytes_;
};

}  // namespace Reporter::Settings
