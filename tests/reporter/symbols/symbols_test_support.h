#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What several of the symbol tests share: this program's own functions with marked lines,
// file bytes, and an assembler for made-up debug sections.
namespace SymbolsTest {

// Calls the marked function and gives the address its call on the marked line returns to.
std::uint64_t CallMarkedFunction();
// The run-time address of the marked function.
std::uint64_t MarkedFunctionAddress();
// Its line numbers in probe_function.cpp: the function's first line and the call's.
int MarkedFunctionLine();
int MarkedCallLine();
// Calls a function of the probe that calls into code inlined from a header, and gives the
// address that the call inside the inlined code returns to; the line of the call of the
// inlined code in probe_function.cpp.
std::uint64_t CallInlinedCode();
int InlinedCallLine();
// The marked function's names in the symbol data.
inline constexpr const char* kMarkedUnit = "SymbolsProbe";
inline constexpr const char* kMarkedName = "MarkedFunction";

std::vector<std::uint8_t> ReadBytes(const std::string& path);

// Assembles DWARF sections byte by byte (little-endian numbers, LEB128, texts).
class TAssembler {
 public:
  TAssembler& U8(std::uint64_t value) { return Bytes(value, 1); }
  TAssembler& U16(std::uint64_t value) { return Bytes(value, 2); }
  TAssembler& U32(std::uint64_t value) { return Bytes(value, 4); }
  TAssembler& U64(std::uint64_t value) { return Bytes(value, 8); }
  TAssembler& Uleb(std::uint64_t value) {
    do {
      bytes_.push_back(std::uint8_t((value & 0x7F) | (value >= 0x80 ? 0x80 : 0)));
      value >>= 7;
    } while (value != 0);
    return *this;
  }
  TAssembler& Sleb(std::int64_t value) {
    for (bool more = true; more;) {
      const std::uint8_t byte = value & 0x7F;
      value >>= 7;
      more = !((value == 0 && !(byte & 0x40)) || (value == -1 && (byte & 0x40)));
      bytes_.push_back(byte | (more ? 0x80 : 0));
    }
    return *this;
  }
  TAssembler& Text(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
    return *this;
  }
  std::size_t Size() const { return bytes_.size(); }
  void Patch32(std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_[at + i] = std::uint8_t(value >> (8 * i));
  }
  std::vector<std::uint8_t>& Get() { return bytes_; }

 private:
  TAssembler& Bytes(std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes_.push_back(std::uint8_t(value >> (8 * i)));
    return *this;
  }
  std::vector<std::uint8_t> bytes_;
};

}  // namespace SymbolsTest
