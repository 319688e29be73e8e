// The Intel-syntax text of the disassembly listing.
#include <gtest/gtest.h>

#include "decoder_test_support.h"

namespace {

using namespace Reporter::Decoder;
using DecoderTest::Decode;

using DecoderTest::k32;
using DecoderTest::k64;

struct TFormatCase {
  TCpuMode Mode;
  std::uint64_t Address;
  const char* Bytes;
  const char* Text;
};

TEST(DecoderFormat, IntelSyntaxInLowerCase) {
  const TFormatCase cases[] = {
      {k32, 0x401000, "8b 45 f8", "mov eax, dword ptr [ebp-0x8]"},
      {k32, 0x401000, "e8 27 0a 00 00", "call 0x00401a2c"},
      {k32, 0x401000, "ff 15 00 20 40 00", "call dword ptr [0x00402000]"},
      {k32, 0x401000, "dd 44 24 08", "fld qword ptr [esp+0x8]"},
      {k32, 0x401000, "d9 c9", "fxch st1"},
      {k32, 0x401000, "8d 44 8e 10", "lea eax, [esi+ecx*4+0x10]"},
      {k32, 0x401000, "67 8b 46 08", "mov eax, dword ptr [bp+0x8]"},
      {k32, 0x401000, "66 f0 0f b1 0a", "lock cmpxchg word ptr [edx], cx"},
      {k32, 0x401000, "f3 a4", "rep movsb"},
      {k32, 0x401000, "f3 a6", "repe cmpsb"},
      {k32, 0x401000, "88 e0", "mov al, ah"},
      {k32, 0x401000, "0f b6 c0", "movzx eax, al"},
      {k32, 0x401000, "c2 08 00", "ret 0x8"},
      {k64, 0x140001000, "48 8d 05 f9 0f 00 00", "lea rax, [0x0000000140002000]"},
      {k64, 0x140001000, "40 88 f0", "mov al, sil"},
      {k64, 0x140001000, "48 83 e4 f0", "and rsp, 0xfffffffffffffff0"},
      {k64, 0x140001000, "64 48 8b 04 25 28 00 00 00", "mov rax, qword ptr fs:[0x28]"},
      {k64, 0x140001000, "c5 f5 fe 00", "vpaddd ymm0, ymm1, ymmword ptr [rax]"},
      {k64, 0x140001000, "c4 41 78 28 c1", "vmovaps xmm8, xmm9"},
      {k64, 0x140001000, "62 f1 7c d9 58 00", "vaddps zmm0{k1}{z}, zmm0, dword ptr [rax]{1to16}"},
      {k64, 0x140001000, "62 f1 7c 48 10 4c 24 01", "vmovups zmm1, zmmword ptr [rsp+0x40]"},
      {k64, 0x140001000, "62 b2 76 49 26 e1", "vptestnmb k4{k1}, zmm1, zmm17"},
      {k64, 0x140001000, "c5 fb 92 c8", "kmovd k1, eax"},
      {k64, 0x140001000, "ff 24 c5 00 10 40 00", "jmp qword ptr [rax*8+0x401000]"},
      {k64, 0x140001000, "0f 20 d8", "mov rax, cr3"},
  };
  for (const auto& c : cases) {
    const auto instruction = Decode(c.Bytes, c.Address, c.Mode);
    ASSERT_TRUE(instruction.IsValid) << c.Bytes;
    EXPECT_EQ(FormatInstruction(instruction), c.Text) << c.Bytes;
  }
}

TEST(DecoderFormat, RegisterNumbersTakeTheirExtensionBits) {
  const TFormatCase cases[] = {
      {k64, 0, "4d 8b 44 24 08", "mov r8, qword ptr [r12+0x8]"},  // REX.R and REX.B
      {k64, 0, "46 8b 04 a8", "mov r8d, dword ptr [rax+r13*4]"},  // REX.X
      {k64, 0, "44 0f 20 c0", "mov rax, cr8"},
      {k64, 0, "66 48 0f 6e c0", "movq xmm0, rax"},
      {k64, 0, "c4 41 7c 28 c1", "vmovaps ymm8, ymm9"},  // VEX.R and VEX.B
      {k32, 0, "c4 c1 7c 28 c1", "vmovaps ymm0, ymm1"},  // VEX.B void in 32-bit
      {k64, 0, "c4 e3 71 4a c2 30", "vblendvps xmm0, xmm1, xmm2, xmm3"},
      {k32, 0, "c4 e3 71 4a c2 f0", "vblendvps xmm0, xmm1, xmm2, xmm7"},
      {k64, 0, "62 e1 7c 48 28 c1", "vmovaps zmm16, zmm1"},       // EVEX.R'
      {k64, 0, "62 b1 7c 48 28 c1", "vmovaps zmm0, zmm17"},       // EVEX.X on r/m
      {k64, 0, "62 f1 74 40 58 c2", "vaddps zmm0, zmm17, zmm2"},  // EVEX.V'
      {k64, 0, "62 f1 7c 58 58 40 01", "vaddps zmm0, zmm0, dword ptr [rax+0x4]{1to16}"},
  };
  for (const auto& c : cases) {
    const auto instruction = Decode(c.Bytes, c.Address, c.Mode);
    ASSERT_TRUE(instruction.IsValid) << c.Bytes;
    EXPECT_EQ(FormatInstruction(instruction), c.Text) << c.Bytes;
  }
}

TEST(DecoderFormat, InvalidBytesPrintAsData) {
  for (const auto& [hex, text] : {std::pair{"0f", "db 0x0f"}, std::pair{"0f 0f c1 00", "db 0x0f"},
                                  std::pair{"f0 90", "db 0xf0"}}) {
    const auto instruction = Decode(hex, 0x1000, k32);
    EXPECT_FALSE(instruction.IsValid) << hex;
    EXPECT_EQ(FormatInstruction(instruction), text) << hex;
    EXPECT_EQ(Mnemonic(instruction), "") << hex;
  }
  EXPECT_EQ(FormatInstruction(TInstruction{}), "db 0x00");
}

TEST(DecoderFormat, MnemonicAlone) {
  EXPECT_EQ(Mnemonic(Decode("f3 48 ab", 0, k64)), "stosq");
  EXPECT_EQ(Mnemonic(Decode("c5 fd fe 00", 0, k64)), "vpaddd");
  EXPECT_EQ(Mnemonic(Decode("e3 fe", 0, k32)), "jecxz");
  EXPECT_EQ(Mnemonic(Decode("67 e3 fe", 0, k32)), "jcxz");
  EXPECT_EQ(Mnemonic(Decode("e3 fe", 0, k64)), "jrcxz");
}

}  // namespace
