#pragma once

#include <cstdint>
#include <span>
#include <string>

// Decodes one x86 instruction in 32- or 64-bit mode: enough for the stack tracer to follow
// control flow and for the disassembly listing to print it.
namespace Reporter::Decoder {

enum class TCpuMode { Bits32, Bits64 };

// The mode of the code this program runs.
constexpr TCpuMode NativeMode() {
  return sizeof(void*) == 8 ? TCpuMode::Bits64 : TCpuMode::Bits32;
}

enum class TFlow {
  Other,            // execution continues with the next instruction
  Call,             // call: continues with the next instruction after the callee returns
  Jump,             // unconditional jump: never continues with the next instruction
  ConditionalJump,  // jcc, jcxz, loop*: either the target or the next instruction
  Return,           // ret, retf, iret: leaves the function
  Stop,             // hlt, ud2, int3 and the like: execution does not go on here
};

struct TInstruction {
  bool IsValid = false;       // false: the bytes form no instruction, or too few were given
  std::uint64_t Address = 0;  // where the instruction starts
  std::uint8_t Length = 0;    // 1..15 when valid; 1 for an invalid one (its first byte)
  TFlow Flow = TFlow::Other;

  // A direct (relative or absolute immediate) branch target of a call or jump.
  bool HasTarget = false;
  std::uint64_t Target = 0;

  // A call or jump through a pointer at a fixed address: [disp32] without base and index, or
  // [rip+disp32] in 64-bit mode. PointerAddress is the address of the pointer, not the target.
  bool HasPointer = false;
  std::uint64_t PointerAddress = 0;

  // A call or jump whose target is computed at run time (register or memory operand that is
  // not a fixed pointer), for example a jump through a switch table.
  bool IsIndirect = false;

  std::uint64_t NextAddress() const { return Address + Length; }

  // Private to the decoder: what the formatter needs to print the instruction (its layout may
  // change with the decoder). The formatter decodes Bytes again for the operands.
  std::uint16_t MnemonicId = 0;
  std::uint8_t Bytes[15] = {};
  TCpuMode Mode = TCpuMode::Bits32;
};

// Decodes the instruction at the start of bytes, which hold the memory at address. Never
// reads past the end of bytes: an instruction that does not fit is not valid.
TInstruction DecodeInstruction(std::span<const std::uint8_t> bytes, std::uint64_t address,
                               TCpuMode mode);

// The instruction in Intel syntax, lower case, for example "mov eax, dword ptr [ebp-0x8]" or
// "call 0x00401a2c"; "db 0xXX" for an invalid one.
std::string FormatInstruction(const TInstruction& instruction);

// The lower-case mnemonic alone ("mov", "call", "vpaddd"); empty for an invalid instruction.
std::string Mnemonic(const TInstruction& instruction);

}  // namespace Reporter::Decoder
