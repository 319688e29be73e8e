#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The code sections of an x86 ELF file, read with nothing but the standard library: enough for
// the differential test to walk real compiler output.
namespace DecoderDifferential {

struct TCodeSection {
  std::string Name;
  std::uint64_t Address = 0;
  std::vector<std::uint8_t> Bytes;
};

struct TElfCode {
  bool Is64 = false;
  std::vector<TCodeSection> Sections;
};

// The executable sections with contents, or nothing when the file is no x86 ELF file.
std::optional<TElfCode> ReadElfCode(const std::string& path);

}  // namespace DecoderDifferential
