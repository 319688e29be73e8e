#include "reporter/settings/settings_stream.h"

#include <cstdio>

#include "platform/text_encoding.h"
#include "rtl/text.h"

namespace Reporter::Settings {
namespace {

// A cursor over the bytes whose every read checks the remaining length first.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Remaining() const { return bytes_.size() - position_; }

  bool Byte(std::uint8_t& value) {
    if (Remaining() < 1) return false;
    value = bytes_[position_++];
    return true;
  }

  bool UInt32(std::uint32_t& value) {
    if (Remaining() < 4) return false;
    value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t{bytes_[position_ + i]} << (8 * i);
    position_ += 4;
    return true;
  }

  bool Bytes(std::uint64_t count, std::string& value) {
    if (count > Remaining()) return false;
    value.assign(reinterpret_cast<const char*>(bytes_.data() + position_),
                 static_cast<std::size_t>(count));
    position_ += static_cast<std::size_t>(count);
    return true;
  }

  bool Skip(std::span<const std::uint8_t> expected) {
    if (Remaining() < expected.size()) return false;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      if (bytes_[position_ + i] != expected[i]) return false;
    }
    position_ += expected.size();
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// Little-endian signed integer of `size` bytes, sign-extended.
bool ReadSigned(ByteReader& reader, int size, std::int32_t& value) {
  std::uint32_t raw = 0;
  for (int i = 0; i < size; ++i) {
    std::uint8_t byte;
    if (!reader.Byte(byte)) return false;
    raw |= std::uint32_t{byte} << (8 * i);
  }
  const int unusedBits = 32 - 8 * size;
  value = static_cast<std::int32_t>(raw << unusedBits) >> unusedBits;
  return true;
}

bool ReadShortText(ByteReader& reader, std::string& bytes) {
  std::uint8_t length;
  return reader.Byte(length) && reader.Bytes(length, bytes);
}

bool ReadLongText(ByteReader& reader, std::string& bytes) {
  std::uint32_t length;
  return reader.UInt32(length) && reader.Bytes(length, bytes);
}

bool ReadUtf16(ByteReader& reader, std::string& utf8) {
  std::uint32_t count;
  std::string bytes;
  if (!reader.UInt32(count) || !reader.Bytes(std::uint64_t{count} * 2, bytes)) return false;
  std::u16string units(count, u'\0');
  for (std::size_t i = 0; i < count; ++i) {
    units[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                     static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
  }
  utf8 = RTL::Text::Utf16ToUtf8(units);
  return true;
}

enum class ValueResult { kRead, kTruncated, kUnknownTag };

ValueResult ReadValue(ByteReader& reader, std::uint8_t tag, SettingsProperty& property) {
  std::string bytes;
  bool complete = false;
  switch (tag) {
    case kTagInt8:
    case kTagInt16:
    case kTagInt32:
      property.typ = ptInteger;
      complete = ReadSigned(reader, tag == kTagInt8 ? 1 : tag == kTagInt16 ? 2 : 4, property.vInt);
      break;
    case kTagFalse:
    case kTagTrue:
      property.typ = ptBoolean;
      property.vBool = tag == kTagTrue;
      complete = true;
      break;
    case kTagAnsiShort:
    case kTagAnsiLong:
      property.typ = ptString;
      complete = tag == kTagAnsiShort ? ReadShortText(reader, bytes) : ReadLongText(reader, bytes);
      if (complete) property.vStr = Platform::AnsiToUtf8(bytes);
      break;
    case kTagIdent:
    case kTagUtf8Long:
      property.typ = ptString;
      complete = tag == kTagIdent ? ReadShortText(reader, bytes) : ReadLongText(reader, bytes);
      // Through UTF-16 and back so that malformed bytes become U+FFFD here and nowhere later.
      if (complete) property.vStr = RTL::Text::Utf16ToUtf8(RTL::Text::Utf8ToUtf16(bytes));
      break;
    case kTagUtf16:
      property.typ = ptString;
      complete = ReadUtf16(reader, property.vStr);
      break;
    default:
      return ValueResult::kUnknownTag;
  }
  return complete ? ValueResult::kRead : ValueResult::kTruncated;
}

}  // namespace

SettingsStreamContent ReadSettingsStream(std::span<const std::uint8_t> bytes) {
  SettingsStreamContent content;
  ByteReader reader(bytes);
  if (!reader.Skip(kSettingsStreamHeader)) return content;
  content.headerValid = true;
  for (;;) {
    std::uint8_t nameLength;
    if (!reader.Byte(nameLength)) {
      content.invalidTag = 0;  // the list's end marker is missing
      break;
    }
    if (nameLength == 0) break;
    SettingsProperty property;
    std::uint8_t tag;
    if (!reader.Bytes(nameLength, property.name) || !reader.Byte(tag)) {
      content.invalidTag = 0;
      break;
    }
    if (ReadValue(reader, tag, property) != ValueResult::kRead) {
      content.invalidTag = tag;
      break;
    }
    content.properties.push_back(std::move(property));
  }
  return content;
}

std::string InvalidSettingsResourceMessage(std::uint8_t tag) {
  char hex[8];
  std::snprintf(hex, sizeof(hex), "%X", static_cast<unsigned>(tag));
  return std::string("Internal error: Invalid settings resource ($") + hex + ").";
}

}  // namespace Reporter::Settings
