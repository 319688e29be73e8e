// Lengths and mnemonics of representative encodings in both modes, and what makes bytes no
// instruction at all.
#include <gtest/gtest.h>

#include "decoder_test_support.h"
#include "reporter/report/decoder/opcode_table.h"

namespace {

using namespace Reporter::Decoder;
using DecoderTest::Decode;
using DecoderTest::Hex;

using DecoderTest::k32;
using DecoderTest::k64;

struct TCase {
  TCpuMode Mode;
  const char* Bytes;
  int Length;
  const char* Mnemonic;
};

// Each case decodes whole, and every shortened copy of it is no instruction.
void ExpectCases(std::initializer_list<TCase> cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Mode == k64 ? "64-bit " : "32-bit ") + c.Bytes);
    const auto bytes = Hex(c.Bytes);
    const auto instruction = DecodeInstruction(bytes, 0x1000, c.Mode);
    EXPECT_TRUE(instruction.IsValid);
    EXPECT_EQ(instruction.Length, c.Length);
    EXPECT_EQ(Mnemonic(instruction), c.Mnemonic);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
      const auto cut = DecodeInstruction(std::span(bytes).first(size), 0, c.Mode);
      EXPECT_FALSE(cut.IsValid) << "cut to " << size;
      EXPECT_EQ(cut.Length, size == 0 ? 0 : 1) << "cut to " << size;
    }
  }
}

TEST(DecoderLength, PrefixesChangeOperandAndImmediateSizes) {
  ExpectCases({
      {k32, "66 b8 34 12", 4, "mov"},                        // 66: imm16
      {k64, "66 48 b8 00 00 00 00 00 00 00 80", 11, "mov"},  // REX.W beats 66: imm64
      {k64, "48 c7 c0 ff ff ff ff", 7, "mov"},               // REX.W: still imm32
      {k64, "48 66 b8 34 12", 5, "mov"},                     // REX before 66 is void: imm16
      {k32, "66 81 c1 34 12", 5, "add"},
      {k32, "81 c1 78 56 34 12", 6, "add"},
      {k32, "83 c1 f8", 3, "add"},
      {k64, "f0 48 0f b1 0a", 5, "cmpxchg"},
      {k32, "f3 a5", 2, "movsd"},
      {k64, "f3 48 a5", 3, "movsq"},
      {k32, "66 a5", 2, "movsw"},
      {k64, "f3 90", 2, "pause"},
      {k64, "41 90", 2, "xchg"},  // 90 with REX.B is no nop
      {k64, "66 2e 0f 1f 84 00 00 00 00 00", 10, "nop"},
      {k64, "f3 0f 1e fa", 4, "endbr64"},
      {k32, "66 f3 0f b8 c0", 5, "popcnt"},
      {k32, "f2 f3 0f 10 c1", 5, "movss"},  // the last of F2/F3 counts
      {k32, "66 98", 2, "cbw"},
      {k32, "98", 1, "cwde"},
      {k64, "48 98", 2, "cdqe"},
      {k64, "9c", 1, "pushfq"},
      {k32, "66 60", 2, "pusha"},
      {k64, "66 e8 00 00 00 00", 6, "call"},  // 66 ignored by 64-bit branches
      {k32, "66 e8 00 10", 4, "call"},        // rel16
      {k32, "c8 10 00 01", 4, "enter"},
      {k32, "c2 08 00", 3, "ret"},
  });
}

TEST(DecoderLength, ModRMSibAndDisplacementForms) {
  ExpectCases({
      {k32, "8b 00", 2, "mov"},     // [eax]
      {k32, "8b 45 f8", 3, "mov"},  // [ebp-8]
      {k32, "8b 04 24", 3, "mov"},  // [esp] needs a SIB byte
      {k32, "8b 44 24 08", 4, "mov"},
      {k32, "8b 05 00 10 40 00", 6, "mov"},     // [disp32]
      {k32, "8b 04 25 00 10 40 00", 7, "mov"},  // SIB without base: disp32
      {k32, "8b 04 8d 00 10 40 00", 7, "mov"},  // [ecx*4+disp32]
      {k32, "8b 84 24 00 01 00 00", 7, "mov"},
      {k32, "8b 45 00", 3, "mov"},              // [ebp+0] needs a disp8
      {k64, "48 8b 05 00 00 00 00", 7, "mov"},  // [rip+disp32]
      {k64, "4c 8b 64 24 08", 5, "mov"},
      {k64, "42 8b 04 a5 00 00 00 00", 8, "mov"},
      {k32, "67 8b 46 08", 4, "mov"},     // 16-bit addressing: [bp+8]
      {k32, "67 8b 06 34 12", 5, "mov"},  // [disp16]
      {k32, "67 8b 00", 3, "mov"},        // [bx+si]: no SIB in 16-bit addressing
      {k32, "67 8b 84 34 12", 5, "mov"},  // [si+disp16]
      {k64, "67 8b 04 24", 4, "mov"},     // 32-bit addressing keeps the SIB
  });
}

TEST(DecoderLength, OffsetsAndFarPointersFollowTheirSizes) {
  ExpectCases({
      {k32, "a1 00 10 40 00", 5, "mov"},
      {k32, "67 a1 00 10", 4, "mov"},
      {k64, "48 a1 00 00 00 00 00 00 00 00", 10, "mov"},
      {k64, "67 a1 00 00 00 00", 6, "mov"},
      {k32, "a2 00 10 40 00", 5, "mov"},
      {k32, "9a 00 10 40 00 08 00", 7, "call"},
      {k32, "66 ea 00 10 08 00", 6, "jmp"},
  });
}

TEST(DecoderLength, VectorAndEscapeMaps) {
  ExpectCases({
      {k64, "c5 f8 77", 3, "vzeroupper"},
      {k64, "c5 fc 77", 3, "vzeroall"},
      {k64, "c5 fd fe 00", 4, "vpaddd"},
      {k64, "c4 e2 7d 18 44 24 08", 7, "vbroadcastss"},
      {k64, "c4 e3 71 4a c2 30", 6, "vblendvps"},  // register in the immediate
      {k64, "c4 e2 f9 f7 c0", 5, "shlx"},
      {k64, "c4 e2 69 98 04 24", 6, "vfmadd132ps"},
      {k64, "c5 fb 92 c8", 4, "kmovd"},
      {k32, "c5 fd 6f c1", 4, "vmovdqa"},
      {k32, "c4 e3 69 4c c1 30", 6, "vpblendvb"},
      {k64, "62 f1 7c 48 10 04 24", 7, "vmovups"},
      {k64, "62 f1 7c 48 10 4c 24 01", 8, "vmovups"},  // disp8 (scaled by 64)
      {k64, "62 f1 fd 48 6f 00", 6, "vmovdqa64"},
      {k64, "62 f3 7d 48 3f c2 00", 7, "vpcmpb"},
      {k64, "62 b2 76 49 26 e1", 6, "vptestnmb"},
      {k64, "62 f1 7c 58 58 00", 6, "vaddps"},  // broadcast
      {k32, "62 f1 7c 48 58 c1", 6, "vaddps"},
      {k64, "66 0f 38 00 c1", 5, "pshufb"},
      {k64, "0f 38 00 c1", 4, "pshufb"},
      {k64, "66 0f 3a 0f c1 08", 6, "palignr"},
      {k64, "66 0f 3a 63 04 24 0c", 7, "pcmpistri"},
      {k64, "f2 0f 38 f1 c1", 5, "crc32"},
      {k32, "0f 0f c1 b4", 4, "pfmul"},  // 3DNow!: opcode after the operands
      {k32, "0f 0f 44 24 08 9e", 6, "pfadd"},
      {k64, "66 0f 78 c0 08 10", 6, "extrq"},   // two immediates
      {k64, "8f e8 78 a2 c1 20", 6, "vpcmov"},  // XOP
      {k32, "8f e9 78 01 c8", 5, "blcfill"},
      {k64, "8f ea 78 10 c0 01 00 00 00", 9, "bextr"},
  });
}

TEST(DecoderLength, X87Forms) {
  ExpectCases({
      {k32, "d9 c9", 2, "fxch"},
      {k32, "dd 44 24 08", 4, "fld"},
      {k32, "db 2c 24", 3, "fld"},
      {k32, "df e0", 2, "fnstsw"},
      {k32, "d9 7d fe", 3, "fnstcw"},
      {k32, "de c9", 2, "fmulp"},
      {k32, "dc e9", 2, "fsub"},
      {k64, "df 3c 24", 3, "fistp"},
      {k64, "9b", 1, "fwait"},
  });
}

TEST(DecoderLength, ModeDecidesBetweenLegacyAndVectorPrefixes) {
  ExpectCases({
      {k32, "c5 00", 2, "lds"},  // mod != 11 outside 64-bit mode: LDS/LES/BOUND
      {k32, "c4 00", 2, "les"},
      {k32, "62 00", 2, "bound"},
      {k32, "40", 1, "inc"},
      {k64, "63 c1", 2, "movsxd"},
      {k32, "63 c1", 2, "arpl"},
      {k32, "d6", 1, "salc"},
  });
}

TEST(DecoderLength, UndefinedEncodingsAreInvalid) {
  const std::pair<TCpuMode, const char*> cases[] = {
      {k64, "06"},                    // push es
      {k64, "9a 00 10 40 00 08 00"},  // far call
      {k64, "d6"},
      {k64, "0f 04"},
      {k32, "0f 0f c1 00"},  // no such 3DNow! opcode
      {k32, "f0 90"},        // lock without a lockable form
      {k32, "f0 01 c8"},     // lock with a register destination
      {k64, "40 c5 f8 77"},  // REX in front of VEX
      {k64, "66 c5 f8 77"},
      {k64, "c5 b9 7e c0"},                                      // vvvv used by no operand
      {k64, "c4 e0 7d 18 00"},                                   // VEX map 0
      {k64, "62 f1 7c 88 10 c1"},                                // zeroing without a mask
      {k32, "8e c8"},                                            // mov cs, ax
      {k64, "0f 20 c8"},                                         // cr1
      {k32, "66 66 66 66 66 66 66 66 66 66 66 66 66 66 66 90"},  // 16 bytes
  };
  for (const auto& [mode, hex] : cases) {
    EXPECT_FALSE(Decode(hex, 0, mode).IsValid) << hex;
  }
  EXPECT_TRUE(Decode("66 66 66 66 66 66 66 66 66 66 66 66 66 90", 0, k32).IsValid);
}

TEST(DecoderTables, EveryTableLineIsUnderstood) {
  const auto& tables = Internal::Tables();
  EXPECT_EQ(tables.BadLines, 0) << "first bad line: " << tables.FirstBadLine;
  EXPECT_GT(tables.EntryCount, 2000);
}

}  // namespace
