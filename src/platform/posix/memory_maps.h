#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The mappings of this process as /proc/self/maps lists them.
namespace Platform::Posix {

struct TMapping {
  std::uintptr_t Begin = 0;
  std::uintptr_t End = 0;
  bool Read = false;
  bool Write = false;
  bool Execute = false;
  bool Shared = false;
  std::uint64_t Offset = 0;
  std::uint64_t Inode = 0;
  std::string Path;  // file path, "[stack]"-like pseudo name or empty
};

// Parses the text of a maps file. Lines that do not parse are left out; the result is sorted
// by address and free of overlaps (a file read while mappings change may repeat a range).
std::vector<TMapping> ParseMappings(const std::string& text);

// One pass over /proc/self/maps.
std::vector<TMapping> ReadMappings();

}  // namespace Platform::Posix
