// Forms that exist only with an EVEX prefix, or whose EVEX form differs from the VEX form of
// the same opcode (mask register destinations, element size in the name).
#include "reporter/report/decoder/opcode_table.h"

namespace Reporter::Decoder::Internal {

const char* const kEvexTable = R"(
E NP 0F 10: vmovups Vx,Wx
E 66 0F 10: vmovupd Vx,Wx
E F3 0F 10 m: vmovss Vdq,Md
E F3 0F 10 r: vmovss Vdq,Hdq,Udq
E F2 0F 10 m: vmovsd Vdq,Mq
E F2 0F 10 r: vmovsd Vdq,Hdq,Udq
E NP 0F 11: vmovups Wx,Vx
E 66 0F 11: vmovupd Wx,Vx
E F3 0F 11 m: vmovss Md,Vdq
E F3 0F 11 r: vmovss Udq,Hdq,Vdq
E F2 0F 11 m: vmovsd Mq,Vdq
E F2 0F 11 r: vmovsd Udq,Hdq,Vdq
E NP 0F 12 m: vmovlps Vdq,Hdq,Mq
E NP 0F 12 r: vmovhlps Vdq,Hdq,Udq
E 66 0F 12 m: vmovlpd Vdq,Hdq,Mq
E F3 0F 12: vmovsldup Vx,Wx
E F2 0F 12: vmovddup Vx,Wx
E NP 0F 13 m: vmovlps Mq,Vdq
E 66 0F 13 m: vmovlpd Mq,Vdq
E NP 0F 16 m: vmovhps Vdq,Hdq,Mq
E NP 0F 16 r: vmovlhps Vdq,Hdq,Udq
E 66 0F 16 m: vmovhpd Vdq,Hdq,Mq
E F3 0F 16: vmovshdup Vx,Wx
E NP 0F 17 m: vmovhps Mq,Vdq
E 66 0F 17 m: vmovhpd Mq,Vdq
E NP 0F 54: vandps Vx,Hx,Wx
E 66 0F 54: vandpd Vx,Hx,Wx
E NP 0F 55: vandnps Vx,Hx,Wx
E 66 0F 55: vandnpd Vx,Hx,Wx
E NP 0F 56: vorps Vx,Hx,Wx
E 66 0F 56: vorpd Vx,Hx,Wx
E NP 0F 57: vxorps Vx,Hx,Wx
E 66 0F 57: vxorpd Vx,Hx,Wx
E NP 0F 5B W0: vcvtdq2ps Vx,Wx
E NP 0F 5B W1: vcvtqq2ps Vh,Wx
E 66 0F 62 W0: vpunpckldq Vx,Hx,Wx
E 66 0F 64: vpcmpgtb K,Hx,Wx
E 66 0F 65: vpcmpgtw K,Hx,Wx
E 66 0F 66 W0: vpcmpgtd K,Hx,Wx
E 66 0F 6A W0: vpunpckhdq Vx,Hx,Wx
E 66 0F 6B W0: vpackssdw Vx,Hx,Wx
E 66 0F 6C W1: vpunpcklqdq Vx,Hx,Wx
E 66 0F 6D W1: vpunpckhqdq Vx,Hx,Wx
E 66 0F 6F W0: vmovdqa32 Vx,Wx
E 66 0F 6F W1: vmovdqa64 Vx,Wx
E F3 0F 6F W0: vmovdqu32 Vx,Wx
E F3 0F 6F W1: vmovdqu64 Vx,Wx
E F2 0F 6F W0: vmovdqu8 Vx,Wx
E F2 0F 6F W1: vmovdqu16 Vx,Wx
E 66 0F 71 /2: vpsrlw Hx,Wx,Ib
E 66 0F 71 /4: vpsraw Hx,Wx,Ib
E 66 0F 71 /6: vpsllw Hx,Wx,Ib
E 66 0F 72 /0 W0: vprord Hx,Wx,Ib
E 66 0F 72 /0 W1: vprorq Hx,Wx,Ib
E 66 0F 72 /1 W0: vprold Hx,Wx,Ib
E 66 0F 72 /1 W1: vprolq Hx,Wx,Ib
E 66 0F 72 /2 W0: vpsrld Hx,Wx,Ib
E 66 0F 72 /4 W0: vpsrad Hx,Wx,Ib
E 66 0F 72 /4 W1: vpsraq Hx,Wx,Ib
E 66 0F 72 /6 W0: vpslld Hx,Wx,Ib
E 66 0F 73 /2 W1: vpsrlq Hx,Wx,Ib
E 66 0F 73 /3: vpsrldq Hx,Wx,Ib
E 66 0F 73 /6 W1: vpsllq Hx,Wx,Ib
E 66 0F 73 /7: vpslldq Hx,Wx,Ib
E 66 0F 74: vpcmpeqb K,Hx,Wx
E 66 0F 75: vpcmpeqw K,Hx,Wx
E 66 0F 76 W0: vpcmpeqd K,Hx,Wx
E NP 0F 78 W0: vcvttps2udq Vx,Wx
E NP 0F 78 W1: vcvttpd2udq Vh,Wx
E 66 0F 78 W0: vcvttps2uqq Vx,Wh
E 66 0F 78 W1: vcvttpd2uqq Vx,Wx
E F3 0F 78: vcvttss2usi Gy,Wss
E F2 0F 78: vcvttsd2usi Gy,Wsd
E NP 0F 79 W0: vcvtps2udq Vx,Wx
E NP 0F 79 W1: vcvtpd2udq Vh,Wx
E 66 0F 79 W0: vcvtps2uqq Vx,Wh
E 66 0F 79 W1: vcvtpd2uqq Vx,Wx
E F3 0F 79: vcvtss2usi Gy,Wss
E F2 0F 79: vcvtsd2usi Gy,Wsd
E 66 0F 7A W0: vcvttps2qq Vx,Wh
E 66 0F 7A W1: vcvttpd2qq Vx,Wx
E F3 0F 7A W0: vcvtudq2pd Vx,Wh
E F3 0F 7A W1: vcvtuqq2pd Vx,Wx
E F2 0F 7A W0: vcvtudq2ps Vx,Wx
E F2 0F 7A W1: vcvtuqq2ps Vh,Wx
E 66 0F 7B W0: vcvtps2qq Vx,Wh
E 66 0F 7B W1: vcvtpd2qq Vx,Wx
E F3 0F 7B: vcvtusi2ss Vdq,Hdq,Ey
E F2 0F 7B: vcvtusi2sd Vdq,Hdq,Ey
E 66 0F 7E W1: vmovq Ey,Vdq
E 66 0F 7E: vmovd Ey,Vdq
E F3 0F 7E W1: vmovq Vdq,Wq
E 66 0F 7F W0: vmovdqa32 Wx,Vx
E 66 0F 7F W1: vmovdqa64 Wx,Vx
E F3 0F 7F W0: vmovdqu32 Wx,Vx
E F3 0F 7F W1: vmovdqu64 Wx,Vx
E F2 0F 7F W0: vmovdqu8 Wx,Vx
E F2 0F 7F W1: vmovdqu16 Wx,Vx
E 66 0F D2 W0: vpsrld Vx,Hx,Wdq
E 66 0F D3 W1: vpsrlq Vx,Hx,Wdq
E 66 0F D4 W1: vpaddq Vx,Hx,Wx
E 66 0F D6 W1: vmovq Wq,Vdq
E 66 0F DB W0: vpandd Vx,Hx,Wx
E 66 0F DB W1: vpandq Vx,Hx,Wx
E 66 0F DF W0: vpandnd Vx,Hx,Wx
E 66 0F DF W1: vpandnq Vx,Hx,Wx
E 66 0F E2 W0: vpsrad Vx,Hx,Wdq
E 66 0F E2 W1: vpsraq Vx,Hx,Wdq
E F3 0F E6 W1: vcvtqq2pd Vx,Wx
E 66 0F EB W0: vpord Vx,Hx,Wx
E 66 0F EB W1: vporq Vx,Hx,Wx
E 66 0F EF W0: vpxord Vx,Hx,Wx
E 66 0F EF W1: vpxorq Vx,Hx,Wx
E 66 0F F2 W0: vpslld Vx,Hx,Wdq
E 66 0F F3 W1: vpsllq Vx,Hx,Wdq
E 66 0F F4 W1: vpmuludq Vx,Hx,Wx
E 66 0F FA W0: vpsubd Vx,Hx,Wx
E 66 0F FB W1: vpsubq Vx,Hx,Wx
E 66 0F FE W0: vpaddd Vx,Hx,Wx
E NP 0F C2: vcmpps K,Hx,Wx,Ib
E 66 0F C2: vcmppd K,Hx,Wx,Ib
E F3 0F C2: vcmpss K,Hdq,Wss,Ib
E F2 0F C2: vcmpsd K,Hdq,Wsd,Ib

E 66 0F38 0C W0: vpermilps Vx,Hx,Wx
E 66 0F38 0D W1: vpermilpd Vx,Hx,Wx
E F3 0F38 10 W0: vpmovuswb Wh,Vx
E 66 0F38 10 W1: vpsrlvw Vx,Hx,Wx
E F3 0F38 11 W0: vpmovusdb Wf4,Vx
E 66 0F38 11 W1: vpsravw Vx,Hx,Wx
E F3 0F38 12 W0: vpmovusqb Wf8,Vx
E 66 0F38 12 W1: vpsllvw Vx,Hx,Wx
E F3 0F38 13 W0: vpmovusdw Wh,Vx
E 66 0F38 13 W0: vcvtph2ps Vx,Wh
E F3 0F38 14 W0: vpmovusqw Wf4,Vx
E 66 0F38 14 W0: vprorvd Vx,Hx,Wx
E 66 0F38 14 W1: vprorvq Vx,Hx,Wx
E F3 0F38 15 W0: vpmovusqd Wh,Vx
E 66 0F38 15 W0: vprolvd Vx,Hx,Wx
E 66 0F38 15 W1: vprolvq Vx,Hx,Wx
E 66 0F38 16 W0: vpermps Vx,Hx,Wx
E 66 0F38 16 W1: vpermpd Vx,Hx,Wx
E 66 0F38 18 W0: vbroadcastss Vx,Wd
E 66 0F38 19 W0: vbroadcastf32x2 Vx,Wq
E 66 0F38 19 W1: vbroadcastsd Vx,Wq
E 66 0F38 1A m W0: vbroadcastf32x4 Vx,Mdq
E 66 0F38 1A m W1: vbroadcastf64x2 Vx,Mdq
E 66 0F38 1B m W0: vbroadcastf32x8 Voo,Mqq
E 66 0F38 1B m W1: vbroadcastf64x4 Voo,Mqq
E 66 0F38 1F W1: vpabsq Vx,Wx
E F3 0F38 20 W0: vpmovswb Wh,Vx
E F3 0F38 21 W0: vpmovsdb Wf4,Vx
E F3 0F38 22 W0: vpmovsqb Wf8,Vx
E F3 0F38 23 W0: vpmovsdw Wh,Vx
E F3 0F38 24 W0: vpmovsqw Wf4,Vx
E F3 0F38 25 W0: vpmovsqd Wh,Vx
E 66 0F38 26 W0: vptestmb K,Hx,Wx
E 66 0F38 26 W1: vptestmw K,Hx,Wx
E F3 0F38 26 W0: vptestnmb K,Hx,Wx
E F3 0F38 26 W1: vptestnmw K,Hx,Wx
E 66 0F38 27 W0: vptestmd K,Hx,Wx
E 66 0F38 27 W1: vptestmq K,Hx,Wx
E F3 0F38 27 W0: vptestnmd K,Hx,Wx
E F3 0F38 27 W1: vptestnmq K,Hx,Wx
E F3 0F38 28 r W0: vpmovm2b Vx,KR
E F3 0F38 28 r W1: vpmovm2w Vx,KR
E F3 0F38 29 r W0: vpmovb2m K,Ux
E F3 0F38 29 r W1: vpmovw2m K,Ux
E 66 0F38 29 W1: vpcmpeqq K,Hx,Wx
E F3 0F38 2A r W1: vpbroadcastmb2q Vx,KR
E 66 0F38 2C W0: vscalefps Vx,Hx,Wx
E 66 0F38 2C W1: vscalefpd Vx,Hx,Wx
E 66 0F38 2D W0: vscalefss Vdq,Hdq,Wss
E 66 0F38 2D W1: vscalefsd Vdq,Hdq,Wsd
E F3 0F38 30 W0: vpmovwb Wh,Vx
E F3 0F38 31 W0: vpmovdb Wf4,Vx
E F3 0F38 32 W0: vpmovqb Wf8,Vx
E F3 0F38 33 W0: vpmovdw Wh,Vx
E F3 0F38 34 W0: vpmovqw Wf4,Vx
E F3 0F38 35 W0: vpmovqd Wh,Vx
E 66 0F38 36 W0: vpermd Vx,Hx,Wx
E 66 0F38 36 W1: vpermq Vx,Hx,Wx
E 66 0F38 37 W1: vpcmpgtq K,Hx,Wx
E F3 0F38 38 r W0: vpmovm2d Vx,KR
E F3 0F38 38 r W1: vpmovm2q Vx,KR
E F3 0F38 39 r W0: vpmovd2m K,Ux
E F3 0F38 39 r W1: vpmovq2m K,Ux
E 66 0F38 39 W0: vpminsd Vx,Hx,Wx
E 66 0F38 39 W1: vpminsq Vx,Hx,Wx
E F3 0F38 3A r W0: vpbroadcastmw2d Vx,KR
E 66 0F38 3B W0: vpminud Vx,Hx,Wx
E 66 0F38 3B W1: vpminuq Vx,Hx,Wx
E 66 0F38 3D W0: vpmaxsd Vx,Hx,Wx
E 66 0F38 3D W1: vpmaxsq Vx,Hx,Wx
E 66 0F38 3F W0: vpmaxud Vx,Hx,Wx
E 66 0F38 3F W1: vpmaxuq Vx,Hx,Wx
E 66 0F38 40 W0: vpmulld Vx,Hx,Wx
E 66 0F38 40 W1: vpmullq Vx,Hx,Wx
E 66 0F38 42 W0: vgetexpps Vx,Wx
E 66 0F38 42 W1: vgetexppd Vx,Wx
E 66 0F38 43 W0: vgetexpss Vdq,Hdq,Wss
E 66 0F38 43 W1: vgetexpsd Vdq,Hdq,Wsd
E 66 0F38 44 W0: vplzcntd Vx,Wx
E 66 0F38 44 W1: vplzcntq Vx,Wx
E 66 0F38 45 W0: vpsrlvd Vx,Hx,Wx
E 66 0F38 45 W1: vpsrlvq Vx,Hx,Wx
E 66 0F38 46 W0: vpsravd Vx,Hx,Wx
E 66 0F38 46 W1: vpsravq Vx,Hx,Wx
E 66 0F38 47 W0: vpsllvd Vx,Hx,Wx
E 66 0F38 47 W1: vpsllvq Vx,Hx,Wx
E 66 0F38 4C W0: vrcp14ps Vx,Wx
E 66 0F38 4C W1: vrcp14pd Vx,Wx
E 66 0F38 4D W0: vrcp14ss Vdq,Hdq,Wss
E 66 0F38 4D W1: vrcp14sd Vdq,Hdq,Wsd
E 66 0F38 4E W0: vrsqrt14ps Vx,Wx
E 66 0F38 4E W1: vrsqrt14pd Vx,Wx
E 66 0F38 4F W0: vrsqrt14ss Vdq,Hdq,Wss
E 66 0F38 4F W1: vrsqrt14sd Vdq,Hdq,Wsd
VE 66 0F38 50 W0: vpdpbusd Vx,Hx,Wx
VE 66 0F38 51 W0: vpdpbusds Vx,Hx,Wx
VE 66 0F38 52 W0: vpdpwssd Vx,Hx,Wx
VE 66 0F38 53 W0: vpdpwssds Vx,Hx,Wx
E 66 0F38 54 W0: vpopcntb Vx,Wx
E 66 0F38 54 W1: vpopcntw Vx,Wx
E 66 0F38 55 W0: vpopcntd Vx,Wx
E 66 0F38 55 W1: vpopcntq Vx,Wx
E 66 0F38 58 W0: vpbroadcastd Vx,Wd
E 66 0F38 59 W0: vbroadcasti32x2 Vx,Wq
E 66 0F38 59 W1: vpbroadcastq Vx,Wq
E 66 0F38 5A m W0: vbroadcasti32x4 Vx,Mdq
E 66 0F38 5A m W1: vbroadcasti64x2 Vx,Mdq
E 66 0F38 5B m W0: vbroadcasti32x8 Voo,Mqq
E 66 0F38 5B m W1: vbroadcasti64x4 Voo,Mqq
E 66 0F38 62 W0: vpexpandb Vx,Wx
E 66 0F38 62 W1: vpexpandw Vx,Wx
E 66 0F38 63 W0: vpcompressb Wx,Vx
E 66 0F38 63 W1: vpcompressw Wx,Vx
E 66 0F38 64 W0: vpblendmd Vx,Hx,Wx
E 66 0F38 64 W1: vpblendmq Vx,Hx,Wx
E 66 0F38 65 W0: vblendmps Vx,Hx,Wx
E 66 0F38 65 W1: vblendmpd Vx,Hx,Wx
E 66 0F38 66 W0: vpblendmb Vx,Hx,Wx
E 66 0F38 66 W1: vpblendmw Vx,Hx,Wx
E 66 0F38 70 W1: vpshldvw Vx,Hx,Wx
E 66 0F38 71 W0: vpshldvd Vx,Hx,Wx
E 66 0F38 71 W1: vpshldvq Vx,Hx,Wx
E 66 0F38 72 W1: vpshrdvw Vx,Hx,Wx
E 66 0F38 73 W0: vpshrdvd Vx,Hx,Wx
E 66 0F38 73 W1: vpshrdvq Vx,Hx,Wx
E 66 0F38 75 W0: vpermi2b Vx,Hx,Wx
E 66 0F38 75 W1: vpermi2w Vx,Hx,Wx
E 66 0F38 76 W0: vpermi2d Vx,Hx,Wx
E 66 0F38 76 W1: vpermi2q Vx,Hx,Wx
E 66 0F38 77 W0: vpermi2ps Vx,Hx,Wx
E 66 0F38 77 W1: vpermi2pd Vx,Hx,Wx
E 66 0F38 78 W0: vpbroadcastb Vx,Wb
E 66 0F38 79 W0: vpbroadcastw Vx,Ww
E 66 0F38 7A r W0: vpbroadcastb Vx,Rd
E 66 0F38 7B r W0: vpbroadcastw Vx,Rd
E 66 0F38 7C r W0: vpbroadcastd Vx,Rd
E 66 0F38 7C r W1: vpbroadcastq Vx,Rq
E 66 0F38 7D W0: vpermt2b Vx,Hx,Wx
E 66 0F38 7D W1: vpermt2w Vx,Hx,Wx
E 66 0F38 7E W0: vpermt2d Vx,Hx,Wx
E 66 0F38 7E W1: vpermt2q Vx,Hx,Wx
E 66 0F38 7F W0: vpermt2ps Vx,Hx,Wx
E 66 0F38 7F W1: vpermt2pd Vx,Hx,Wx
E 66 0F38 83 W1: vpmultishiftqb Vx,Hx,Wx
E 66 0F38 88 W0: vexpandps Vx,Wx
E 66 0F38 88 W1: vexpandpd Vx,Wx
E 66 0F38 89 W0: vpexpandd Vx,Wx
E 66 0F38 89 W1: vpexpandq Vx,Wx
E 66 0F38 8A W0: vcompressps Wx,Vx
E 66 0F38 8A W1: vcompresspd Wx,Vx
E 66 0F38 8B W0: vpcompressd Wx,Vx
E 66 0F38 8B W1: vpcompressq Wx,Vx
E 66 0F38 8D W0: vpermb Vx,Hx,Wx
E 66 0F38 8D W1: vpermw Vx,Hx,Wx
E 66 0F38 8F W0: vpshufbitqmb K,Hx,Wx
E 66 0F38 90 W0: vpgatherdd Vx,Vsibx
E 66 0F38 90 W1: vpgatherdq Vx,Vsibx
E 66 0F38 91 W0: vpgatherqd Vx,Vsibx
E 66 0F38 91 W1: vpgatherqq Vx,Vsibx
E 66 0F38 92 W0: vgatherdps Vx,Vsibx
E 66 0F38 92 W1: vgatherdpd Vx,Vsibx
E 66 0F38 93 W0: vgatherqps Vx,Vsibx
E 66 0F38 93 W1: vgatherqpd Vx,Vsibx
E 66 0F38 A0 W0: vpscatterdd Vsibx,Vx
E 66 0F38 A0 W1: vpscatterdq Vsibx,Vx
E 66 0F38 A1 W0: vpscatterqd Vsibx,Vx
E 66 0F38 A1 W1: vpscatterqq Vsibx,Vx
E 66 0F38 A2 W0: vscatterdps Vsibx,Vx
E 66 0F38 A2 W1: vscatterdpd Vsibx,Vx
E 66 0F38 A3 W0: vscatterqps Vsibx,Vx
E 66 0F38 A3 W1: vscatterqpd Vsibx,Vx
E 66 0F38 B4 W1: vpmadd52luq Vx,Hx,Wx
E 66 0F38 B5 W1: vpmadd52huq Vx,Hx,Wx
E 66 0F38 C4 W0: vpconflictd Vx,Wx
E 66 0F38 C4 W1: vpconflictq Vx,Wx

E 66 0F3A 00 W1: vpermq Vx,Wx,Ib
E 66 0F3A 01 W1: vpermpd Vx,Wx,Ib
E 66 0F3A 03 W0: valignd Vx,Hx,Wx,Ib
E 66 0F3A 03 W1: valignq Vx,Hx,Wx,Ib
E 66 0F3A 04 W0: vpermilps Vx,Wx,Ib
E 66 0F3A 05 W1: vpermilpd Vx,Wx,Ib
E 66 0F3A 08 W0: vrndscaleps Vx,Wx,Ib
E 66 0F3A 09 W1: vrndscalepd Vx,Wx,Ib
E 66 0F3A 0A W0: vrndscaless Vdq,Hdq,Wss,Ib
E 66 0F3A 0B W1: vrndscalesd Vdq,Hdq,Wsd,Ib
E 66 0F3A 18 W0: vinsertf32x4 Vx,Hx,Wdq,Ib
E 66 0F3A 18 W1: vinsertf64x2 Vx,Hx,Wdq,Ib
E 66 0F3A 19 W0: vextractf32x4 Wdq,Vx,Ib
E 66 0F3A 19 W1: vextractf64x2 Wdq,Vx,Ib
E 66 0F3A 1A W0: vinsertf32x8 Voo,Hoo,Wqq,Ib
E 66 0F3A 1A W1: vinsertf64x4 Voo,Hoo,Wqq,Ib
E 66 0F3A 1B W0: vextractf32x8 Wqq,Voo,Ib
E 66 0F3A 1B W1: vextractf64x4 Wqq,Voo,Ib
E 66 0F3A 1D W0: vcvtps2ph Wh,Vx,Ib
E 66 0F3A 1E W0: vpcmpud K,Hx,Wx,Ib
E 66 0F3A 1E W1: vpcmpuq K,Hx,Wx,Ib
E 66 0F3A 1F W0: vpcmpd K,Hx,Wx,Ib
E 66 0F3A 1F W1: vpcmpq K,Hx,Wx,Ib
E 66 0F3A 23 W0: vshuff32x4 Vx,Hx,Wx,Ib
E 66 0F3A 23 W1: vshuff64x2 Vx,Hx,Wx,Ib
E 66 0F3A 25 W0: vpternlogd Vx,Hx,Wx,Ib
E 66 0F3A 25 W1: vpternlogq Vx,Hx,Wx,Ib
E 66 0F3A 26 W0: vgetmantps Vx,Wx,Ib
E 66 0F3A 26 W1: vgetmantpd Vx,Wx,Ib
E 66 0F3A 27 W0: vgetmantss Vdq,Hdq,Wss,Ib
E 66 0F3A 27 W1: vgetmantsd Vdq,Hdq,Wsd,Ib
E 66 0F3A 38 W0: vinserti32x4 Vx,Hx,Wdq,Ib
E 66 0F3A 38 W1: vinserti64x2 Vx,Hx,Wdq,Ib
E 66 0F3A 39 W0: vextracti32x4 Wdq,Vx,Ib
E 66 0F3A 39 W1: vextracti64x2 Wdq,Vx,Ib
E 66 0F3A 3A W0: vinserti32x8 Voo,Hoo,Wqq,Ib
E 66 0F3A 3A W1: vinserti64x4 Voo,Hoo,Wqq,Ib
E 66 0F3A 3B W0: vextracti32x8 Wqq,Voo,Ib
E 66 0F3A 3B W1: vextracti64x4 Wqq,Voo,Ib
E 66 0F3A 3E W0: vpcmpub K,Hx,Wx,Ib
E 66 0F3A 3E W1: vpcmpuw K,Hx,Wx,Ib
E 66 0F3A 3F W0: vpcmpb K,Hx,Wx,Ib
E 66 0F3A 3F W1: vpcmpw K,Hx,Wx,Ib
E 66 0F3A 42 W0: vdbpsadbw Vx,Hx,Wx,Ib
E 66 0F3A 43 W0: vshufi32x4 Vx,Hx,Wx,Ib
E 66 0F3A 43 W1: vshufi64x2 Vx,Hx,Wx,Ib
E 66 0F3A 50 W0: vrangeps Vx,Hx,Wx,Ib
E 66 0F3A 50 W1: vrangepd Vx,Hx,Wx,Ib
E 66 0F3A 51 W0: vrangess Vdq,Hdq,Wss,Ib
E 66 0F3A 51 W1: vrangesd Vdq,Hdq,Wsd,Ib
E 66 0F3A 54 W0: vfixupimmps Vx,Hx,Wx,Ib
E 66 0F3A 54 W1: vfixupimmpd Vx,Hx,Wx,Ib
E 66 0F3A 55 W0: vfixupimmss Vdq,Hdq,Wss,Ib
E 66 0F3A 55 W1: vfixupimmsd Vdq,Hdq,Wsd,Ib
E 66 0F3A 56 W0: vreduceps Vx,Wx,Ib
E 66 0F3A 56 W1: vreducepd Vx,Wx,Ib
E 66 0F3A 57 W0: vreducess Vdq,Hdq,Wss,Ib
E 66 0F3A 57 W1: vreducesd Vdq,Hdq,Wsd,Ib
E 66 0F3A 66 W0: vfpclassps K,Wx,Ib
E 66 0F3A 66 W1: vfpclasspd K,Wx,Ib
E 66 0F3A 67 W0: vfpclassss K,Wss,Ib
E 66 0F3A 67 W1: vfpclasssd K,Wsd,Ib
E 66 0F3A 70 W1: vpshldw Vx,Hx,Wx,Ib
E 66 0F3A 71 W0: vpshldd Vx,Hx,Wx,Ib
E 66 0F3A 71 W1: vpshldq Vx,Hx,Wx,Ib
E 66 0F3A 72 W1: vpshrdw Vx,Hx,Wx,Ib
E 66 0F3A 73 W0: vpshrdd Vx,Hx,Wx,Ib
E 66 0F3A 73 W1: vpshrdq Vx,Hx,Wx,Ib
)";

}  // namespace Reporter::Decoder::Internal
