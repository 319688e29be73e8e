// Decoding: prefixes, the opcode and its form from the tables, ModRM/SIB/displacement and the
// immediates; then what the stack tracer needs to follow control flow.
#include <algorithm>
#include <cstring>

#include "reporter/report/decoder/decode_detail.h"

namespace Reporter::Decoder::Internal {
namespace {

constexpr std::size_t MaxLength = 15;

class TReader {
 public:
  explicit TReader(std::span<const std::uint8_t> bytes)
      : bytes_(bytes.data()), limit_(std::min(bytes.size(), MaxLength)) {}

  bool Has(std::size_t count) const { return pos_ + count <= limit_; }
  std::uint8_t Peek() const { return bytes_[pos_]; }
  std::uint8_t Byte() { return bytes_[pos_++]; }
  std::size_t Position() const { return pos_; }

  // Little-endian value of count bytes; the caller checked Has(count).
  std::uint64_t Value(int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value |= std::uint64_t{bytes_[pos_ + i]} << (8 * i);
    pos_ += count;
    return value;
  }

 private:
  const std::uint8_t* bytes_;
  std::size_t limit_;
  std::size_t pos_ = 0;
};

std::int64_t SignExtend(std::uint64_t value, int bytes) {
  const int shift = 64 - 8 * bytes;
  return static_cast<std::int64_t>(value << shift) >> shift;
}

bool FindForm(const TTables& tables, TSpace space, std::uint8_t opcode, TReader& reader, TDetail& d,
              std::uint8_t prefix, std::uint8_t length) {
  const TSlot slot = tables.Slots[space][opcode];
  const bool is64 = d.Mode == TCpuMode::Bits64;
  bool haveModRM = d.HasModRM;
  std::uint8_t modrm = 0;
  if (haveModRM) modrm = static_cast<std::uint8_t>((d.Mod << 6) | (d.Reg << 3) | d.Rm);
  for (int i = slot.First; i < slot.First + slot.Count; ++i) {
    const TEntry& e = tables.Entries[i];
    if (e.Prefix != Any && e.Prefix != prefix) continue;
    if (e.W != Any && e.W != d.W) continue;
    if (e.Len != Any && e.Len != length) continue;
    if (e.Mode != Any && e.Mode != (is64 ? ModeOnly64 : ModeNot64)) continue;
    if (e.RexB != Any && e.RexB != (d.Rex & 1)) continue;
    if (e.HasModRM) {
      if (!haveModRM) {
        if (!reader.Has(1)) return false;
        modrm = reader.Peek();
        haveModRM = true;
      }
      const std::uint8_t mod = modrm >> 6;
      if (e.Mod != Any && e.Mod != (mod == 3 ? ModRegister : ModMemory)) continue;
      if (e.Reg != Any && e.Reg != ((modrm >> 3) & 7)) continue;
      if (e.Rm != Any && e.Rm != (modrm & 7)) continue;
    }
    d.Entry = &e;
    return true;
  }
  return false;
}

// ModRM, SIB and displacement; the ModRM byte is at the reader's position.
bool ReadAddressing(TReader& reader, TDetail& d, bool forceRegister) {
  if (!reader.Has(1)) return false;
  const std::uint8_t modrm = reader.Byte();
  d.HasModRM = true;
  d.Mod = modrm >> 6;
  d.Reg = (modrm >> 3) & 7;
  d.Rm = modrm & 7;
  if (forceRegister) d.Mod = 3;
  if (d.Mod == 3) return true;
  if (d.AddressSize == 16) {
    d.DispSize = d.Mod == 1 ? 1 : (d.Mod == 2 || (d.Mod == 0 && d.Rm == 6)) ? 2 : 0;
  } else {
    if (d.Rm == 4) {
      if (!reader.Has(1)) return false;
      const std::uint8_t sib = reader.Byte();
      d.HasSib = true;
      d.Scale = sib >> 6;
      d.Index = (sib >> 3) & 7;
      d.Base = sib & 7;
    }
    const bool noBase = d.Mod == 0 && ((d.HasSib && d.Base == 5) || (!d.HasSib && d.Rm == 5));
    d.DispSize = d.Mod == 1 ? 1 : (d.Mod == 2 || noBase) ? 4 : 0;
  }
  if (d.DispSize != 0) {
    if (!reader.Has(d.DispSize)) return false;
    d.Disp = SignExtend(reader.Value(d.DispSize), d.DispSize);
  }
  return true;
}

int ImmediateBytes(const TDetail& d, const TOperand& operand) {
  switch (operand.Kind) {
    case TOpKind::I:
      return OperandBytes(d, operand.Size);
    case TOpKind::Is:
    case TOpKind::L:
      return 1;
    case TOpKind::J:
      return operand.Size == TOpSize::b ? 1 : d.OperandSize == 16 ? 2 : 4;
    case TOpKind::O:
      return d.AddressSize / 8;
    case TOpKind::A:
      return d.OperandSize == 16 ? 4 : 6;
    default:
      return 0;
  }
}

void ResolveSizes(TDetail& d) {
  const TEntry& e = *d.Entry;
  const bool is64 = d.Mode == TCpuMode::Bits64;
  const bool sizePrefix =
      d.OperandSizePrefix && !(d.Encoding == TEncoding::Legacy && e.Prefix == Prefix66);
  if (d.Encoding != TEncoding::Legacy) {
    d.OperandSize = is64 && d.W ? 64 : 32;
  } else if (is64) {
    if (d.W || (e.Flags & FlagForce64)) {
      d.OperandSize = 64;
    } else if (sizePrefix) {
      d.OperandSize = 16;
    } else {
      d.OperandSize = (e.Flags & FlagDefault64) ? 64 : 32;
    }
  } else {
    d.OperandSize = sizePrefix ? 16 : 32;
  }
}

bool HasOperand(const TEntry& e, TOpKind kind) {
  for (int i = 0; i < e.OperandCount; ++i) {
    if (e.Operands[i].Kind == kind) return true;
  }
  return false;
}

// Register fields that name no register: segment registers 6 and 7 (and cs as a destination),
// control registers other than cr0, cr2-cr4 and cr8, debug registers above dr7, bound
// registers above bnd3.
bool RegistersExist(const TDetail& d) {
  const TEntry& e = *d.Entry;
  for (int i = 0; i < e.OperandCount; ++i) {
    switch (e.Operands[i].Kind) {
      case TOpKind::S:
        if (d.Reg > 5 || (i == 0 && d.Reg == 1)) return false;
        break;
      case TOpKind::C: {
        const int number = d.Reg | (d.R & 8);
        if (number == 1 || (number > 4 && number != 8)) return false;
        break;
      }
      case TOpKind::D:
        if (d.R & 8) return false;
        break;
      case TOpKind::K:
        if (d.R != 0) return false;
        break;
      case TOpKind::KH:
        if (d.Vvvv > 7) return false;
        break;
      case TOpKind::Bnd:
        if (d.Reg > 3 || (d.R & 8)) return false;
        break;
      case TOpKind::BndW:
        if (d.Mod == 3 && (d.Rm > 3 || (d.B & 8))) return false;
        break;
      default:
        break;
    }
  }
  return true;
}

}  // namespace

int OperandBytes(const TDetail& d, TOpSize size) {
  const bool is64 = d.Mode == TCpuMode::Bits64;
  const int vector = 16 << std::min<int>(d.VectorLength, 2);
  switch (size) {
    case TOpSize::None:
      return 0;
    case TOpSize::b:
      return 1;
    case TOpSize::w:
      return 2;
    case TOpSize::d:
      return 4;
    case TOpSize::q:
      return 8;
    case TOpSize::t:
      return 10;
    case TOpSize::dq:
      return 16;
    case TOpSize::qq:
      return 32;
    case TOpSize::oo:
      return 64;
    case TOpSize::v:
      return d.OperandSize / 8;
    case TOpSize::z:
      return d.OperandSize == 16 ? 2 : 4;
    case TOpSize::y:
      return is64 && d.W ? 8 : 4;
    case TOpSize::n:
      return is64 ? 8 : 4;
    case TOpSize::p:
      return d.OperandSize == 16 ? 4 : d.OperandSize == 64 ? 10 : 6;
    case TOpSize::s:
      return is64 ? 10 : 6;
    case TOpSize::x:
      return vector;
    case TOpSize::h:
      return vector / 2;
    case TOpSize::f4:
      return vector / 4;
    case TOpSize::f8:
      return vector / 8;
    case TOpSize::e:
      return 0;
  }
  return 0;
}

std::uint16_t MnemonicId(const TDetail& d) {
  const TEntry& e = *d.Entry;
  const int size = (e.Flags & FlagAddressSize) ? d.AddressSize : d.OperandSize;
  const int variant = std::min<int>(size == 16 ? 0 : size == 32 ? 1 : 2, e.VariantCount - 1);
  return e.Names[variant];
}

bool DecodeDetail(std::span<const std::uint8_t> bytes, std::uint64_t address, TCpuMode mode,
                  TDetail& d) {
  d = TDetail{};
  d.Mode = mode;
  d.Address = address;
  const bool is64 = mode == TCpuMode::Bits64;
  TReader reader(bytes);

  // Legacy prefixes and REX; a REX byte counts only right in front of the opcode.
  for (;;) {
    if (!reader.Has(1)) return false;
    const std::uint8_t b = reader.Peek();
    if (b == 0xF0) {
      d.Lock = true;
    } else if (b == 0xF2 || b == 0xF3) {
      d.Repeat = b;
    } else if (b == 0x66) {
      d.OperandSizePrefix = true;
    } else if (b == 0x67) {
      d.AddressSizePrefix = true;
    } else if (b == 0x26 || b == 0x2E || b == 0x36 || b == 0x3E || b == 0x64 || b == 0x65) {
      d.Segment = b;
    } else if (is64 && (b & 0xF0) == 0x40) {
      d.Rex = b;
      reader.Byte();
      continue;
    } else {
      break;
    }
    d.Rex = 0;
    reader.Byte();
  }
  d.AddressSize = is64 ? (d.AddressSizePrefix ? 32 : 64) : (d.AddressSizePrefix ? 16 : 32);
  d.W = (d.Rex & 8) != 0;
  d.R = (d.Rex & 4) ? 8 : 0;
  d.X = (d.Rex & 2) ? 8 : 0;
  d.B = (d.Rex & 1) ? 8 : 0;

  std::uint8_t prefix = d.Repeat == 0xF3      ? PrefixF3
                        : d.Repeat == 0xF2    ? PrefixF2
                        : d.OperandSizePrefix ? Prefix66
                                              : PrefixNone;
  std::uint8_t length = 0;
  TSpace space = SpaceOneByte;
  std::uint8_t opcode = reader.Byte();
  const bool vexLike = opcode == 0xC4 || opcode == 0xC5 || opcode == 0x62 || opcode == 0x8F;
  const bool nextIsRegisterForm = reader.Has(1) && (reader.Peek() & 0xC0) == 0xC0;
  if (opcode == 0x0F) {
    if (!reader.Has(1)) return false;
    opcode = reader.Byte();
    if (opcode == 0x38 || opcode == 0x3A) {
      space = opcode == 0x38 ? Space0F38 : Space0F3A;
      if (!reader.Has(1)) return false;
      opcode = reader.Byte();
    } else {
      space = opcode == 0x0F ? Space3DNow : Space0F;
    }
  } else if (vexLike && reader.Has(1) &&
             (opcode == 0x8F ? (reader.Peek() & 0x1F) >= 8 : is64 || nextIsRegisterForm)) {
    // Outside 64-bit mode C4, C5 and 62 are LES, LDS and BOUND unless the next byte has the
    // mod bits 11 (which those never have); 8F is POP unless the map field is 8 or more.
    // VEX, EVEX or XOP: no legacy size, repeat or lock prefix and no REX in front.
    if (d.OperandSizePrefix || d.Repeat || d.Lock || d.Rex) return false;
    const std::uint8_t p0 = reader.Byte();
    std::uint8_t map = 1;
    std::uint8_t p1 = p0;
    if (opcode == 0xC5) {
      d.Encoding = TEncoding::Vex;
      d.R = (p0 & 0x80) ? 0 : 8;
    } else {
      d.Encoding = opcode == 0xC4   ? TEncoding::Vex
                   : opcode == 0x62 ? TEncoding::Evex
                                    : TEncoding::Xop;
      if (!reader.Has(1)) return false;
      p1 = reader.Byte();
      d.R = (p0 & 0x80) ? 0 : 8;
      d.X = (p0 & 0x40) ? 0 : 8;
      d.B = (p0 & 0x20) ? 0 : 8;
      d.W = (p1 & 0x80) != 0;
      map = d.Encoding == TEncoding::Evex ? (p0 & 0x07) : (p0 & 0x1F);
      if (d.Encoding == TEncoding::Evex && (p0 & 0x08)) return false;
    }
    d.Vvvv = static_cast<std::uint8_t>((~p1 >> 3) & 0x0F);
    prefix = p1 & 3;  // none, 66, F3, F2: the same order as the condition values
    if (d.Encoding == TEncoding::Evex) {
      if (!(p1 & 0x04) || !reader.Has(1)) return false;
      const std::uint8_t p2 = reader.Byte();
      if (!(p0 & 0x10)) d.R |= 16;
      if (!(p2 & 0x08)) d.Vvvv |= 16;
      d.Mask = p2 & 7;
      d.Zeroing = (p2 & 0x80) != 0;
      d.Broadcast = (p2 & 0x10) != 0;
      length = (p2 >> 5) & 3;
      d.RawLength = length;
      if (map < 1 || map > 3) return false;
      space = static_cast<TSpace>(SpaceEvex1 + map - 1);
    } else {
      length = (p1 >> 2) & 1;
      if (d.Encoding == TEncoding::Vex) {
        if (map < 1 || map > 3) return false;
        space = static_cast<TSpace>(SpaceVex1 + map - 1);
      } else {
        if (map < 8 || map > 10) return false;
        space = static_cast<TSpace>(SpaceXop8 + map - 8);
      }
    }
    if (!is64) {
      // Outside 64-bit mode only eight registers can be named; vvvv keeps its fourth bit,
      // which must still be 1 (inverted) where vvvv names no register.
      if (d.Encoding == TEncoding::Evex && (d.Vvvv & 16)) return false;
      d.R = d.X = d.B = 0;
    }
    if (!reader.Has(1)) return false;
    opcode = reader.Byte();
  }

  const TTables& tables = Tables();
  if (space == Space3DNow) {
    // 0F 0F: ModRM and displacement first, the opcode byte last.
    if (!ReadAddressing(reader, d, false) || !reader.Has(1)) return false;
    opcode = reader.Byte();
    if (!FindForm(tables, space, opcode, reader, d, prefix, length)) return false;
    ResolveSizes(d);
    d.Length = static_cast<std::uint8_t>(reader.Position());
    return !d.Lock;
  }

  d.VectorLength = length;
  if (!FindForm(tables, space, opcode, reader, d, prefix, length)) return false;
  const TEntry& e = *d.Entry;
  ResolveSizes(d);

  if (e.HasModRM && !ReadAddressing(reader, d, HasOperand(e, TOpKind::Rc))) return false;
  if (d.Lock && !((e.Flags & FlagLock) && d.IsMemory())) return false;
  if (!RegistersExist(d)) return false;
  if ((e.Flags & FlagNoRipRelative) && is64 && d.Mod == 0 && !d.HasSib && d.Rm == 5) {
    return false;
  }

  if (d.Encoding != TEncoding::Legacy) {
    const bool vsib = HasOperand(e, TOpKind::Vsib);
    if (vsib && !(d.HasSib)) return false;
    // An unused vvvv must be 1111 (the EVEX V' bit extends a vector index instead).
    const std::uint8_t unused = vsib ? (d.Vvvv & 15) : d.Vvvv;
    if (!e.UsesVvvv && unused != 0) return false;
    if (d.Encoding == TEncoding::Evex) {
      if (d.Zeroing && d.Mask == 0) return false;
      if (d.Broadcast && d.Mod == 3) {
        d.VectorLength = 2;  // L'L holds the rounding mode: register forms are 512 bits
      } else if (length == 3) {
        return false;
      }
    }
  }

  for (int i = 0; i < e.OperandCount; ++i) {
    const int size = ImmediateBytes(d, e.Operands[i]);
    if (size == 0) continue;
    if (d.ImmCount == 2 || !reader.Has(size)) return false;
    d.ImmSize[d.ImmCount] = static_cast<std::uint8_t>(size);
    d.Imm[d.ImmCount] = reader.Value(size);
    ++d.ImmCount;
  }
  d.Length = static_cast<std::uint8_t>(reader.Position());
  return true;
}

}  // namespace Reporter::Decoder::Internal

namespace Reporter::Decoder {

using namespace Internal;

namespace {

// The address of the pointer for a memory operand with a fixed address, if it has one.
bool FixedPointer(const TDetail& d, std::uint64_t& address) {
  if (!d.IsMemory() || d.Segment == 0x64 || d.Segment == 0x65) return false;
  const bool is64 = d.Mode == TCpuMode::Bits64;
  if (d.AddressSize == 16) {
    if (d.Mod != 0 || d.Rm != 6) return false;
    address = static_cast<std::uint16_t>(d.Disp);
    return true;
  }
  if (d.Mod != 0) return false;
  if (!d.HasSib && d.Rm == 5) {
    if (!is64) {
      address = static_cast<std::uint32_t>(d.Disp);
    } else {
      address = d.Next() + static_cast<std::uint64_t>(d.Disp);
      if (d.AddressSize == 32) address &= 0xFFFFFFFFu;
    }
    return true;
  }
  if (d.HasSib && d.Base == 5 && d.Index == 4 && d.X == 0) {
    address = d.AddressSize == 64 ? static_cast<std::uint64_t>(d.Disp)
                                  : static_cast<std::uint32_t>(d.Disp);
    return true;
  }
  return false;
}

TFlow FlowOf(std::uint16_t flags) {
  if (flags & FlagCall) return TFlow::Call;
  if (flags & FlagJump) return TFlow::Jump;
  if (flags & FlagCondJump) return TFlow::ConditionalJump;
  if (flags & FlagReturn) return TFlow::Return;
  if (flags & FlagStop) return TFlow::Stop;
  return TFlow::Other;
}

}  // namespace

TInstruction DecodeInstruction(std::span<const std::uint8_t> bytes, std::uint64_t address,
                               TCpuMode mode) {
  TInstruction instruction;
  instruction.Address = address;
  instruction.Mode = mode;
  const std::size_t kept = std::min(bytes.size(), sizeof instruction.Bytes);
  if (kept != 0) std::memcpy(instruction.Bytes, bytes.data(), kept);

  TDetail d;
  if (!DecodeDetail(bytes, address, mode, d)) {
    instruction.Length = bytes.empty() ? 0 : 1;
    return instruction;
  }
  const TEntry& e = *d.Entry;
  instruction.IsValid = true;
  instruction.Length = d.Length;
  instruction.MnemonicId = MnemonicId(d);

  instruction.Flow = FlowOf(e.Flags);

  if (instruction.Flow == TFlow::Call || instruction.Flow == TFlow::Jump ||
      instruction.Flow == TFlow::ConditionalJump) {
    const TOperand& target = e.Operands[0];
    if (target.Kind == TOpKind::J) {
      std::uint64_t value =
          d.Next() + static_cast<std::uint64_t>(SignExtend(d.Imm[0], d.ImmSize[0]));
      if (mode == TCpuMode::Bits32) value &= d.OperandSize == 16 ? 0xFFFFu : 0xFFFFFFFFu;
      instruction.HasTarget = true;
      instruction.Target = value;
    } else if (target.Kind == TOpKind::E || target.Kind == TOpKind::M) {
      std::uint64_t pointer = 0;
      if (!(e.Flags & FlagFar) && FixedPointer(d, pointer)) {
        instruction.HasPointer = true;
        instruction.PointerAddress = pointer;
      } else {
        instruction.IsIndirect = true;
      }
    }
  }
  return instruction;
}

}  // namespace Reporter::Decoder
