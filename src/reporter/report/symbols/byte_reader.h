#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// Little-endian reads from a byte span that never leave it. A read that would go past the end
// gives zero and marks the reader failed, so that a parser can read a whole record and check
// once at the end.
namespace Reporter::Symbols {

class TByteReader {
 public:
  explicit TByteReader(std::span<const std::uint8_t> bytes, std::uint64_t position = 0)
      : bytes_(bytes), position_(position) {
    if (position > bytes.size()) failed_ = true;
  }

  bool Ok() const { return !failed_; }
  void Fail() { failed_ = true; }
  std::uint64_t Position() const { return position_; }
  std::uint64_t Remaining() const { return failed_ ? 0 : bytes_.size() - position_; }
  bool AtEnd() const { return failed_ || position_ == bytes_.size(); }

  void Seek(std::uint64_t position) {
    if (position > bytes_.size())
      failed_ = true;
    else
      position_ = position;
  }
  void Skip(std::uint64_t count) {
    if (count > Remaining())
      failed_ = true;
    else
      position_ += count;
  }

  std::uint8_t U8() { return std::uint8_t(Unsigned(1)); }
  std::uint16_t U16() { return std::uint16_t(Unsigned(2)); }
  std::uint32_t U32() { return std::uint32_t(Unsigned(4)); }
  std::uint64_t U64() { return Unsigned(8); }
  // An unsigned little-endian number of 1 to 8 bytes.
  std::uint64_t Unsigned(std::size_t size) {
    if (size > 8 || size > Remaining()) {
      failed_ = true;
      return 0;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= std::uint64_t(bytes_[position_ + i]) << (8 * i);
    position_ += size;
    return value;
  }

  // LEB128 numbers; more than 64 bits of payload fail.
  std::uint64_t Uleb() {
    if (!failed_ && position_ < bytes_.size() && bytes_[position_] < 0x80) {
      return bytes_[position_++];  // most numbers fit in one byte
    }
    std::uint64_t value = 0;
    for (unsigned shift = 0;; shift += 7) {
      const std::uint8_t byte = U8();
      if (failed_) return 0;
      if (shift >= 64 || (shift == 63 && (byte & 0x7E) != 0)) {
        failed_ = true;
        return 0;
      }
      value |= std::uint64_t(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) return value;
    }
  }
  std::int64_t Sleb() {
    std::uint64_t value = 0;
    unsigned shift = 0;
    std::uint8_t byte = 0;
    do {
      byte = U8();
      if (failed_ || shift >= 64) {
        failed_ = true;
        return 0;
      }
      value |= std::uint64_t(byte & 0x7F) << shift;
      shift += 7;
    } while (byte & 0x80);
    if (shift < 64 && (byte & 0x40)) value |= ~std::uint64_t(0) << shift;
    return std::int64_t(value);
  }

  // A zero-terminated text; fails without its terminator.
  std::string_view CString() {
    if (failed_) return {};
    const auto rest = bytes_.subspan(position_);
    for (std::size_t i = 0; i < rest.size(); ++i) {
      if (rest[i] == 0) {
        position_ += i + 1;
        return {reinterpret_cast<const char*>(rest.data()), i};
      }
    }
    failed_ = true;
    return {};
  }

  // The next count bytes.
  std::span<const std::uint8_t> Bytes(std::uint64_t count) {
    if (count > Remaining()) {
      failed_ = true;
      return {};
    }
    const auto result = bytes_.subspan(position_, count);
    position_ += count;
    return result;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::uint64_t position_ = 0;
  bool failed_ = false;
};

// The zero-terminated text at offset inside bytes; empty when there is none.
inline std::string_view CStringAt(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  TByteReader reader(bytes, offset);
  const std::string_view text = reader.CString();
  return reader.Ok() ? text : std::string_view();
}

}  // namespace Reporter::Symbols
