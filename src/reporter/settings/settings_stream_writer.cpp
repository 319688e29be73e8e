#include "reporter/settings/settings_stream_writer.h"

#include <stdexcept>

#include "reporter/settings/settings_stream_format.h"

namespace Reporter::Settings {

TSettingsStreamWriter::TSettingsStreamWriter() {
  bytes_.assign(kSettingsStreamHeader.begin(), kSettingsStreamHeader.end());
}

void TSettingsStreamWriter::Begin(std::string_view name, std::uint8_t tag) {
  if (name.empty() || name.size() > 255) {
    throw std::invalid_argument("settings name must have 1 to 255 bytes: \"" + std::string(name) +
                                "\"");
  }
  bytes_.push_back(static_cast<std::uint8_t>(name.size()));
  PutBytes(name);
  bytes_.push_back(tag);
}

void TSettingsStreamWriter::PutUInt32(std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void TSettingsStreamWriter::PutBytes(std::string_view bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void TSettingsStreamWriter::AddInt8(std::string_view name, std::int8_t value) {
  Begin(name, kTagInt8);
  bytes_.push_back(static_cast<std::uint8_t>(value));
}

void TSettingsStreamWriter::AddInt16(std::string_view name, std::int16_t value) {
  Begin(name, kTagInt16);
  const auto raw = static_cast<std::uint16_t>(value);
  bytes_.push_back(static_cast<std::uint8_t>(raw));
  bytes_.push_back(static_cast<std::uint8_t>(raw >> 8));
}

void TSettingsStreamWriter::AddInt32(std::string_view name, std::int32_t value) {
  Begin(name, kTagInt32);
  PutUInt32(static_cast<std::uint32_t>(value));
}

void TSettingsStreamWriter::AddBool(std::string_view name, bool value) {
  Begin(name, value ? kTagTrue : kTagFalse);
}

void TSettingsStreamWriter::AddAnsiShort(std::string_view name, std::string_view bytes) {
  if (bytes.size() > 255) throw std::invalid_argument("short text longer than 255 bytes");
  Begin(name, kTagAnsiShort);
  bytes_.push_back(static_cast<std::uint8_t>(bytes.size()));
  PutBytes(bytes);
}

void TSettingsStreamWriter::AddIdent(std::string_view name, std::string_view utf8) {
  if (utf8.size() > 255) throw std::invalid_argument("identifier longer than 255 bytes");
  Begin(name, kTagIdent);
  bytes_.push_back(static_cast<std::uint8_t>(utf8.size()));
  PutBytes(utf8);
}

void TSettingsStreamWriter::AddAnsiLong(std::string_view name, std::string_view bytes) {
  Begin(name, kTagAnsiLong);
  PutUInt32(static_cast<std::uint32_t>(bytes.size()));
  PutBytes(bytes);
}

void TSettingsStreamWriter::AddUtf8Long(std::string_view name, std::string_view utf8) {
  Begin(name, kTagUtf8Long);
  PutUInt32(static_cast<std::uint32_t>(utf8.size()));
  PutBytes(utf8);
}

void TSettingsStreamWriter::AddUtf16(std::string_view name, std::u16string_view text) {
  Begin(name, kTagUtf16);
  PutUInt32(static_cast<std::uint32_t>(text.size()));
  for (const char16_t unit : text) {
    bytes_.push_back(static_cast<std::uint8_t>(unit));
    bytes_.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
}

void TSettingsStreamWriter::AddRaw(std::string_view name, std::uint8_t tag,
                                   std::span<const std::uint8_t> value) {
  Begin(name, tag);
  bytes_.insert(bytes_.end(), value.begin(), value.end());
}

std::vector<std::uint8_t> TSettingsStreamWriter::Finish() const {
  std::vector<std::uint8_t> stream = bytes_;
  stream.push_back(0);  // end of the property list
  stream.push_back(0);  // end of the object
  return stream;
}

}  // namespace Reporter::Settings
