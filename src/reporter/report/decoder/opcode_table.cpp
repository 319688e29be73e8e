// Reads the table text into the fixed arrays of TTables.
//
// A line describes one instruction form:
//   [class] [prefix] [map] opcode [modrm] [conditions...]: mnemonic operands [; flags]
// class    L (legacy, the default), V (VEX), E (EVEX), X8/X9/XA (XOP map), or LV, LVE, VE for a
//          form that exists in several encodings: its legacy form drops the leading "v" of the
//          mnemonic and the operands encoded in vvvv or in an immediate's high bits.
// prefix   NP, 66, F3 or F2: the mandatory prefix.
// map      0F, 0F38, 0F3A or 0F0F (3DNow!); none for the one-byte map.
// opcode   two hex digits; "+r" adds the seven forms with a register in the low bits, "+cc"
//          the sixteen conditions (the mnemonic's "%cc" becomes the condition's name).
// modrm    an exact ModRM byte (11 in the mod bits).
// conditions  /0../7 (reg field), /r (has a ModRM byte), m / r (memory or register form),
//          W0/W1, L0/L1/L2, i64 (not in 64-bit mode), o64 (only in 64-bit mode), nb (no REX.B).
// mnemonic variants separated by "/" are chosen by the operand size 16/32/64 (or by the
//          address size with the flag asz).
// operands comma separated, manual notation: method letters and a size (Eb, Gv, Vx, Wss, Ib).
// Lines starting with "@" expand into families of forms (see ExpandFamily).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "reporter/report/decoder/opcode_table.h"

namespace Reporter::Decoder::Internal {
namespace {

using std::string_view;

constexpr string_view kConditionNames[16] = {"o", "no", "b", "nb", "z", "nz", "be", "nbe",
                                             "s", "ns", "p", "np", "l", "nl", "le", "nle"};

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  return c <= '9' ? c - '0' : c - 'A' + 10;
}

bool IsHexByte(string_view token) {
  return token.size() == 2 && IsHexDigit(token[0]) && IsHexDigit(token[1]);
}

int HexByte(string_view token) {
  return HexValue(token[0]) * 16 + HexValue(token[1]);
}

// Splits off the next token at one of the separators.
string_view NextToken(string_view& text, string_view separators) {
  const auto start = text.find_first_not_of(separators);
  if (start == string_view::npos) {
    text = {};
    return {};
  }
  text.remove_prefix(start);
  const auto end = text.find_first_of(separators);
  const string_view token = text.substr(0, end);
  text.remove_prefix(end == string_view::npos ? text.size() : end);
  return token;
}

string_view Trim(string_view text) {
  const auto start = text.find_first_not_of(" \t");
  if (start == string_view::npos) return {};
  const auto end = text.find_last_not_of(" \t");
  return text.substr(start, end - start + 1);
}

struct TSizeName {
  string_view Name;
  TOpSize Size;
};

constexpr TSizeName kSizes[] = {
    {"", TOpSize::None}, {"b", TOpSize::b},   {"w", TOpSize::w},   {"d", TOpSize::d},
    {"q", TOpSize::q},   {"t", TOpSize::t},   {"dq", TOpSize::dq}, {"qq", TOpSize::qq},
    {"oo", TOpSize::oo}, {"v", TOpSize::v},   {"z", TOpSize::z},   {"y", TOpSize::y},
    {"n", TOpSize::n},   {"p", TOpSize::p},   {"s", TOpSize::s},   {"x", TOpSize::x},
    {"h", TOpSize::h},   {"f4", TOpSize::f4}, {"f8", TOpSize::f8}, {"e", TOpSize::e},
    {"ss", TOpSize::d},  {"sd", TOpSize::q},  {"ps", TOpSize::x},  {"pd", TOpSize::x},
};

struct TKindName {
  string_view Name;
  TOpKind Kind;
};

// Longer names first: the method is the longest name that starts the operand.
constexpr TKindName kKinds[] = {
    {"Vsib", TOpKind::Vsib}, {"BndW", TOpKind::BndW}, {"Bnd", TOpKind::Bnd}, {"KR", TOpKind::KR},
    {"KH", TOpKind::KH},     {"KW", TOpKind::KW},     {"Rc", TOpKind::Rc},   {"Is", TOpKind::Is},
    {"E", TOpKind::E},       {"G", TOpKind::G},       {"M", TOpKind::M},     {"R", TOpKind::R},
    {"V", TOpKind::V},       {"W", TOpKind::W},       {"U", TOpKind::U},     {"H", TOpKind::H},
    {"B", TOpKind::B},       {"L", TOpKind::L},       {"P", TOpKind::P},     {"Q", TOpKind::Q},
    {"N", TOpKind::N},       {"S", TOpKind::S},       {"C", TOpKind::C},     {"D", TOpKind::D},
    {"K", TOpKind::K},       {"I", TOpKind::I},       {"J", TOpKind::J},     {"O", TOpKind::O},
    {"A", TOpKind::A},       {"Z", TOpKind::Z},
};

struct TFixedName {
  string_view Name;
  TOperand Operand;
};

constexpr TFixedName kFixed[] = {
    {"AL", {TOpKind::Reg, TOpSize::b, 0}},     {"CL", {TOpKind::Reg, TOpSize::b, 1}},
    {"AX", {TOpKind::Reg, TOpSize::w, 0}},     {"DX", {TOpKind::Reg, TOpSize::w, 2}},
    {"eAX", {TOpKind::Reg, TOpSize::z, 0}},    {"rAX", {TOpKind::Reg, TOpSize::v, 0}},
    {"ES", {TOpKind::Seg, TOpSize::w, 0}},     {"CS", {TOpKind::Seg, TOpSize::w, 1}},
    {"SS", {TOpKind::Seg, TOpSize::w, 2}},     {"DS", {TOpKind::Seg, TOpSize::w, 3}},
    {"FS", {TOpKind::Seg, TOpSize::w, 4}},     {"GS", {TOpKind::Seg, TOpSize::w, 5}},
    {"1", {TOpKind::One, TOpSize::b, 0}},      {"st0", {TOpKind::St0, TOpSize::None, 0}},
    {"sti", {TOpKind::Sti, TOpSize::None, 0}}, {"XMM0", {TOpKind::Xmm0, TOpSize::dq, 0}},
};

struct TFlagName {
  string_view Name;
  std::uint16_t Flag;
};

constexpr TFlagName kFlags[] = {
    {"lock", FlagLock}, {"d64", FlagDefault64}, {"f64", FlagForce64},  {"asz", FlagAddressSize},
    {"call", FlagCall}, {"jmp", FlagJump},      {"jcc", FlagCondJump}, {"ret", FlagReturn},
    {"stop", FlagStop}, {"str", FlagString},    {"far", FlagFar},      {"norip", FlagNoRipRelative},
};

bool ParseOperand(string_view text, TOperand& operand) {
  for (const auto& fixed : kFixed) {
    if (text == fixed.Name) {
      operand = fixed.Operand;
      return true;
    }
  }
  for (const auto& kind : kKinds) {
    if (text.substr(0, kind.Name.size()) != kind.Name) continue;
    const string_view size = text.substr(kind.Name.size());
    for (const auto& entry : kSizes) {
      if (entry.Name == size) {
        operand = {kind.Kind, entry.Size, 0};
        return true;
      }
    }
    return false;
  }
  return false;
}

bool UsesModRM(TOpKind kind) {
  switch (kind) {
    case TOpKind::E:
    case TOpKind::G:
    case TOpKind::M:
    case TOpKind::R:
    case TOpKind::Rc:
    case TOpKind::V:
    case TOpKind::W:
    case TOpKind::U:
    case TOpKind::P:
    case TOpKind::Q:
    case TOpKind::N:
    case TOpKind::S:
    case TOpKind::C:
    case TOpKind::D:
    case TOpKind::K:
    case TOpKind::KR:
    case TOpKind::KW:
    case TOpKind::Bnd:
    case TOpKind::BndW:
    case TOpKind::Vsib:
    case TOpKind::Sti:
      return true;
    default:
      return false;
  }
}

bool IsVvvvOrImmRegister(TOpKind kind) {
  return kind == TOpKind::H || kind == TOpKind::B || kind == TOpKind::KH || kind == TOpKind::L;
}

class TBuilder {
 public:
  explicit TBuilder(TTables& tables) : t_(tables) {}

  void ReadTable(const char* text) {
    string_view rest(text);
    while (!rest.empty()) {
      const auto end = rest.find('\n');
      const string_view line = rest.substr(0, end);
      rest.remove_prefix(end == string_view::npos ? rest.size() : end + 1);
      ++lineNumber_;
      const string_view trimmed = Trim(line);
      if (trimmed.empty() || trimmed[0] == '#') continue;
      const bool ok = trimmed[0] == '@' ? ExpandFamily(trimmed.substr(1)) : ReadLine(trimmed);
      if (!ok) {
        ++t_.BadLines;
        if (t_.FirstBadLine < 0) t_.FirstBadLine = lineNumber_;
      }
    }
  }

  void Finish() {
    std::sort(t_.Entries, t_.Entries + t_.EntryCount, [](const TEntry& a, const TEntry& b) {
      if (a.Space != b.Space) return a.Space < b.Space;
      if (a.Opcode != b.Opcode) return a.Opcode < b.Opcode;
      if (a.Specificity != b.Specificity) return a.Specificity > b.Specificity;
      return a.Order < b.Order;
    });
    for (int i = 0; i < t_.EntryCount; ++i) {
      TSlot& slot = t_.Slots[t_.Entries[i].Space][t_.Entries[i].Opcode];
      if (slot.Count == 0) slot.First = static_cast<std::uint16_t>(i);
      ++slot.Count;
    }
  }

 private:
  // "@mmx OP name": the MMX form (NP, Pq,Qq) and the SSE and AVX forms (66, Vx,Hx,Wx).
  // "@sse OP name": 66 only, legacy and VEX. "@ssee": legacy, VEX and EVEX.
  // "@fma OP name": VEX and EVEX FMA forms 132/213/231 at OP, OP+0x10, OP+0x20, packed
  // ps (W0) and pd (W1); "@fmas" the scalar ss and sd forms.
  bool ExpandFamily(string_view text) {
    const string_view family = NextToken(text, " ");
    const string_view opcode = NextToken(text, " ");
    const string_view name = NextToken(text, " ");
    if (!IsHexByte(opcode) || name.empty() || !Trim(text).empty()) return false;
    char line[96];
    const auto emit = [&](const char* format, auto... args) {
      std::snprintf(line, sizeof line, format, args...);
      return ReadLine(line);
    };
    const int op = HexByte(opcode);
    const string_view plainName = name.substr(1);  // without the "v"
    const int plainLength = static_cast<int>(plainName.size());
    const char* plain = plainName.data();
    if (family == "mmx") {
      return emit("NP 0F %02X: %.*s Pq,Qq", op, plainLength, plain) &&
             emit("LV 66 0F %02X: %.*s Vx,Hx,Wx", op, int(name.size()), name.data());
    }
    if (family == "mmxe") {
      return emit("NP 0F %02X: %.*s Pq,Qq", op, plainLength, plain) &&
             emit("LVE 66 0F %02X: %.*s Vx,Hx,Wx", op, int(name.size()), name.data());
    }
    if (family == "ssse3") {
      return emit("NP 0F38 %02X: %.*s Pq,Qq", op, plainLength, plain) &&
             emit("LV 66 0F38 %02X: %.*s Vx,Hx,Wx", op, int(name.size()), name.data());
    }
    if (family == "fma" || family == "fmas") {
      const bool scalar = family == "fmas";
      static constexpr const char* kOrders[3] = {"132", "213", "231"};
      for (int i = 0; i < 3; ++i) {
        for (int w = 0; w < 2; ++w) {
          const char* suffix = scalar ? (w ? "sd" : "ss") : (w ? "pd" : "ps");
          const char* operands = scalar ? (w ? "Vdq,Hdq,Wsd" : "Vdq,Hdq,Wss") : "Vx,Hx,Wx";
          if (!emit("VE 66 0F38 %02X W%d: %.*s%s%s %s", op + 0x10 * i, w, int(name.size()),
                    name.data(), kOrders[i], suffix, operands)) {
            return false;
          }
        }
      }
      return true;
    }
    return false;
  }

  bool ReadLine(string_view line) {
    const auto colon = line.find(':');
    if (colon == string_view::npos) return false;
    string_view key = line.substr(0, colon);
    string_view body = line.substr(colon + 1);
    string_view flagsText;
    if (const auto semicolon = body.find(';'); semicolon != string_view::npos) {
      flagsText = body.substr(semicolon + 1);
      body = body.substr(0, semicolon);
    }

    TEntry entry;
    bool legacy = true, vex = false, evex = false;
    int xopMap = -1;
    string_view token = NextToken(key, " ");
    if (token == "V" || token == "E" || token == "LV" || token == "LVE" || token == "VE" ||
        token == "L") {
      legacy = token.find('L') != string_view::npos;
      vex = token.find('V') != string_view::npos;
      evex = token.find('E') != string_view::npos;
      token = NextToken(key, " ");
    } else if (token == "X8" || token == "X9" || token == "XA") {
      legacy = false;
      xopMap = token == "X8" ? 0 : token == "X9" ? 1 : 2;
      token = NextToken(key, " ");
    }
    // A one-byte opcode is never 66, F2 or F3: those are the prefixes.
    if ((token == "NP" || token == "66" || token == "F3" || token == "F2") && !Trim(key).empty()) {
      entry.Prefix = token == "NP"   ? PrefixNone
                     : token == "66" ? Prefix66
                     : token == "F3" ? PrefixF3
                                     : PrefixF2;
      token = NextToken(key, " ");
    }
    int map = 0;  // 0 one-byte, 1 0F, 2 0F38, 3 0F3A, 4 3DNow!
    if (token == "0F") map = 1;
    if (token == "0F38") map = 2;
    if (token == "0F3A") map = 3;
    if (token == "0F0F") map = 4;
    if (map != 0) token = NextToken(key, " ");
    if ((vex || evex) && (map == 0 || map == 4)) return false;

    // The opcode with an optional +r / +cc.
    int repeat = 1;
    bool conditionCodes = false;
    if (token.size() == 4 && token.substr(2) == "+r") {
      repeat = 8;
    } else if (token.size() == 5 && token.substr(2) == "+cc") {
      repeat = 16;
      conditionCodes = true;
    } else if (token.size() != 2) {
      return false;
    }
    if (!IsHexByte(token.substr(0, 2))) return false;
    const int opcode = HexByte(token.substr(0, 2));
    if (opcode + repeat > 256) return false;

    while (!(token = NextToken(key, " ")).empty()) {
      if (IsHexByte(token)) {
        const int modrm = HexByte(token);
        if (modrm < 0xC0) return false;
        entry.Mod = ModRegister;
        entry.Reg = static_cast<std::uint8_t>((modrm >> 3) & 7);
        entry.Rm = static_cast<std::uint8_t>(modrm & 7);
        entry.HasModRM = true;
      } else if (token.size() == 2 && token[0] == '/' && token[1] >= '0' && token[1] <= '7') {
        entry.Reg = static_cast<std::uint8_t>(token[1] - '0');
        entry.HasModRM = true;
      } else if (token == "/r") {
        entry.HasModRM = true;
      } else if (token == "m" || token == "r") {
        entry.Mod = token == "m" ? ModMemory : ModRegister;
        entry.HasModRM = true;
      } else if (token == "W0" || token == "W1") {
        entry.W = static_cast<std::uint8_t>(token[1] - '0');
      } else if (token == "L0" || token == "L1" || token == "L2") {
        entry.Len = static_cast<std::uint8_t>(token[1] - '0');
      } else if (token == "i64") {
        entry.Mode = ModeNot64;
      } else if (token == "o64") {
        entry.Mode = ModeOnly64;
      } else if (token == "nb") {
        entry.RexB = 0;
      } else {
        return false;
      }
    }

    // Mnemonic and operands.
    const string_view names = NextToken(body, " ");
    if (names.empty()) return false;
    const string_view operandsText = Trim(body);
    TOperand operands[MaxOperands];
    int operandCount = 0;
    string_view list = operandsText;
    while (!(token = NextToken(list, ",")).empty()) {
      if (operandCount == MaxOperands || !ParseOperand(Trim(token), operands[operandCount])) {
        return false;
      }
      ++operandCount;
    }

    while (!(token = NextToken(flagsText, " ")).empty()) {
      const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags),
                                     [&](const TFlagName& f) { return f.Name == token; });
      if (flag == std::end(kFlags)) return false;
      entry.Flags |= flag->Flag;
    }

    for (int r = 0; r < repeat; ++r) {
      TEntry form = entry;
      form.Opcode = static_cast<std::uint8_t>(opcode + r);
      const int spaces[3] = {legacy ? (map == 0   ? SpaceOneByte
                                       : map == 1 ? Space0F
                                       : map == 2 ? Space0F38
                                       : map == 3 ? Space0F3A
                                                  : Space3DNow)
                                    : -1,
                             vex           ? SpaceVex1 + map - 1
                             : xopMap >= 0 ? SpaceXop8 + xopMap
                                           : -1,
                             evex ? SpaceEvex1 + map - 1 : -1};
      for (int s = 0; s < 3; ++s) {
        if (spaces[s] < 0) continue;
        const bool legacyForm = s == 0 && (vex || evex);
        if (!AddForm(form, static_cast<std::uint8_t>(spaces[s]), names, legacyForm,
                     conditionCodes ? r : -1, operands, operandCount)) {
          return false;
        }
      }
    }
    return true;
  }

  bool AddForm(TEntry form, std::uint8_t space, string_view names, bool legacyForm, int condition,
               const TOperand* operands, int operandCount) {
    if (t_.EntryCount == TTables::MaxEntries) return false;
    form.Space = space;
    if (space != SpaceOneByte && space != Space0F && space != Space0F38 && space != Space0F3A &&
        space != Space3DNow) {
      form.HasModRM = form.HasModRM || space >= SpaceEvex1;
    } else {
      form.Len = Any;  // the legacy form of a VEX line knows no vector length
    }
    for (int i = 0; i < operandCount; ++i) {
      if (legacyForm && IsVvvvOrImmRegister(operands[i].Kind)) continue;
      const TOpKind kind = operands[i].Kind;
      if (UsesModRM(kind)) form.HasModRM = true;
      if (kind == TOpKind::M || kind == TOpKind::Vsib) form.Mod = ModMemory;
      if (kind == TOpKind::R || kind == TOpKind::U || kind == TOpKind::N || kind == TOpKind::KR ||
          kind == TOpKind::Sti) {
        form.Mod = ModRegister;
      }
      if (kind == TOpKind::H || kind == TOpKind::B || kind == TOpKind::KH) form.UsesVvvv = true;
      form.Operands[form.OperandCount++] = operands[i];
    }
    // The variants of the mnemonic.
    string_view rest = names;
    form.VariantCount = 0;
    string_view variant;
    while (!(variant = NextToken(rest, "/")).empty()) {
      if (form.VariantCount == MaxVariants) return false;
      if (legacyForm) {
        if (variant[0] != 'v') return false;
        variant.remove_prefix(1);
      }
      char name[32];
      if (variant.size() >= sizeof name - 4) return false;
      std::size_t length = 0;
      for (std::size_t i = 0; i < variant.size(); ++i) {
        if (variant[i] == '%' && variant.substr(i, 3) == "%cc" && condition >= 0) {
          const string_view cc = kConditionNames[condition];
          std::memcpy(name + length, cc.data(), cc.size());
          length += cc.size();
          i += 2;
        } else {
          name[length++] = variant[i];
        }
      }
      const int id = AddName(string_view(name, length));
      if (id < 0) return false;
      form.Names[form.VariantCount++] = static_cast<std::uint16_t>(id);
    }
    if (form.VariantCount == 0) return false;
    form.Specificity = static_cast<std::uint8_t>(
        (form.Prefix != Any) + (form.Reg != Any) + (form.Rm != Any) + (form.Mod != Any) +
        (form.W != Any) + (form.Len != Any) + (form.Mode != Any) + (form.RexB != Any));
    form.Order = static_cast<std::uint16_t>(t_.EntryCount);
    t_.Entries[t_.EntryCount++] = form;
    return true;
  }

  int AddName(string_view name) {
    std::uint32_t hash = 2166136261u;
    for (const char c : name) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
    constexpr std::uint32_t mask = TTables::NameHashSize - 1;
    std::uint32_t bucket = hash & mask;
    for (; t_.NameHash[bucket] != 0; bucket = (bucket + 1) & mask) {
      const auto id = static_cast<std::uint16_t>(t_.NameHash[bucket] - 1);
      if (MnemonicName(id) == name) return id;
    }
    if (t_.NameCount == TTables::MaxNames ||
        t_.NamePoolUsed + static_cast<int>(name.size()) + 1 > TTables::NamePoolSize) {
      return -1;
    }
    t_.NameOffsets[t_.NameCount] = static_cast<std::uint16_t>(t_.NamePoolUsed);
    std::memcpy(t_.NamePool + t_.NamePoolUsed, name.data(), name.size());
    t_.NamePool[t_.NamePoolUsed + name.size()] = '\0';
    t_.NamePoolUsed += static_cast<int>(name.size()) + 1;
    t_.NameHash[bucket] = static_cast<std::uint16_t>(t_.NameCount + 1);
    return t_.NameCount++;
  }

  TTables& t_;
  int lineNumber_ = 0;
};

TTables& Storage() {
  static TTables tables;
  return tables;
}

bool BuildTables() {
  TTables& tables = Storage();
  TBuilder builder(tables);
  for (const char* text : {kOneByteTable, kTwoByteTable, kThreeByteTable, kX87Table, kVexTable,
                           kEvexTable, kXopTable}) {
    builder.ReadTable(text);
  }
  builder.Finish();
  return true;
}

}  // namespace

const TTables& Tables() {
  static const bool built = BuildTables();
  (void)built;
  return Storage();
}

std::string_view MnemonicName(std::uint16_t id) {
  const TTables& tables = Storage();
  if (id >= tables.NameCount) return {};
  return tables.NamePool + tables.NameOffsets[id];
}

}  // namespace Reporter::Decoder::Internal
