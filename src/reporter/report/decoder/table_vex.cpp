// Forms that exist only with a VEX prefix (and those shared with EVEX): AVX, AVX2, F16C, FMA,
// FMA4, BMI and the mask register instructions.
#include "reporter/report/decoder/opcode_table.h"

namespace Reporter::Decoder::Internal {

const char* const kVexTable = R"(
V NP 0F 77 L0: vzeroupper
V NP 0F 77 L1: vzeroall

V NP 0F 41 L1 W0: kandw K,KH,KR
V NP 0F 41 L1 W1: kandq K,KH,KR
V 66 0F 41 L1 W0: kandb K,KH,KR
V 66 0F 41 L1 W1: kandd K,KH,KR
V NP 0F 42 L1 W0: kandnw K,KH,KR
V NP 0F 42 L1 W1: kandnq K,KH,KR
V 66 0F 42 L1 W0: kandnb K,KH,KR
V 66 0F 42 L1 W1: kandnd K,KH,KR
V NP 0F 44 L0 W0: knotw K,KR
V NP 0F 44 L0 W1: knotq K,KR
V 66 0F 44 L0 W0: knotb K,KR
V 66 0F 44 L0 W1: knotd K,KR
V NP 0F 45 L1 W0: korw K,KH,KR
V NP 0F 45 L1 W1: korq K,KH,KR
V 66 0F 45 L1 W0: korb K,KH,KR
V 66 0F 45 L1 W1: kord K,KH,KR
V NP 0F 46 L1 W0: kxnorw K,KH,KR
V NP 0F 46 L1 W1: kxnorq K,KH,KR
V 66 0F 46 L1 W0: kxnorb K,KH,KR
V 66 0F 46 L1 W1: kxnord K,KH,KR
V NP 0F 47 L1 W0: kxorw K,KH,KR
V NP 0F 47 L1 W1: kxorq K,KH,KR
V 66 0F 47 L1 W0: kxorb K,KH,KR
V 66 0F 47 L1 W1: kxord K,KH,KR
V NP 0F 4A L1 W0: kaddw K,KH,KR
V NP 0F 4A L1 W1: kaddq K,KH,KR
V 66 0F 4A L1 W0: kaddb K,KH,KR
V 66 0F 4A L1 W1: kaddd K,KH,KR
V 66 0F 4B L1 W0: kunpckbw K,KH,KR
V NP 0F 4B L1 W0: kunpckwd K,KH,KR
V NP 0F 4B L1 W1: kunpckdq K,KH,KR
V NP 0F 90 L0 W0: kmovw K,KWw
V NP 0F 90 L0 W1: kmovq K,KWq
V 66 0F 90 L0 W0: kmovb K,KWb
V 66 0F 90 L0 W1: kmovd K,KWd
V NP 0F 91 m L0 W0: kmovw Mw,K
V NP 0F 91 m L0 W1: kmovq Mq,K
V 66 0F 91 m L0 W0: kmovb Mb,K
V 66 0F 91 m L0 W1: kmovd Md,K
V NP 0F 92 r L0 W0: kmovw K,Rd
V 66 0F 92 r L0 W0: kmovb K,Rd
V F2 0F 92 r L0 W0: kmovd K,Rd
V F2 0F 92 r L0 W1: kmovq K,Rq
V NP 0F 93 r L0 W0: kmovw Gd,KR
V 66 0F 93 r L0 W0: kmovb Gd,KR
V F2 0F 93 r L0 W0: kmovd Gd,KR
V F2 0F 93 r L0 W1: kmovq Gq,KR
V NP 0F 98 L0 W0: kortestw K,KR
V NP 0F 98 L0 W1: kortestq K,KR
V 66 0F 98 L0 W0: kortestb K,KR
V 66 0F 98 L0 W1: kortestd K,KR
V NP 0F 99 L0 W0: ktestw K,KR
V NP 0F 99 L0 W1: ktestq K,KR
V 66 0F 99 L0 W0: ktestb K,KR
V 66 0F 99 L0 W1: ktestd K,KR
V 66 0F3A 30 L0 W0: kshiftrb K,KR,Ib
V 66 0F3A 30 L0 W1: kshiftrw K,KR,Ib
V 66 0F3A 31 L0 W0: kshiftrd K,KR,Ib
V 66 0F3A 31 L0 W1: kshiftrq K,KR,Ib
V 66 0F3A 32 L0 W0: kshiftlb K,KR,Ib
V 66 0F3A 32 L0 W1: kshiftlw K,KR,Ib
V 66 0F3A 33 L0 W0: kshiftld K,KR,Ib
V 66 0F3A 33 L0 W1: kshiftlq K,KR,Ib

V 66 0F38 0C W0: vpermilps Vx,Hx,Wx
V 66 0F38 0D W0: vpermilpd Vx,Hx,Wx
V 66 0F38 0E W0: vtestps Vx,Wx
V 66 0F38 0F W0: vtestpd Vx,Wx
V 66 0F38 13 W0: vcvtph2ps Vx,Wh
V 66 0F38 16 L1 W0: vpermps Vx,Hx,Wx
V 66 0F38 18 W0: vbroadcastss Vx,Wd
V 66 0F38 19 L1 W0: vbroadcastsd Vx,Wq
V 66 0F38 1A m L1 W0: vbroadcastf128 Vqq,Mdq
V 66 0F38 2C m W0: vmaskmovps Vx,Hx,Mx
V 66 0F38 2D m W0: vmaskmovpd Vx,Hx,Mx
V 66 0F38 2E m W0: vmaskmovps Mx,Hx,Vx
V 66 0F38 2F m W0: vmaskmovpd Mx,Hx,Vx
V 66 0F38 36 L1 W0: vpermd Vx,Hx,Wx
V 66 0F38 45 W0: vpsrlvd Vx,Hx,Wx
V 66 0F38 45 W1: vpsrlvq Vx,Hx,Wx
V 66 0F38 46 W0: vpsravd Vx,Hx,Wx
V 66 0F38 47 W0: vpsllvd Vx,Hx,Wx
V 66 0F38 47 W1: vpsllvq Vx,Hx,Wx
V 66 0F38 58 W0: vpbroadcastd Vx,Wd
V 66 0F38 59 W0: vpbroadcastq Vx,Wq
V 66 0F38 5A m L1 W0: vbroadcasti128 Vqq,Mdq
V 66 0F38 78 W0: vpbroadcastb Vx,Wb
V 66 0F38 79 W0: vpbroadcastw Vx,Ww
V 66 0F38 8C m W0: vpmaskmovd Vx,Hx,Mx
V 66 0F38 8C m W1: vpmaskmovq Vx,Hx,Mx
V 66 0F38 8E m W0: vpmaskmovd Mx,Hx,Vx
V 66 0F38 8E m W1: vpmaskmovq Mx,Hx,Vx
V 66 0F38 90 W0: vpgatherdd Vx,Vsibx,Hx
V 66 0F38 90 W1: vpgatherdq Vx,Vsibx,Hx
V 66 0F38 91 W0: vpgatherqd Vx,Vsibx,Hx
V 66 0F38 91 W1: vpgatherqq Vx,Vsibx,Hx
V 66 0F38 92 W0: vgatherdps Vx,Vsibx,Hx
V 66 0F38 92 W1: vgatherdpd Vx,Vsibx,Hx
V 66 0F38 93 W0: vgatherqps Vx,Vsibx,Hx
V 66 0F38 93 W1: vgatherqpd Vx,Vsibx,Hx
@fma 96 vfmaddsub
@fma 97 vfmsubadd
@fma 98 vfmadd
@fmas 99 vfmadd
@fma 9A vfmsub
@fmas 9B vfmsub
@fma 9C vfnmadd
@fmas 9D vfnmadd
@fma 9E vfnmsub
@fmas 9F vfnmsub

V NP 0F38 F2 L0: andn Gy,By,Ey
V NP 0F38 F3 /1 L0: blsr By,Ey
V NP 0F38 F3 /2 L0: blsmsk By,Ey
V NP 0F38 F3 /3 L0: blsi By,Ey
V NP 0F38 F5 L0: bzhi Gy,Ey,By
V F3 0F38 F5 L0: pext Gy,By,Ey
V F2 0F38 F5 L0: pdep Gy,By,Ey
V F2 0F38 F6 L0: mulx Gy,By,Ey
V NP 0F38 F7 L0: bextr Gy,Ey,By
V 66 0F38 F7 L0: shlx Gy,Ey,By
V F3 0F38 F7 L0: sarx Gy,Ey,By
V F2 0F38 F7 L0: shrx Gy,Ey,By
V F2 0F3A F0 L0: rorx Gy,Ey,Ib

V 66 0F3A 00 L1 W1: vpermq Vx,Wx,Ib
V 66 0F3A 01 L1 W1: vpermpd Vx,Wx,Ib
V 66 0F3A 02 W0: vpblendd Vx,Hx,Wx,Ib
V 66 0F3A 04 W0: vpermilps Vx,Wx,Ib
V 66 0F3A 05 W0: vpermilpd Vx,Wx,Ib
V 66 0F3A 06 L1 W0: vperm2f128 Vqq,Hqq,Wqq,Ib
V 66 0F3A 18 L1 W0: vinsertf128 Vqq,Hqq,Wdq,Ib
V 66 0F3A 19 L1 W0: vextractf128 Wdq,Vqq,Ib
V 66 0F3A 1D W0: vcvtps2ph Wh,Vx,Ib
V 66 0F3A 38 L1 W0: vinserti128 Vqq,Hqq,Wdq,Ib
V 66 0F3A 39 L1 W0: vextracti128 Wdq,Vqq,Ib
V 66 0F3A 46 L1 W0: vperm2i128 Vqq,Hqq,Wqq,Ib
V 66 0F3A 4A W0: vblendvps Vx,Hx,Wx,Lx
V 66 0F3A 4B W0: vblendvpd Vx,Hx,Wx,Lx
V 66 0F3A 4C W0: vpblendvb Vx,Hx,Wx,Lx
V 66 0F3A 5C: vfmaddsubps Vx,Hx,Wx,Lx
V 66 0F3A 5D: vfmaddsubpd Vx,Hx,Wx,Lx
V 66 0F3A 5E: vfmsubaddps Vx,Hx,Wx,Lx
V 66 0F3A 5F: vfmsubaddpd Vx,Hx,Wx,Lx
V 66 0F3A 68: vfmaddps Vx,Hx,Wx,Lx
V 66 0F3A 69: vfmaddpd Vx,Hx,Wx,Lx
V 66 0F3A 6A: vfmaddss Vdq,Hdq,Wss,Ldq
V 66 0F3A 6B: vfmaddsd Vdq,Hdq,Wsd,Ldq
V 66 0F3A 6C: vfmsubps Vx,Hx,Wx,Lx
V 66 0F3A 6D: vfmsubpd Vx,Hx,Wx,Lx
V 66 0F3A 6E: vfmsubss Vdq,Hdq,Wss,Ldq
V 66 0F3A 6F: vfmsubsd Vdq,Hdq,Wsd,Ldq
V 66 0F3A 78: vfnmaddps Vx,Hx,Wx,Lx
V 66 0F3A 79: vfnmaddpd Vx,Hx,Wx,Lx
V 66 0F3A 7A: vfnmaddss Vdq,Hdq,Wss,Ldq
V 66 0F3A 7B: vfnmaddsd Vdq,Hdq,Wsd,Ldq
V 66 0F3A 7C: vfnmsubps Vx,Hx,Wx,Lx
V 66 0F3A 7D: vfnmsubpd Vx,Hx,Wx,Lx
V 66 0F3A 7E: vfnmsubss Vdq,Hdq,Wss,Ldq
V 66 0F3A 7F: vfnmsubsd Vdq,Hdq,Wsd,Ldq
)";

}  // namespace Reporter::Decoder::Internal
