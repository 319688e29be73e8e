#include <algorithm>
#include <vector>

#include "platform/memory_map.h"
#include "reporter/report/sections/machine_state.h"
#include "reporter/report/sections/section_format.h"

namespace Reporter::Report {
namespace {

constexpr std::size_t kBytesPerLine = 16;
constexpr std::size_t kMaxLines = 20;

}  // namespace

std::string FormatStackDump(Tracer::Address address, std::span<const std::uint8_t> bytes) {
  const std::size_t count = std::min(bytes.size(), kBytesPerLine * kMaxLines);
  std::string text;
  for (std::size_t start = 0; start < count; start += kBytesPerLine) {
    const std::size_t inLine = std::min(kBytesPerLine, count - start);
    if (start > 0) text += "\r\n";
    text += HexAddress(address + start) + "  ";
    for (std::size_t slot = 0; slot < kBytesPerLine; ++slot) {
      if (slot == kBytesPerLine / 2) text += slot < inLine ? "- " : "  ";
      text += slot < inLine ? HexNumber(bytes[start + slot], 2) + " " : "   ";
    }
    text += ' ';
    for (std::size_t slot = 0; slot < inLine; ++slot) {
      const std::uint8_t byte = bytes[start + slot];
      text += byte >= 32 && byte <= 126 ? static_cast<char>(byte) : '.';
    }
  }
  return text;
}

std::string StackDumpText(Tracer::Address stackPointer) {
  try {
    const auto sp = static_cast<std::uintptr_t>(stackPointer);
    const auto region = Platform::QueryMemoryRegion(sp);
    if (region.Access != Platform::TMemoryAccess::Readable || region.End <= sp) return {};
    const std::size_t wanted = std::min<std::uintptr_t>(region.End - sp, kBytesPerLine * kMaxLines);
    std::vector<std::uint8_t> bytes(wanted);
    // Line by line, so that memory vanishing under the read still leaves the lines before it.
    std::size_t read = 0;
    while (read < wanted) {
      const std::size_t piece = std::min(kBytesPerLine, wanted - read);
      if (!Platform::ReadMemory(sp + read, bytes.data() + read, piece)) break;
      read += piece;
    }
    bytes.resize(read);
    return FormatStackDump(stackPointer, bytes);
  } catch (...) {
    return {};
  }
}

}  // namespace Reporter::Report
