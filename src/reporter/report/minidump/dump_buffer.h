#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

// A growing file image written little-endian whatever the host: the format fixes the byte
// order, and offsets into the file (RVAs) are 32-bit.
namespace Reporter::Report::Minidump {

class TDumpBuffer {
 public:
  std::uint32_t Size() const { return static_cast<std::uint32_t>(bytes_.size()); }
  std::vector<std::uint8_t>& Bytes() { return bytes_; }

  void Align(std::size_t alignment) {
    while (bytes_.size() % alignment != 0) bytes_.push_back(0);
  }
  // Room for size bytes, zero-filled; returns their offset.
  std::uint32_t Reserve(std::size_t size) {
    const std::uint32_t at = Size();
    bytes_.resize(bytes_.size() + size);
    return at;
  }
  std::uint32_t Append(const void* data, std::size_t size) {
    const std::uint32_t at = Reserve(size);
    if (size != 0) std::memcpy(bytes_.data() + at, data, size);
    return at;
  }

  void Put16(std::uint32_t at, std::uint16_t value) { PutLittle(at, value, 2); }
  void Put32(std::uint32_t at, std::uint32_t value) { PutLittle(at, value, 4); }
  void Put64(std::uint32_t at, std::uint64_t value) { PutLittle(at, value, 8); }
  void Put8(std::uint32_t at, std::uint8_t value) { bytes_[at] = value; }

 private:
  void PutLittle(std::uint32_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes_[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }

  std::vector<std::uint8_t> bytes_;
};

}  // namespace Reporter::Report::Minidump
