// What the stack tracer follows: flow kinds, direct targets with their wrap-around, the
// pointers of calls and jumps through fixed addresses, and indirect targets.
#include <gtest/gtest.h>

#include "decoder_test_support.h"

namespace {

using namespace Reporter::Decoder;
using DecoderTest::Decode;

using DecoderTest::k32;
using DecoderTest::k64;

TEST(DecoderFlow, KindsOfControlTransfer) {
  const std::tuple<TCpuMode, const char*, TFlow> cases[] = {
      {k32, "e8 00 00 00 00", TFlow::Call},
      {k32, "ff d0", TFlow::Call},
      {k32, "ff 1d 00 10 40 00", TFlow::Call},
      {k32, "9a 00 10 40 00 08 00", TFlow::Call},
      {k32, "e9 00 00 00 00", TFlow::Jump},
      {k32, "eb fe", TFlow::Jump},
      {k64, "ff e0", TFlow::Jump},
      {k64, "ff 2d 00 00 00 00", TFlow::Jump},
      {k32, "74 00", TFlow::ConditionalJump},
      {k32, "0f 8f 00 00 00 00", TFlow::ConditionalJump},
      {k32, "e2 fe", TFlow::ConditionalJump},
      {k32, "e3 fe", TFlow::ConditionalJump},
      {k32, "c3", TFlow::Return},
      {k32, "c2 04 00", TFlow::Return},
      {k32, "cb", TFlow::Return},
      {k64, "48 cf", TFlow::Return},
      {k32, "f4", TFlow::Stop},
      {k32, "0f 0b", TFlow::Stop},
      {k32, "cc", TFlow::Stop},
      {k32, "cd 03", TFlow::Other},
      {k64, "48 8b 04 24", TFlow::Other},
      {k64, "0f 05", TFlow::Other},
  };
  for (const auto& [mode, hex, flow] : cases) {
    const auto instruction = Decode(hex, 0x401000, mode);
    ASSERT_TRUE(instruction.IsValid) << hex;
    EXPECT_EQ(instruction.Flow, flow) << hex;
  }
}

struct TTargetCase {
  TCpuMode Mode;
  std::uint64_t Address;
  const char* Bytes;
  std::uint64_t Target;
};

TEST(DecoderFlow, DirectTargetsWrapToTheModesWidth) {
  const TTargetCase cases[] = {
      {k32, 0x401000, "e8 27 0a 00 00", 0x401a2c},
      {k32, 0x401000, "eb fe", 0x401000},
      {k32, 0x401000, "0f 84 f0 ff ff ff", 0x400ff6},
      {k32, 0xfffffff0, "e8 20 00 00 00", 0x15},  // over the top
      {k32, 0x10, "e8 e0 ff ff ff", 0xfffffff5},  // below zero
      {k32, 0x12345, "66 e9 00 f0", 0x1349},      // rel16: IP is 16 bits wide
      {k32, 0x1000, "66 e8 fc ff", 0x1000},
      {k64, 0x7ff612340000, "e8 00 00 00 80", 0x7ff592340005},
      {k64, 0xfffffffffffffff0, "e9 20 00 00 00", 0x15},  // 64-bit wrap
      {k64, 0x1000, "66 e8 00 00 00 00", 0x1006},         // 66 ignored: still rel32
      {k32, 0x1000, "e3 10", 0x1012},
      {k64, 0x1000, "67 e3 10", 0x1013},
  };
  for (const auto& c : cases) {
    const auto instruction = Decode(c.Bytes, c.Address, c.Mode);
    ASSERT_TRUE(instruction.IsValid) << c.Bytes;
    EXPECT_TRUE(instruction.HasTarget) << c.Bytes;
    EXPECT_FALSE(instruction.HasPointer || instruction.IsIndirect) << c.Bytes;
    EXPECT_EQ(instruction.Target, c.Target) << std::hex << c.Address << " " << c.Bytes;
  }
}

TEST(DecoderFlow, PointersAtFixedAddresses) {
  const TTargetCase cases[] = {
      {k32, 0x401000, "ff 15 00 20 40 00", 0x402000},
      {k32, 0x401000, "ff 25 00 20 40 00", 0x402000},
      {k32, 0x401000, "ff 14 25 00 20 40 00", 0x402000},  // SIB without base or index
      {k32, 0x401000, "67 ff 16 00 20", 0x2000},          // 16-bit [disp16]
      {k64, 0x140001000, "ff 15 fa 0f 00 00", 0x140002000},
      {k64, 0x140001000, "48 ff 25 fa 0f 00 00", 0x140002001},
      {k64, 0x1000, "ff 15 f0 ff ff ff", 0xff6},
      {k64, 0x100000000, "67 ff 15 f9 ff ff ff", 0x0},  // [eip+disp32] wraps at 4 GiB
      {k64, 0x1000, "ff 14 25 00 20 40 00", 0x402000},
      {k64, 0x1000, "ff 14 25 00 00 00 80", 0xffffffff80000000},  // sign-extended
  };
  for (const auto& c : cases) {
    const auto instruction = Decode(c.Bytes, c.Address, c.Mode);
    ASSERT_TRUE(instruction.IsValid) << c.Bytes;
    EXPECT_TRUE(instruction.HasPointer) << c.Bytes;
    EXPECT_FALSE(instruction.HasTarget || instruction.IsIndirect) << c.Bytes;
    EXPECT_EQ(instruction.PointerAddress, c.Target) << c.Bytes;
  }
}

TEST(DecoderFlow, RunTimeTargetsAreIndirect) {
  const std::pair<TCpuMode, const char*> cases[] = {
      {k32, "ff d0"},                 // call eax
      {k32, "ff 10"},                 // call [eax]
      {k32, "ff 24 85 00 10 40 00"},  // jmp [eax*4+table]
      {k64, "ff 24 c5 00 10 40 00"},
      {k64, "41 ff 24 24"},              // jmp [r12]
      {k64, "42 ff 24 25 00 10 00 00"},  // r12 as index: not a fixed pointer
      {k32, "64 ff 15 00 00 00 00"},     // through fs: no fixed linear address
      {k32, "ff 1d 00 10 40 00"},        // far call through memory
  };
  for (const auto& [mode, hex] : cases) {
    const auto instruction = Decode(hex, 0x1000, mode);
    ASSERT_TRUE(instruction.IsValid) << hex;
    EXPECT_TRUE(instruction.IsIndirect) << hex;
    EXPECT_FALSE(instruction.HasTarget || instruction.HasPointer) << hex;
  }
}

TEST(DecoderFlow, OtherInstructionsCarryNoTarget) {
  for (const char* hex : {"8b 05 00 20 40 00", "c3", "cc", "ff 35 00 20 40 00"}) {
    const auto instruction = Decode(hex, 0x1000, k32);
    ASSERT_TRUE(instruction.IsValid) << hex;
    EXPECT_FALSE(instruction.HasTarget || instruction.HasPointer || instruction.IsIndirect) << hex;
  }
  const auto instruction = Decode("8b 05 00 20 40 00", 0x1000, k32);
  EXPECT_EQ(instruction.NextAddress(), 0x1006u);
}

}  // namespace
