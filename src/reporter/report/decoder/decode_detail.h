#pragma once

#include <cstdint>
#include <span>

#include "reporter/report/decoder/opcode_table.h"
#include "reporter/report/decoder/x86_decoder.h"

// Everything the decoder learns about one instruction; the formatter prints from it.
namespace Reporter::Decoder::Internal {

enum class TEncoding : std::uint8_t { Legacy, Vex, Evex, Xop };

struct TDetail {
  const TEntry* Entry = nullptr;
  TCpuMode Mode = TCpuMode::Bits32;
  std::uint64_t Address = 0;
  std::uint8_t Length = 0;
  TEncoding Encoding = TEncoding::Legacy;

  // Prefixes.
  bool Lock = false;
  bool OperandSizePrefix = false;
  bool AddressSizePrefix = false;
  std::uint8_t Repeat = 0;   // the last F2 or F3
  std::uint8_t Segment = 0;  // the last segment override byte
  std::uint8_t Rex = 0;      // the REX byte, 0 without one

  // Register number extensions and vector fields (REX, VEX, EVEX and XOP alike).
  bool W = false;
  std::uint8_t R = 0;             // adds 8 to the reg field (and 16 with EVEX.R')
  std::uint8_t X = 0;             // adds 8 to the index (16 with EVEX.V' for a vector index)
  std::uint8_t B = 0;             // adds 8 to r/m or base (16 with EVEX.X for a vector r/m)
  std::uint8_t Vvvv = 0;          // register number from vvvv (and EVEX.V')
  std::uint8_t VectorLength = 0;  // 0: 128, 1: 256, 2: 512
  std::uint8_t RawLength = 0;     // VEX.L or EVEX.L'L as encoded (EVEX: the rounding mode)
  std::uint8_t Mask = 0;          // EVEX.aaa
  bool Zeroing = false;           // EVEX.z
  bool Broadcast = false;         // EVEX.b

  // Sizes in bits.
  std::uint8_t OperandSize = 32;
  std::uint8_t AddressSize = 32;

  // ModRM, SIB and displacement.
  bool HasModRM = false;
  std::uint8_t Mod = 0, Reg = 0, Rm = 0;
  bool HasSib = false;
  std::uint8_t Scale = 0, Index = 0, Base = 0;
  std::uint8_t DispSize = 0;
  std::int64_t Disp = 0;

  // Immediates in their order; the second only for enter, extrq and insertq.
  std::uint8_t ImmCount = 0;
  std::uint8_t ImmSize[2] = {};
  std::uint64_t Imm[2] = {};

  bool IsMemory() const { return HasModRM && Mod != 3; }
  std::uint64_t Next() const { return Address + Length; }
};

// Decodes one instruction; false when the bytes form none.
bool DecodeDetail(std::span<const std::uint8_t> bytes, std::uint64_t address, TCpuMode mode,
                  TDetail& detail);

// The mnemonic id of the decoded instruction (its variant by operand or address size).
std::uint16_t MnemonicId(const TDetail& detail);

// Bytes of an operand of this size for this instruction, 0 for none.
int OperandBytes(const TDetail& detail, TOpSize size);

}  // namespace Reporter::Decoder::Internal
