// libFuzzer target: the x86 decoder and formatter take any bytes in both modes without reading
// past them, crashing or hanging, and what they report is consistent. Built and run by
// scripts/fuzz.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>

#include "reporter/report/decoder/x86_decoder.h"

namespace {

using namespace Reporter::Decoder;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void DecodeAll(std::span<const std::uint8_t> bytes, std::uint64_t address, TCpuMode mode) {
  // Every instruction of the input in turn, as a listing and the tracer would walk them.
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    const auto rest = bytes.subspan(offset);
    const TInstruction instruction = DecodeInstruction(rest, address + offset, mode);
    const std::string text = FormatInstruction(instruction);
    const std::string mnemonic = Mnemonic(instruction);
    Check(!text.empty());
    if (instruction.IsValid) {
      Check(instruction.Length >= 1 && instruction.Length <= 15 &&
            instruction.Length <= rest.size());
      Check(!mnemonic.empty() && text.find(mnemonic) != std::string::npos);
      Check(!(instruction.HasTarget && instruction.HasPointer));
      Check(!(instruction.IsIndirect && (instruction.HasTarget || instruction.HasPointer)));
      if (mode == TCpuMode::Bits32) Check(instruction.Target <= 0xFFFFFFFFu);
      // Exactly its own bytes decode the same.
      const TInstruction again =
          DecodeInstruction(rest.first(instruction.Length), address + offset, mode);
      Check(again.IsValid && again.Length == instruction.Length &&
            again.Target == instruction.Target && FormatInstruction(again) == text);
      offset += instruction.Length;
    } else {
      Check(instruction.Length == 1 && mnemonic.empty() && text.rfind("db 0x", 0) == 0);
      offset += 1;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exactly sized heap copy, so that a read past the end is caught.
  const auto copy = std::make_unique<std::uint8_t[]>(size);
  if (size != 0) std::memcpy(copy.get(), data, size);
  const std::span<const std::uint8_t> bytes(copy.get(), size);
  std::uint64_t address = 0;
  for (std::size_t i = 0; i < size && i < 8; ++i) address = (address << 8) | data[i];
  DecodeAll(bytes, address, TCpuMode::Bits64);
  DecodeAll(bytes, address & 0xFFFFFFFFu, TCpuMode::Bits32);
  return 0;
}
