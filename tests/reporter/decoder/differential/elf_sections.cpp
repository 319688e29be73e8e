#include "elf_sections.h"

#include <fstream>
#include <iterator>

namespace DecoderDifferential {
namespace {

constexpr std::uint16_t kMachine386 = 3;
constexpr std::uint16_t kMachineX86_64 = 62;
constexpr std::uint32_t kSectionProgBits = 1;
constexpr std::uint64_t kSectionExecutable = 4;

class TBytes {
 public:
  explicit TBytes(const std::vector<std::uint8_t>& data) : data_(data) {}

  bool Has(std::uint64_t offset, std::uint64_t size) const {
    return offset <= data_.size() && size <= data_.size() - offset;
  }

  std::uint64_t Value(std::uint64_t offset, int size) const {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) value |= std::uint64_t{data_[offset + i]} << (8 * i);
    return value;
  }

 private:
  const std::vector<std::uint8_t>& data_;
};

}  // namespace

std::optional<TElfCode> ReadElfCode(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(file),
                                       std::istreambuf_iterator<char>()};
  const TBytes bytes(data);
  if (!bytes.Has(0, 64) || bytes.Value(0, 4) != 0x464C457Fu || data[5] != 1) return std::nullopt;
  TElfCode code;
  code.Is64 = data[4] == 2;
  const auto machine = bytes.Value(18, 2);
  if (machine != (code.Is64 ? kMachineX86_64 : kMachine386)) return std::nullopt;

  // Field offsets of the file header and of one section header, 32-bit and 64-bit layouts.
  const int word = code.Is64 ? 8 : 4;
  const std::uint64_t sectionTable = bytes.Value(code.Is64 ? 40 : 32, word);
  const std::uint64_t entrySize = bytes.Value(code.Is64 ? 58 : 46, 2);
  const std::uint64_t count = bytes.Value(code.Is64 ? 60 : 48, 2);
  const std::uint64_t namesIndex = bytes.Value(code.Is64 ? 62 : 50, 2);
  if (entrySize < (code.Is64 ? 64u : 40u) || !bytes.Has(sectionTable, entrySize * count) ||
      namesIndex >= count) {
    return std::nullopt;
  }
  const auto header = [&](std::uint64_t index) { return sectionTable + index * entrySize; };
  const auto field = [&](std::uint64_t index, int offset32, int offset64, int size32, int size64) {
    return bytes.Value(header(index) + (code.Is64 ? offset64 : offset32),
                       code.Is64 ? size64 : size32);
  };
  const std::uint64_t namesOffset = field(namesIndex, 16, 24, 4, 8);
  const std::uint64_t namesSize = field(namesIndex, 20, 32, 4, 8);
  if (!bytes.Has(namesOffset, namesSize)) return std::nullopt;

  for (std::uint64_t i = 0; i < count; ++i) {
    const auto type = field(i, 4, 4, 4, 4);
    const auto flags = field(i, 8, 8, 4, 8);
    if (type != kSectionProgBits || !(flags & kSectionExecutable)) continue;
    TCodeSection section;
    section.Address = field(i, 12, 16, 4, 8);
    const auto offset = field(i, 16, 24, 4, 8);
    const auto size = field(i, 20, 32, 4, 8);
    if (!bytes.Has(offset, size)) continue;
    for (auto name = namesOffset + field(i, 0, 0, 4, 4);
         name < namesOffset + namesSize && data[name] != 0; ++name) {
      section.Name += static_cast<char>(data[name]);
    }
    section.Bytes.assign(data.begin() + static_cast<std::ptrdiff_t>(offset),
                         data.begin() + static_cast<std::ptrdiff_t>(offset + size));
    code.Sections.push_back(std::move(section));
  }
  return code;
}

}  // namespace DecoderDifferential
