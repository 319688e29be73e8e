#pragma once

#include <cstdint>
#include <string_view>

// The decoder's opcode tables: every instruction form the decoder knows, with the conditions
// under which an opcode byte means it and the operands the formatter prints. The forms are
// written as text (one line per form, close to the processor manuals' opcode maps) and turned
// into these fixed arrays once, without allocating.
namespace Reporter::Decoder::Internal {

// Which opcode space an instruction lives in: the encoding and its opcode map.
enum TSpace : std::uint8_t {
  SpaceOneByte,
  Space0F,
  Space0F38,
  Space0F3A,
  Space3DNow,  // 0F 0F: the opcode is the byte after the operands
  SpaceVex1,   // VEX 0F, 0F38, 0F3A
  SpaceVex2,
  SpaceVex3,
  SpaceEvex1,  // EVEX 0F, 0F38, 0F3A
  SpaceEvex2,
  SpaceEvex3,
  SpaceXop8,  // XOP maps 8, 9 and A
  SpaceXop9,
  SpaceXopA,
  SpaceCount
};

// How an operand is encoded. The names follow the opcode-map letters of the manuals.
enum class TOpKind : std::uint8_t {
  None,
  E,     // ModRM r/m: general register or memory
  G,     // ModRM reg: general register
  M,     // ModRM r/m: memory only
  R,     // ModRM r/m: general register only
  Rc,    // ModRM r/m: general register whatever the mod bits say (mov to and from cr/dr)
  V,     // ModRM reg: vector register
  W,     // ModRM r/m: vector register or memory
  U,     // ModRM r/m: vector register only
  H,     // VEX/EVEX vvvv: vector register
  B,     // VEX vvvv: general register
  L,     // bits 7..4 of an immediate byte: vector register
  P,     // ModRM reg: MMX register
  Q,     // ModRM r/m: MMX register or memory
  N,     // ModRM r/m: MMX register only
  S,     // ModRM reg: segment register
  C,     // ModRM reg: control register
  D,     // ModRM reg: debug register
  K,     // ModRM reg: mask register
  KR,    // ModRM r/m: mask register only
  KH,    // VEX vvvv: mask register
  KW,    // ModRM r/m: mask register or memory
  Bnd,   // ModRM reg: bound register
  BndW,  // ModRM r/m: bound register or memory
  Vsib,  // memory with a vector index register
  Sti,   // ModRM r/m: x87 stack register
  St0,   // x87 top of stack
  I,     // immediate
  Is,    // byte immediate, sign-extended to the operand size
  J,     // relative branch target
  O,     // memory at an absolute offset (moffs)
  A,     // far pointer immediate
  Z,     // general register in the low three bits of the opcode
  Reg,   // a fixed general register (Fixed holds its number)
  Seg,   // a fixed segment register (Fixed holds its number)
  One,   // the constant 1 of the shifts
  Xmm0,  // the implicit xmm0 of the legacy blend instructions
};

// The operand's size. Sizes that depend on the instruction's prefixes are resolved while
// decoding; the others are byte counts known from the table.
enum class TOpSize : std::uint8_t {
  None,
  b,   // 1 byte
  w,   // 2
  d,   // 4
  q,   // 8
  t,   // 10 (x87 extended, far pointer with a 64-bit offset)
  dq,  // 16 (always an xmm register)
  qq,  // 32 (always a ymm register)
  oo,  // 64 (always a zmm register)
  v,   // operand size: 2, 4 or 8
  z,   // 2 for a 16-bit operand size, else 4
  y,   // 8 with REX.W / VEX.W in 64-bit mode, else 4
  n,   // 8 in 64-bit mode, else 4 (control and debug registers)
  p,   // far pointer: 2 + the operand size (at most 4 bytes of offset outside REX.W)
  s,   // descriptor table register: 6 or 10 bytes
  x,   // the vector length: 16, 32 or 64
  h,   // half the vector length
  f4,  // a quarter of the vector length
  f8,  // an eighth of the vector length
  e,   // x87 environment or state, or another block without a printed size
};

struct TOperand {
  TOpKind Kind = TOpKind::None;
  TOpSize Size = TOpSize::None;
  std::uint8_t Fixed = 0;  // register number of Reg and Seg
};

// Instruction flags.
enum : std::uint16_t {
  FlagLock = 1 << 0,         // LOCK allowed (with a memory operand)
  FlagDefault64 = 1 << 1,    // 64-bit operand size by default in 64-bit mode, 0x66 gives 16
  FlagForce64 = 1 << 2,      // 64-bit operand size in 64-bit mode, 0x66 ignored
  FlagAddressSize = 1 << 3,  // the mnemonic variant follows the address size
  FlagCall = 1 << 4,
  FlagJump = 1 << 5,
  FlagCondJump = 1 << 6,
  FlagReturn = 1 << 7,
  FlagStop = 1 << 8,
  FlagString = 1 << 9,          // string instruction: F2/F3 print as rep prefixes
  FlagFar = 1 << 10,            // far call or jump
  FlagNoRipRelative = 1 << 11,  // no [rip+disp32] memory operand
};

constexpr std::uint8_t Any = 0xFF;

// Prefix condition values.
enum : std::uint8_t { PrefixNone = 0, Prefix66 = 1, PrefixF3 = 2, PrefixF2 = 3 };
// Mode condition values.
enum : std::uint8_t { ModeNot64 = 0, ModeOnly64 = 1 };
// Mod condition values.
enum : std::uint8_t { ModMemory = 0, ModRegister = 1 };

constexpr int MaxOperands = 5;
constexpr int MaxVariants = 3;

struct TEntry {
  // Conditions; Any when the form does not care.
  std::uint8_t Prefix = Any;  // mandatory prefix
  std::uint8_t Reg = Any;     // ModRM reg field
  std::uint8_t Rm = Any;      // ModRM r/m field (with mod 11)
  std::uint8_t Mod = Any;
  std::uint8_t W = Any;    // REX.W, VEX.W or EVEX.W
  std::uint8_t Len = Any;  // VEX.L or EVEX.L'L
  std::uint8_t Mode = Any;
  std::uint8_t RexB = Any;  // REX.B (only 90 needs it: nop or xchg r8)
  std::uint8_t Specificity = 0;

  std::uint8_t Space = 0;
  std::uint8_t Opcode = 0;
  std::uint16_t Order = 0;  // position in the table text: equally specific forms keep it
  bool HasModRM = false;
  bool UsesVvvv = false;  // otherwise VEX/EVEX vvvv must be 1111
  std::uint8_t OperandCount = 0;
  std::uint8_t VariantCount = 1;
  std::uint16_t Flags = 0;
  std::uint16_t Names[MaxVariants] = {};  // mnemonic ids: by operand size 16/32/64
  TOperand Operands[MaxOperands];
};

struct TSlot {
  std::uint16_t First = 0;
  std::uint16_t Count = 0;
};

// The built tables; entries of one slot are sorted from the most to the least specific form.
struct TTables {
  static constexpr int MaxEntries = 4096;
  static constexpr int MaxNames = 2048;
  static constexpr int NamePoolSize = 24 * 1024;

  TSlot Slots[SpaceCount][256];
  TEntry Entries[MaxEntries];
  int EntryCount = 0;
  std::uint16_t NameOffsets[MaxNames];
  int NameCount = 0;
  char NamePool[NamePoolSize];
  int NamePoolUsed = 0;
  static constexpr int NameHashSize = 4096;
  std::uint16_t NameHash[NameHashSize] = {};  // name id + 1, 0 for a free bucket
  // Table lines that could not be read (a fault in the tables themselves); the line number
  // counts through all table texts in their order.
  int BadLines = 0;
  int FirstBadLine = -1;
};

// The tables, built on first use (thread-safe, without allocating).
const TTables& Tables();

std::string_view MnemonicName(std::uint16_t id);

// The text of the tables, one part per opcode space family.
extern const char* const kOneByteTable;
extern const char* const kTwoByteTable;
extern const char* const kThreeByteTable;
extern const char* const kX87Table;
extern const char* const kVexTable;
extern const char* const kEvexTable;
extern const char* const kXopTable;

}  // namespace Reporter::Decoder::Internal
