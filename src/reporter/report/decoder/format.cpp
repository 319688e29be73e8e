// Intel syntax for the disassembly listing: lower case, hex numbers, branch targets and
// RIP-relative addresses resolved to absolute addresses.
#include <cstdio>
#include <string>

#include "reporter/report/decoder/decode_detail.h"

namespace Reporter::Decoder {

using namespace Internal;

namespace {

constexpr const char* kGpr8[] = {"al",  "cl",  "dl",   "bl",   "spl",  "bpl",  "sil",  "dil",
                                 "r8b", "r9b", "r10b", "r11b", "r12b", "r13b", "r14b", "r15b"};
constexpr const char* kGpr8Legacy[] = {"al", "cl", "dl", "bl", "ah", "ch", "dh", "bh"};
constexpr const char* kGpr16[] = {"ax",  "cx",  "dx",   "bx",   "sp",   "bp",   "si",   "di",
                                  "r8w", "r9w", "r10w", "r11w", "r12w", "r13w", "r14w", "r15w"};
constexpr const char* kGpr32[] = {"eax", "ecx", "edx",  "ebx",  "esp",  "ebp",  "esi",  "edi",
                                  "r8d", "r9d", "r10d", "r11d", "r12d", "r13d", "r14d", "r15d"};
constexpr const char* kGpr64[] = {"rax", "rcx", "rdx", "rbx", "rsp", "rbp", "rsi", "rdi",
                                  "r8",  "r9",  "r10", "r11", "r12", "r13", "r14", "r15"};
constexpr const char* kSegments[] = {"es", "cs", "ss", "ds", "fs", "gs", "?", "?"};

void AppendHex(std::string& text, std::uint64_t value, int digits = 0) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "0x%0*llx", digits, static_cast<unsigned long long>(value));
  text += buffer;
}

void AppendNumbered(std::string& text, const char* prefix, int number) {
  text += prefix;
  text += std::to_string(number);
}

std::uint64_t Truncate(std::uint64_t value, int bytes) {
  return bytes >= 8 ? value : value & ((std::uint64_t{1} << (8 * bytes)) - 1);
}

class TFormatter {
 public:
  explicit TFormatter(const TDetail& d) : d_(d), e_(*d.Entry) {}

  std::string Text() {
    std::string text;
    if (d_.Lock) text += "lock ";
    if ((e_.Flags & FlagString) && d_.Repeat) {
      const bool compares = MnemonicName(MnemonicId(d_)).substr(0, 3) == "cmp" ||
                            MnemonicName(MnemonicId(d_)).substr(0, 3) == "sca";
      text += d_.Repeat == 0xF2 ? "repne " : compares ? "repe " : "rep ";
    }
    text += MnemonicName(MnemonicId(d_));
    for (int i = 0; i < e_.OperandCount; ++i) {
      text += i == 0 ? " " : ", ";
      Operand(text, e_.Operands[i]);
      if (i == 0 && d_.Encoding == TEncoding::Evex) {
        if (d_.Mask != 0) {
          AppendNumbered(text += "{", "k", d_.Mask);
          text += "}";
        }
        if (d_.Zeroing) text += "{z}";
      }
    }
    if (d_.Encoding == TEncoding::Evex && d_.Broadcast && d_.Mod == 3) {
      static constexpr const char* kRounding[] = {"{rn-sae}", "{rd-sae}", "{ru-sae}", "{rz-sae}"};
      text += ", ";
      text += kRounding[d_.RawLength & 3];
    }
    return text;
  }

 private:
  bool Is64() const { return d_.Mode == TCpuMode::Bits64; }

  void Gpr(std::string& text, int number, int bytes) {
    number &= 15;
    switch (bytes) {
      case 1:
        text +=
            (d_.Rex || d_.Encoding != TEncoding::Legacy) ? kGpr8[number] : kGpr8Legacy[number & 7];
        break;
      case 2:
        text += kGpr16[number];
        break;
      case 8:
        text += kGpr64[number];
        break;
      default:
        text += kGpr32[number];
        break;
    }
  }

  void Vector(std::string& text, int number, int bytes) {
    AppendNumbered(text, bytes >= 64 ? "zmm" : bytes == 32 ? "ymm" : "xmm", number & 31);
  }

  int Vvvv() const { return Is64() ? d_.Vvvv : d_.Vvvv & 7; }

  int RmVector() const {
    return d_.Rm | (d_.B & 8) | (d_.Encoding == TEncoding::Evex && d_.X ? 16 : 0);
  }

  void Operand(std::string& text, const TOperand& operand) {
    const int bytes = OperandBytes(d_, operand.Size);
    switch (operand.Kind) {
      case TOpKind::None:
        break;
      case TOpKind::E:
      case TOpKind::R:
      case TOpKind::Rc:
        if (d_.Mod == 3) {
          Gpr(text, d_.Rm | (d_.B & 8), bytes);
        } else {
          Memory(text, bytes);
        }
        break;
      case TOpKind::G:
        Gpr(text, d_.Reg | (d_.R & 8), bytes);
        break;
      case TOpKind::M:
        Memory(text, bytes);
        break;
      case TOpKind::V:
        Vector(text, d_.Reg | d_.R, bytes);
        break;
      case TOpKind::W:
      case TOpKind::U:
        if (d_.Mod == 3) {
          Vector(text, RmVector(), bytes < 16 ? 16 : bytes);
        } else {
          Memory(text, bytes);
        }
        break;
      case TOpKind::H:
        Vector(text, Vvvv(), bytes < 16 ? 16 : bytes);
        break;
      case TOpKind::B:
        Gpr(text, Vvvv(), bytes);
        break;
      case TOpKind::L:
        Vector(text, static_cast<int>(d_.Imm[d_.ImmCount - 1] >> 4) & (Is64() ? 15 : 7),
               bytes < 16 ? 16 : bytes);
        break;
      case TOpKind::P:
        AppendNumbered(text, "mm", d_.Reg);
        break;
      case TOpKind::Q:
      case TOpKind::N:
        if (d_.Mod == 3) {
          AppendNumbered(text, "mm", d_.Rm);
        } else {
          Memory(text, bytes);
        }
        break;
      case TOpKind::S:
        text += kSegments[d_.Reg];
        break;
      case TOpKind::C:
        AppendNumbered(text, "cr", d_.Reg | (d_.R & 8));
        break;
      case TOpKind::D:
        AppendNumbered(text, "dr", d_.Reg | (d_.R & 8));
        break;
      case TOpKind::K:
        AppendNumbered(text, "k", d_.Reg);
        break;
      case TOpKind::KR:
        AppendNumbered(text, "k", d_.Rm);
        break;
      case TOpKind::KH:
        AppendNumbered(text, "k", d_.Vvvv & 7);
        break;
      case TOpKind::KW:
        if (d_.Mod == 3) {
          AppendNumbered(text, "k", d_.Rm);
        } else {
          Memory(text, bytes);
        }
        break;
      case TOpKind::Bnd:
        AppendNumbered(text, "bnd", d_.Reg);
        break;
      case TOpKind::BndW:
        if (d_.Mod == 3) {
          AppendNumbered(text, "bnd", d_.Rm);
        } else {
          Memory(text, bytes);
        }
        break;
      case TOpKind::Vsib:
        Memory(text, d_.W ? 8 : 4);
        break;
      case TOpKind::Sti:
        AppendNumbered(text, "st", d_.Rm);
        break;
      case TOpKind::St0:
        text += "st0";
        break;
      case TOpKind::I: {
        std::uint64_t value = d_.Imm[ImmediateIndex(operand)];
        if (operand.Size == TOpSize::z && d_.OperandSize == 64) {
          value = static_cast<std::uint64_t>(
              static_cast<std::int64_t>(static_cast<std::int32_t>(value)));
          AppendHex(text, value);
        } else {
          AppendHex(text, Truncate(value, bytes));
        }
        break;
      }
      case TOpKind::Is: {
        const auto value = static_cast<std::uint64_t>(
            static_cast<std::int64_t>(static_cast<std::int8_t>(d_.Imm[ImmediateIndex(operand)])));
        AppendHex(text, Truncate(value, d_.OperandSize / 8));
        break;
      }
      case TOpKind::J: {
        std::uint64_t target =
            d_.Next() + static_cast<std::uint64_t>(SignExtendImmediate(ImmediateIndex(operand)));
        if (!Is64()) target &= d_.OperandSize == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        AppendHex(text, target, Is64() ? 16 : 8);
        break;
      }
      case TOpKind::O: {
        const int size = OperandBytes(d_, operand.Size);
        SizePrefix(text, size);
        SegmentPrefix(text);
        text += "[";
        AppendHex(text, d_.Imm[ImmediateIndex(operand)], Is64() ? 16 : 8);
        text += "]";
        break;
      }
      case TOpKind::A: {
        const std::uint64_t value = d_.Imm[ImmediateIndex(operand)];
        const int offsetBytes = d_.OperandSize == 16 ? 2 : 4;
        AppendHex(text, value >> (8 * offsetBytes), 4);
        text += ":";
        AppendHex(text, Truncate(value, offsetBytes), offsetBytes * 2);
        break;
      }
      case TOpKind::Z:
        Gpr(text, (e_.Opcode & 7) | (d_.B & 8), bytes);
        break;
      case TOpKind::Reg:
        Gpr(text, operand.Fixed, bytes);
        break;
      case TOpKind::Seg:
        text += kSegments[operand.Fixed];
        break;
      case TOpKind::One:
        text += "1";
        break;
      case TOpKind::Xmm0:
        text += "xmm0";
        break;
    }
  }

  // Which of the instruction's immediates belongs to this operand.
  int ImmediateIndex(const TOperand& operand) const {
    int index = 0;
    for (int i = 0; i < e_.OperandCount && &e_.Operands[i] != &operand; ++i) {
      const TOpKind kind = e_.Operands[i].Kind;
      if (kind == TOpKind::I || kind == TOpKind::Is || kind == TOpKind::J || kind == TOpKind::O ||
          kind == TOpKind::A || kind == TOpKind::L) {
        ++index;
      }
    }
    return index < d_.ImmCount ? index : 0;
  }

  std::int64_t SignExtendImmediate(int index) const {
    const int shift = 64 - 8 * d_.ImmSize[index];
    return static_cast<std::int64_t>(d_.Imm[index] << shift) >> shift;
  }

  void SizePrefix(std::string& text, int bytes) {
    const char* name = nullptr;
    switch (bytes) {
      case 1:
        name = "byte";
        break;
      case 2:
        name = "word";
        break;
      case 4:
        name = "dword";
        break;
      case 6:
        name = "fword";
        break;
      case 8:
        name = "qword";
        break;
      case 10:
        name = "tbyte";
        break;
      case 16:
        name = "xmmword";
        break;
      case 32:
        name = "ymmword";
        break;
      case 64:
        name = "zmmword";
        break;
      default:
        return;
    }
    text += name;
    text += " ptr ";
  }

  void SegmentPrefix(std::string& text) {
    switch (d_.Segment) {
      case 0x26:
        text += "es:";
        break;
      case 0x2E:
        text += "cs:";
        break;
      case 0x36:
        text += "ss:";
        break;
      case 0x3E:
        text += "ds:";
        break;
      case 0x64:
        text += "fs:";
        break;
      case 0x65:
        text += "gs:";
        break;
      default:
        break;
    }
  }

  void Memory(std::string& text, int bytes) {
    const bool broadcast = d_.Encoding == TEncoding::Evex && d_.Broadcast;
    const int element = d_.W ? 8 : 4;
    SizePrefix(text, broadcast ? element : bytes);
    SegmentPrefix(text);
    std::int64_t disp = d_.Disp;
    if (d_.Encoding == TEncoding::Evex && d_.DispSize == 1) {
      disp *= broadcast ? element : bytes > 0 ? bytes : 1;  // compressed displacement
    }
    text += "[";
    bool any = false;
    const auto part = [&](const char* name) {
      if (any) text += "+";
      text += name;
      any = true;
    };
    if (d_.AddressSize == 16) {
      static constexpr const char* kBases[] = {"bx+si", "bx+di", "bp+si", "bp+di",
                                               "si",    "di",    "bp",    "bx"};
      if (!(d_.Mod == 0 && d_.Rm == 6)) part(kBases[d_.Rm]);
    } else {
      const char* const* names = d_.AddressSize == 64 ? kGpr64 : kGpr32;
      const bool ripRelative = Is64() && !d_.HasSib && d_.Mod == 0 && d_.Rm == 5;
      if (ripRelative) {
        std::uint64_t target = d_.Next() + static_cast<std::uint64_t>(disp);
        if (d_.AddressSize == 32) target &= 0xFFFFFFFFu;
        AppendHex(text, target, 16);
        text += "]";
        Broadcast(text, broadcast, element);
        return;
      }
      if (d_.HasSib) {
        if (!(d_.Mod == 0 && d_.Base == 5)) part(names[d_.Base | (d_.B & 8)]);
        const bool vsib = e_.OperandCount > 0 && HasVsib();
        const int index = d_.Index | (d_.X & 8);
        if (vsib) {
          if (any) text += "+";
          const int vectorIndex =
              index | (d_.Encoding == TEncoding::Evex && (d_.Vvvv & 16) ? 16 : 0);
          Vector(text, vectorIndex, OperandBytes(d_, TOpSize::x));
          any = true;
        } else if (index != 4) {
          part(names[index]);
        }
        if (any && (vsib || index != 4) && d_.Scale != 0) {
          text += "*";
          text += std::to_string(1 << d_.Scale);
        }
      } else if (!(d_.Mod == 0 && d_.Rm == 5)) {
        part(names[d_.Rm | (d_.B & 8)]);
      }
    }
    if (!any) {
      // A flat address at the mode's width; an offset into the thread block (fs:, gs:) short.
      const bool threadBlock = d_.Segment == 0x64 || d_.Segment == 0x65;
      const int width = threadBlock ? 0 : d_.AddressSize == 16 ? 4 : d_.AddressSize == 32 ? 8 : 16;
      AppendHex(text, Truncate(static_cast<std::uint64_t>(disp), d_.AddressSize / 8), width);
    } else if (disp != 0) {
      text += disp < 0 ? "-" : "+";
      AppendHex(text,
                disp < 0 ? 0 - static_cast<std::uint64_t>(disp) : static_cast<std::uint64_t>(disp));
    }
    text += "]";
    Broadcast(text, broadcast, element);
  }

  void Broadcast(std::string& text, bool broadcast, int element) {
    if (!broadcast) return;
    text += "{1to";
    text += std::to_string(OperandBytes(d_, TOpSize::x) / element);
    text += "}";
  }

  bool HasVsib() const {
    for (int i = 0; i < e_.OperandCount; ++i) {
      if (e_.Operands[i].Kind == TOpKind::Vsib) return true;
    }
    return false;
  }

  const TDetail& d_;
  const TEntry& e_;
};

}  // namespace

std::string FormatInstruction(const TInstruction& instruction) {
  TDetail d;
  if (instruction.IsValid && instruction.Length >= 1 && instruction.Length <= 15 &&
      DecodeDetail({instruction.Bytes, instruction.Length}, instruction.Address, instruction.Mode,
                   d)) {
    return TFormatter(d).Text();
  }
  std::string text = "db ";
  AppendHex(text, instruction.Bytes[0], 2);
  return text;
}

std::string Mnemonic(const TInstruction& instruction) {
  if (!instruction.IsValid) return {};
  return std::string(MnemonicName(instruction.MnemonicId));
}

}  // namespace Reporter::Decoder
