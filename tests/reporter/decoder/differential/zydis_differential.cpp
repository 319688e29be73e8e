// Differential test of the decoder against an independent disassembler library: walks the code
// sections of real binaries instruction by instruction and compares lengths and mnemonics.
//
// Usage: decoder_differential [--show N] FILE...
// Files that do not exist are skipped; at least one must be read. The walk is sequential from
// each section start; after a disagreement or an invalid instruction it goes on with the
// reference's length, or one byte when both find no instruction. Exit code 1 when the length
// agreement over all files is below 99.9% or the mnemonic agreement below 99%.
#include <Zydis/Zydis.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "elf_sections.h"
#include "reporter/report/decoder/x86_decoder.h"

namespace {

using namespace Reporter::Decoder;
using DecoderDifferential::ReadElfCode;

struct TCounts {
  std::uint64_t Compared = 0;
  std::uint64_t LengthAgreed = 0;
  std::uint64_t MnemonicAgreed = 0;
  std::uint64_t BothInvalid = 0;
  std::uint64_t Disagreements = 0;

  void Add(const TCounts& other) {
    Compared += other.Compared;
    LengthAgreed += other.LengthAgreed;
    MnemonicAgreed += other.MnemonicAgreed;
    BothInvalid += other.BothInvalid;
    Disagreements += other.Disagreements;
  }
  double LengthPercent() const { return Compared ? 100.0 * LengthAgreed / Compared : 0; }
  double MnemonicPercent() const { return Compared ? 100.0 * MnemonicAgreed / Compared : 0; }
};

struct TDisagreement {
  std::uint64_t Count = 0;
  std::string Example;
};

using TDisagreements = std::map<std::tuple<std::string, std::string>, TDisagreement>;

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  char buffer[4];
  for (const auto byte : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02x", byte);
    text += buffer;
  }
  return text;
}

TCounts WalkSection(const ZydisDecoder& reference, TCpuMode mode, std::uint64_t address,
                    std::span<const std::uint8_t> code, TDisagreements& disagreements) {
  TCounts counts;
  std::size_t offset = 0;
  while (offset < code.size()) {
    const auto rest = code.subspan(offset);
    ZydisDecodedInstruction expected;
    const bool referenceValid = ZYAN_SUCCESS(
        ZydisDecoderDecodeInstruction(&reference, nullptr, rest.data(), rest.size(), &expected));
    const TInstruction actual = DecodeInstruction(rest, address + offset, mode);
    ++counts.Compared;
    std::string expectedName = referenceValid ? ZydisMnemonicGetString(expected.mnemonic) : "";
    const std::string actualName = Mnemonic(actual);
    const bool lengthAgrees =
        referenceValid == actual.IsValid && (!referenceValid || expected.length == actual.Length);
    const bool mnemonicAgrees = referenceValid == actual.IsValid && expectedName == actualName;
    counts.LengthAgreed += lengthAgrees;
    counts.MnemonicAgreed += mnemonicAgrees;
    counts.BothInvalid += !referenceValid && !actual.IsValid;
    if (!lengthAgrees || !mnemonicAgrees) {
      ++counts.Disagreements;
      const int expectedLength = referenceValid ? expected.length : 0;
      const auto key = std::make_tuple(
          (referenceValid ? expectedName : "(invalid)") + "/" + std::to_string(expectedLength),
          (actual.IsValid ? actualName : "(invalid)") + "/" +
              std::to_string(actual.IsValid ? actual.Length : 0));
      auto& entry = disagreements[key];
      if (entry.Count++ == 0) {
        entry.Example = Hex(rest.first(std::min<std::size_t>(rest.size(), 15)));
      }
    }
    offset += referenceValid ? expected.length : 1;
  }
  return counts;
}

// Random byte strings shaped like instructions (prefixes, REX, escapes, VEX/EVEX/XOP headers):
// how often the two agree on undefined and unusual encodings. Reported, not asserted: real code
// is what the tracer and the listing decode.
TCounts CompareRandom(const ZydisDecoder& reference, TCpuMode mode, int count) {
  std::mt19937 random(20240601);
  const std::uint8_t prefixes[] = {0x66, 0x67, 0xF2, 0xF3, 0xF0, 0x2E, 0x64};
  const bool is64 = mode == TCpuMode::Bits64;
  TCounts counts;
  for (int n = 0; n < count; ++n) {
    std::uint8_t bytes[24];
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    int at = 0;
    if (random() % 4 == 0) {
      for (int i = static_cast<int>(random() % 3); i > 0; --i) bytes[at++] = prefixes[random() % 7];
    }
    if (is64 && random() % 3 == 0) bytes[at++] = static_cast<std::uint8_t>(0x40 | (random() & 15));
    const std::uint8_t registerForm = is64 ? 0 : 0xC0;
    switch (random() % 8) {
      case 1:
        bytes[at++] = 0x0F;
        break;
      case 2:
        bytes[at++] = 0x0F;
        bytes[at++] = 0x38;
        break;
      case 3:
        bytes[at++] = 0x0F;
        bytes[at++] = 0x3A;
        break;
      case 4:
        bytes[at++] = 0xC4;
        bytes[at] =
            static_cast<std::uint8_t>((bytes[at] & 0xE0) | registerForm | (1 + random() % 3));
        break;
      case 5:
        bytes[at++] = 0x62;
        bytes[at] =
            static_cast<std::uint8_t>((bytes[at] & 0xF0) | registerForm | (1 + random() % 3));
        bytes[at + 1] |= 4;
        break;
      case 6:
        bytes[at++] = 0xC5;
        bytes[at] |= registerForm;
        break;
      case 7:
        bytes[at++] = 0x8F;
        bytes[at] = static_cast<std::uint8_t>((bytes[at] & 0xE0) | (8 + random() % 3));
        break;
      default:
        break;
    }
    ZydisDecodedInstruction expected;
    const bool referenceValid =
        ZYAN_SUCCESS(ZydisDecoderDecodeInstruction(&reference, nullptr, bytes, 15, &expected));
    const TInstruction actual = DecodeInstruction({bytes, 15}, 0, mode);
    ++counts.Compared;
    const bool sameValidity = referenceValid == actual.IsValid;
    const bool lengthAgrees = sameValidity && (!referenceValid || expected.length == actual.Length);
    counts.LengthAgreed += lengthAgrees;
    counts.Disagreements += !lengthAgrees;
    counts.MnemonicAgreed +=
        sameValidity &&
        (!referenceValid || ZydisMnemonicGetString(expected.mnemonic) == Mnemonic(actual));
    counts.BothInvalid += !referenceValid && !actual.IsValid;
  }
  return counts;
}

void Print(const char* label, const std::string& name, const TCounts& counts) {
  std::printf(
      "%s %s: %llu instructions compared, length agreement %.3f%%, mnemonic agreement "
      "%.3f%%, %llu disagreements (%llu positions invalid for both)\n",
      label, name.c_str(), static_cast<unsigned long long>(counts.Compared), counts.LengthPercent(),
      counts.MnemonicPercent(), static_cast<unsigned long long>(counts.Disagreements),
      static_cast<unsigned long long>(counts.BothInvalid));
}

}  // namespace

int main(int argc, char** argv) {
  int show = 15;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--show") == 0 && i + 1 < argc) {
      show = std::atoi(argv[++i]);
    } else {
      files.emplace_back(argv[i]);
    }
  }
  ZydisDecoder reference64, reference32;
  ZydisDecoderInit(&reference64, ZYDIS_MACHINE_MODE_LONG_64, ZYDIS_STACK_WIDTH_64);
  ZydisDecoderInit(&reference32, ZYDIS_MACHINE_MODE_LEGACY_32, ZYDIS_STACK_WIDTH_32);

  TCounts total;
  TDisagreements disagreements;
  int filesRead = 0;
  for (const auto& file : files) {
    const auto elf = ReadElfCode(file);
    if (!elf) {
      std::printf("skipped %s: not found or no x86 ELF file\n", file.c_str());
      continue;
    }
    ++filesRead;
    TCounts counts;
    for (const auto& section : elf->Sections) {
      counts.Add(WalkSection(elf->Is64 ? reference64 : reference32,
                             elf->Is64 ? TCpuMode::Bits64 : TCpuMode::Bits32, section.Address,
                             section.Bytes, disagreements));
    }
    Print(elf->Is64 ? "file (64-bit)" : "file (32-bit)", file, counts);
    total.Add(counts);
  }
  Print("total", std::to_string(filesRead) + " files", total);

  Print("random bytes (not asserted),", "64-bit",
        CompareRandom(reference64, TCpuMode::Bits64, 200000));
  Print("random bytes (not asserted),", "32-bit",
        CompareRandom(reference32, TCpuMode::Bits32, 200000));

  // The decoder uses the reference's mnemonic names, so the names are compared unchanged.
  std::printf("mnemonics compared as they are (no normalisation)\n");

  std::vector<std::pair<TDisagreements::key_type, TDisagreement>> sorted(disagreements.begin(),
                                                                         disagreements.end());
  std::sort(sorted.begin(), sorted.end(),
            [](const auto& a, const auto& b) { return a.second.Count > b.second.Count; });
  if (!sorted.empty()) std::printf("disagreements (reference vs ours, name/length):\n");
  for (int i = 0; i < show && i < static_cast<int>(sorted.size()); ++i) {
    const auto& [key, entry] = sorted[i];
    std::printf("  %8llu  %-24s %-24s e.g. %s\n", static_cast<unsigned long long>(entry.Count),
                std::get<0>(key).c_str(), std::get<1>(key).c_str(), entry.Example.c_str());
  }

  const bool passed = filesRead > 0 && total.Compared > 0 && total.LengthPercent() >= 99.9 &&
                      total.MnemonicPercent() >= 99.0;
  std::printf(
      "%s: length agreement %.3f%% (needs 99.9%%), mnemonic agreement %.3f%% (needs "
      "99%%)\n",
      passed ? "PASSED" : "FAILED", total.LengthPercent(), total.MnemonicPercent());
  return passed ? 0 : 1;
}
