// The 0F38 and 0F3A maps with their legacy forms (and the VEX/EVEX forms sharing a line), and
// the 3DNow! opcodes that follow the operands of 0F 0F.
#include "reporter/report/decoder/opcode_table.h"

namespace Reporter::Decoder::Internal {

const char* const kThreeByteTable = R"(
@ssse3 00 vpshufb
@ssse3 01 vphaddw
@ssse3 02 vphaddd
@ssse3 03 vphaddsw
@ssse3 04 vpmaddubsw
@ssse3 05 vphsubw
@ssse3 06 vphsubd
@ssse3 07 vphsubsw
@ssse3 08 vpsignb
@ssse3 09 vpsignw
@ssse3 0A vpsignd
@ssse3 0B vpmulhrsw
NP 0F38 1C: pabsb Pq,Qq
NP 0F38 1D: pabsw Pq,Qq
NP 0F38 1E: pabsd Pq,Qq
LV 66 0F38 1C: vpabsb Vx,Wx
LV 66 0F38 1D: vpabsw Vx,Wx
LV 66 0F38 1E: vpabsd Vx,Wx
E 66 0F38 00: vpshufb Vx,Hx,Wx
E 66 0F38 04: vpmaddubsw Vx,Hx,Wx
E 66 0F38 0B: vpmulhrsw Vx,Hx,Wx
E 66 0F38 1C: vpabsb Vx,Wx
E 66 0F38 1D: vpabsw Vx,Wx
E 66 0F38 1E W0: vpabsd Vx,Wx
66 0F38 10: pblendvb Vdq,Wdq,XMM0
66 0F38 14: blendvps Vdq,Wdq,XMM0
66 0F38 15: blendvpd Vdq,Wdq,XMM0
LV 66 0F38 17: vptest Vx,Wx
LVE 66 0F38 20: vpmovsxbw Vx,Wh
LVE 66 0F38 21: vpmovsxbd Vx,Wf4
LVE 66 0F38 22: vpmovsxbq Vx,Wf8
LVE 66 0F38 23: vpmovsxwd Vx,Wh
LVE 66 0F38 24: vpmovsxwq Vx,Wf4
LVE 66 0F38 25: vpmovsxdq Vx,Wh
LVE 66 0F38 28: vpmuldq Vx,Hx,Wx
LV 66 0F38 29: vpcmpeqq Vx,Hx,Wx
LVE 66 0F38 2A m: vmovntdqa Vx,Mx
LVE 66 0F38 2B: vpackusdw Vx,Hx,Wx
LVE 66 0F38 30: vpmovzxbw Vx,Wh
LVE 66 0F38 31: vpmovzxbd Vx,Wf4
LVE 66 0F38 32: vpmovzxbq Vx,Wf8
LVE 66 0F38 33: vpmovzxwd Vx,Wh
LVE 66 0F38 34: vpmovzxwq Vx,Wf4
LVE 66 0F38 35: vpmovzxdq Vx,Wh
LV 66 0F38 37: vpcmpgtq Vx,Hx,Wx
LVE 66 0F38 38: vpminsb Vx,Hx,Wx
LV 66 0F38 39: vpminsd Vx,Hx,Wx
LVE 66 0F38 3A: vpminuw Vx,Hx,Wx
LV 66 0F38 3B: vpminud Vx,Hx,Wx
LVE 66 0F38 3C: vpmaxsb Vx,Hx,Wx
LV 66 0F38 3D: vpmaxsd Vx,Hx,Wx
LVE 66 0F38 3E: vpmaxuw Vx,Hx,Wx
LV 66 0F38 3F: vpmaxud Vx,Hx,Wx
LV 66 0F38 40: vpmulld Vx,Hx,Wx
LV 66 0F38 41 L0: vphminposuw Vdq,Wdq
66 0F38 80 m: invept Gn,Mdq
66 0F38 81 m: invvpid Gn,Mdq
66 0F38 82 m: invpcid Gn,Mdq
NP 0F38 C8: sha1nexte Vdq,Wdq
NP 0F38 C9: sha1msg1 Vdq,Wdq
NP 0F38 CA: sha1msg2 Vdq,Wdq
NP 0F38 CB: sha256rnds2 Vdq,Wdq,XMM0
NP 0F38 CC: sha256msg1 Vdq,Wdq
NP 0F38 CD: sha256msg2 Vdq,Wdq
66 0F38 CF: gf2p8mulb Vdq,Wdq
VE 66 0F38 CF W0: vgf2p8mulb Vx,Hx,Wx
LV 66 0F38 DB L0: vaesimc Vdq,Wdq
F3 0F38 D8 /0 m: aesencwide128kl Me
F3 0F38 D8 /1 m: aesdecwide128kl Me
F3 0F38 D8 /2 m: aesencwide256kl Me
F3 0F38 D8 /3 m: aesdecwide256kl Me
F3 0F38 DC m: aesenc128kl Vdq,Me
F3 0F38 DC r: loadiwkey Vdq,Udq
F3 0F38 DD m: aesdec128kl Vdq,Me
F3 0F38 DE m: aesenc256kl Vdq,Me
F3 0F38 DF m: aesdec256kl Vdq,Me
F3 0F38 FA r: encodekey128 Gd,Rd
F3 0F38 FB r: encodekey256 Gd,Rd
LVE 66 0F38 DC: vaesenc Vx,Hx,Wx
LVE 66 0F38 DD: vaesenclast Vx,Hx,Wx
LVE 66 0F38 DE: vaesdec Vx,Hx,Wx
LVE 66 0F38 DF: vaesdeclast Vx,Hx,Wx
NP 0F38 F0 m: movbe Gv,Mv
66 0F38 F0 m: movbe Gw,Mw
F2 0F38 F0: crc32 Gy,Eb
NP 0F38 F1 m: movbe Mv,Gv
66 0F38 F1 m: movbe Mw,Gw
F2 0F38 F1: crc32 Gy,Ev
66 0F38 F5 m W1: wrussq Mq,Gq
66 0F38 F5 m: wrussd Md,Gd
NP 0F38 F6 m W1: wrssq Mq,Gq
NP 0F38 F6 m: wrssd Md,Gd
66 0F38 F6: adcx Gy,Ey
F3 0F38 F6: adox Gy,Ey
66 0F38 F8 m: movdir64b Gn,Moo
F2 0F38 F8 m: enqcmd Gn,Moo
F3 0F38 F8 m: enqcmds Gn,Moo
NP 0F38 F9 m: movdiri My,Gy

LV 66 0F3A 08: vroundps Vx,Wx,Ib
LV 66 0F3A 09: vroundpd Vx,Wx,Ib
LV 66 0F3A 0A: vroundss Vdq,Hdq,Wss,Ib
LV 66 0F3A 0B: vroundsd Vdq,Hdq,Wsd,Ib
LV 66 0F3A 0C: vblendps Vx,Hx,Wx,Ib
LV 66 0F3A 0D: vblendpd Vx,Hx,Wx,Ib
LV 66 0F3A 0E: vpblendw Vx,Hx,Wx,Ib
NP 0F3A 0F: palignr Pq,Qq,Ib
LVE 66 0F3A 0F: vpalignr Vx,Hx,Wx,Ib
LVE 66 0F3A 14 L0: vpextrb Eb,Vdq,Ib
LVE 66 0F3A 15 L0: vpextrw Ew,Vdq,Ib
LVE 66 0F3A 16 W1 L0: vpextrq Eq,Vdq,Ib
LVE 66 0F3A 16 L0: vpextrd Ed,Vdq,Ib
LVE 66 0F3A 17 L0: vextractps Ed,Vdq,Ib
LVE 66 0F3A 20 L0: vpinsrb Vdq,Hdq,Eb,Ib
LVE 66 0F3A 21 L0: vinsertps Vdq,Hdq,Wd,Ib
LVE 66 0F3A 22 W1 L0: vpinsrq Vdq,Hdq,Eq,Ib
LVE 66 0F3A 22 L0: vpinsrd Vdq,Hdq,Ed,Ib
LV 66 0F3A 40: vdpps Vx,Hx,Wx,Ib
LV 66 0F3A 41 L0: vdppd Vdq,Hdq,Wdq,Ib
LV 66 0F3A 42: vmpsadbw Vx,Hx,Wx,Ib
LVE 66 0F3A 44: vpclmulqdq Vx,Hx,Wx,Ib
LV 66 0F3A 60 L0: vpcmpestrm Vdq,Wdq,Ib
LV 66 0F3A 61 L0: vpcmpestri Vdq,Wdq,Ib
LV 66 0F3A 62 L0: vpcmpistrm Vdq,Wdq,Ib
LV 66 0F3A 63 L0: vpcmpistri Vdq,Wdq,Ib
NP 0F3A CC: sha1rnds4 Vdq,Wdq,Ib
66 0F3A CE: gf2p8affineqb Vdq,Wdq,Ib
66 0F3A CF: gf2p8affineinvqb Vdq,Wdq,Ib
VE 66 0F3A CE W1: vgf2p8affineqb Vx,Hx,Wx,Ib
VE 66 0F3A CF W1: vgf2p8affineinvqb Vx,Hx,Wx,Ib
LV 66 0F3A DF L0: vaeskeygenassist Vdq,Wdq,Ib

0F0F 0C: pi2fw Pq,Qq
0F0F 0D: pi2fd Pq,Qq
0F0F 1C: pf2iw Pq,Qq
0F0F 1D: pf2id Pq,Qq
0F0F 8A: pfnacc Pq,Qq
0F0F 8E: pfpnacc Pq,Qq
0F0F 90: pfcmpge Pq,Qq
0F0F 94: pfmin Pq,Qq
0F0F 96: pfrcp Pq,Qq
0F0F 97: pfsqrt Pq,Qq
0F0F 9A: pfsub Pq,Qq
0F0F 9E: pfadd Pq,Qq
0F0F A0: pfcmpgt Pq,Qq
0F0F A4: pfmax Pq,Qq
0F0F A6: pfcpit1 Pq,Qq
0F0F A7: pfrsqit1 Pq,Qq
0F0F AA: pfsubr Pq,Qq
0F0F AE: pfacc Pq,Qq
0F0F B0: pfcmpeq Pq,Qq
0F0F B4: pfmul Pq,Qq
0F0F B6: pfrcpit2 Pq,Qq
0F0F B7: pmulhrw Pq,Qq
0F0F BB: pswapd Pq,Qq
0F0F BF: pavgusb Pq,Qq
)";

}  // namespace Reporter::Decoder::Internal
