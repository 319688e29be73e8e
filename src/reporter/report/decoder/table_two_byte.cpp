// The 0F map with its legacy SSE forms; the lines marked LV/LVE give the VEX (and EVEX) forms
// of the same opcode too.
#include "reporter/report/decoder/opcode_table.h"

namespace Reporter::Decoder::Internal {

const char* const kTwoByteTable = R"(
0F 00 /0: sldt Ev
0F 00 /1: str Ev
0F 00 /2: lldt Ew
0F 00 /3: ltr Ew
0F 00 /4: verr Ew
0F 00 /5: verw Ew
0F 01 /0 m: sgdt Ms
0F 01 /1 m: sidt Ms
0F 01 /2 m: lgdt Ms
0F 01 /3 m: lidt Ms
0F 01 /4: smsw Ev
F3 0F 01 /5 m: rstorssp Mq
0F 01 /6: lmsw Ew
0F 01 /7 m: invlpg Mb
0F 01 C0: enclv
0F 01 C1: vmcall
0F 01 C2: vmlaunch
0F 01 C3: vmresume
0F 01 C4: vmxoff
0F 01 C5: pconfig
0F 01 C8: monitor
0F 01 C9: mwait
0F 01 CA: clac
0F 01 CB: stac
0F 01 CF: encls
0F 01 D0: xgetbv
0F 01 D1: xsetbv
0F 01 D4: vmfunc
0F 01 D5: xend
0F 01 D6: xtest
0F 01 D7: enclu
0F 01 D8: vmrun
0F 01 D9: vmmcall
0F 01 DA: vmload
0F 01 DB: vmsave
0F 01 DC: stgi
0F 01 DD: clgi
0F 01 DE: skinit
0F 01 DF: invlpga
NP 0F 01 E8: serialize
F3 0F 01 E8: setssbsy
F2 0F 01 E8: xsusldtrk
F3 0F 01 EA: saveprevssp
0F 01 EE: rdpkru
0F 01 EF: wrpkru
0F 01 F8 o64: swapgs
0F 01 F9: rdtscp
0F 01 FA: monitorx
0F 01 FB: mwaitx
0F 01 FC: clzero
0F 01 FD: rdpru
0F 01 FE: invlpgb
0F 01 FF: tlbsync
0F 02: lar Gv,Ew
0F 03: lsl Gv,Ew
0F 05: syscall
0F 06: clts
0F 07: sysret ; ret
0F 08: invd
0F 09: wbinvd
0F 0B: ud2 ; stop
0F 0D /1 m: prefetchw Mb
0F 0D /2 m: prefetchwt1 Mb
0F 0D m: prefetch Mb
0F 0D r: nop Ev,Gv
0F 0E: femms

LV NP 0F 10: vmovups Vx,Wx
LV 66 0F 10: vmovupd Vx,Wx
LV F3 0F 10 m: vmovss Vdq,Md
LV F3 0F 10 r: vmovss Vdq,Hdq,Udq
LV F2 0F 10 m: vmovsd Vdq,Mq
LV F2 0F 10 r: vmovsd Vdq,Hdq,Udq
LV NP 0F 11: vmovups Wx,Vx
LV 66 0F 11: vmovupd Wx,Vx
LV F3 0F 11 m: vmovss Md,Vdq
LV F3 0F 11 r: vmovss Udq,Hdq,Vdq
LV F2 0F 11 m: vmovsd Mq,Vdq
LV F2 0F 11 r: vmovsd Udq,Hdq,Vdq
LV NP 0F 12 m L0: vmovlps Vdq,Hdq,Mq
LV NP 0F 12 r L0: vmovhlps Vdq,Hdq,Udq
LV 66 0F 12 m L0: vmovlpd Vdq,Hdq,Mq
LV F3 0F 12: vmovsldup Vx,Wx
LV F2 0F 12: vmovddup Vx,Wx
LV NP 0F 13 m L0: vmovlps Mq,Vdq
LV 66 0F 13 m L0: vmovlpd Mq,Vdq
LVE NP 0F 14: vunpcklps Vx,Hx,Wx
LVE 66 0F 14: vunpcklpd Vx,Hx,Wx
LVE NP 0F 15: vunpckhps Vx,Hx,Wx
LVE 66 0F 15: vunpckhpd Vx,Hx,Wx
LV NP 0F 16 m L0: vmovhps Vdq,Hdq,Mq
LV NP 0F 16 r L0: vmovlhps Vdq,Hdq,Udq
LV 66 0F 16 m L0: vmovhpd Vdq,Hdq,Mq
LV F3 0F 16: vmovshdup Vx,Wx
LV NP 0F 17 m L0: vmovhps Mq,Vdq
LV 66 0F 17 m L0: vmovhpd Mq,Vdq
0F 18 /0 m: prefetchnta Mb
0F 18 /1 m: prefetcht0 Mb
0F 18 /2 m: prefetcht1 Mb
0F 18 /3 m: prefetcht2 Mb
0F 18: nop Ev,Gv
0F 19: nop Ev,Gv
NP 0F 1A m: bndldx Bnd,Me ; norip
F3 0F 1A: bndcl Bnd,Ey
F2 0F 1A: bndcu Bnd,Ey
66 0F 1A: bndmov Bnd,BndW
0F 1A: nop Ev,Gv
NP 0F 1B m: bndstx Me,Bnd ; norip
F3 0F 1B m: bndmk Bnd,Me
F2 0F 1B: bndcn Bnd,Ey
66 0F 1B: bndmov BndW,Bnd
0F 1B: nop Ev,Gv
NP 0F 1C /0 m: cldemote Mb
0F 1C: nop Ev,Gv
0F 1D: nop Ev,Gv
F3 0F 1E FA: endbr64
F3 0F 1E FB: endbr32
F3 0F 1E /1 r W1: rdsspq Rq
F3 0F 1E /1 r: rdsspd Rd
0F 1E: nop Ev,Gv
0F 1F: nop Ev,Gv
0F 20: mov Rcn,Cn
0F 21: mov Rcn,Dn
0F 22: mov Cn,Rcn
0F 23: mov Dn,Rcn

LVE NP 0F 28: vmovaps Vx,Wx
LVE 66 0F 28: vmovapd Vx,Wx
LVE NP 0F 29: vmovaps Wx,Vx
LVE 66 0F 29: vmovapd Wx,Vx
NP 0F 2A: cvtpi2ps Vdq,Qq
66 0F 2A: cvtpi2pd Vdq,Qq
LVE F3 0F 2A: vcvtsi2ss Vdq,Hdq,Ey
LVE F2 0F 2A: vcvtsi2sd Vdq,Hdq,Ey
LVE NP 0F 2B m: vmovntps Mx,Vx
LVE 66 0F 2B m: vmovntpd Mx,Vx
F3 0F 2B m: movntss Md,Vdq
F2 0F 2B m: movntsd Mq,Vdq
NP 0F 2C: cvttps2pi Pq,Wq
66 0F 2C: cvttpd2pi Pq,Wdq
LVE F3 0F 2C: vcvttss2si Gy,Wss
LVE F2 0F 2C: vcvttsd2si Gy,Wsd
NP 0F 2D: cvtps2pi Pq,Wq
66 0F 2D: cvtpd2pi Pq,Wdq
LVE F3 0F 2D: vcvtss2si Gy,Wss
LVE F2 0F 2D: vcvtsd2si Gy,Wsd
LVE NP 0F 2E: vucomiss Vdq,Wss
LVE 66 0F 2E: vucomisd Vdq,Wsd
LVE NP 0F 2F: vcomiss Vdq,Wss
LVE 66 0F 2F: vcomisd Vdq,Wsd
0F 30: wrmsr
0F 31: rdtsc
0F 32: rdmsr
0F 33: rdpmc
0F 34: sysenter
0F 35: sysexit ; ret
NP 0F 37: getsec
0F 40+cc: cmov%cc Gv,Ev

LV NP 0F 50 r: vmovmskps Gd,Ux
LV 66 0F 50 r: vmovmskpd Gd,Ux
LVE NP 0F 51: vsqrtps Vx,Wx
LVE 66 0F 51: vsqrtpd Vx,Wx
LVE F3 0F 51: vsqrtss Vdq,Hdq,Wss
LVE F2 0F 51: vsqrtsd Vdq,Hdq,Wsd
LV NP 0F 52: vrsqrtps Vx,Wx
LV F3 0F 52: vrsqrtss Vdq,Hdq,Wss
LV NP 0F 53: vrcpps Vx,Wx
LV F3 0F 53: vrcpss Vdq,Hdq,Wss
LV NP 0F 54: vandps Vx,Hx,Wx
LV 66 0F 54: vandpd Vx,Hx,Wx
LV NP 0F 55: vandnps Vx,Hx,Wx
LV 66 0F 55: vandnpd Vx,Hx,Wx
LV NP 0F 56: vorps Vx,Hx,Wx
LV 66 0F 56: vorpd Vx,Hx,Wx
LV NP 0F 57: vxorps Vx,Hx,Wx
LV 66 0F 57: vxorpd Vx,Hx,Wx
LVE NP 0F 58: vaddps Vx,Hx,Wx
LVE 66 0F 58: vaddpd Vx,Hx,Wx
LVE F3 0F 58: vaddss Vdq,Hdq,Wss
LVE F2 0F 58: vaddsd Vdq,Hdq,Wsd
LVE NP 0F 59: vmulps Vx,Hx,Wx
LVE 66 0F 59: vmulpd Vx,Hx,Wx
LVE F3 0F 59: vmulss Vdq,Hdq,Wss
LVE F2 0F 59: vmulsd Vdq,Hdq,Wsd
LVE NP 0F 5A: vcvtps2pd Vx,Wh
LVE 66 0F 5A: vcvtpd2ps Vh,Wx
LVE F3 0F 5A: vcvtss2sd Vdq,Hdq,Wss
LVE F2 0F 5A: vcvtsd2ss Vdq,Hdq,Wsd
LV NP 0F 5B: vcvtdq2ps Vx,Wx
LVE 66 0F 5B: vcvtps2dq Vx,Wx
LVE F3 0F 5B: vcvttps2dq Vx,Wx
LVE NP 0F 5C: vsubps Vx,Hx,Wx
LVE 66 0F 5C: vsubpd Vx,Hx,Wx
LVE F3 0F 5C: vsubss Vdq,Hdq,Wss
LVE F2 0F 5C: vsubsd Vdq,Hdq,Wsd
LVE NP 0F 5D: vminps Vx,Hx,Wx
LVE 66 0F 5D: vminpd Vx,Hx,Wx
LVE F3 0F 5D: vminss Vdq,Hdq,Wss
LVE F2 0F 5D: vminsd Vdq,Hdq,Wsd
LVE NP 0F 5E: vdivps Vx,Hx,Wx
LVE 66 0F 5E: vdivpd Vx,Hx,Wx
LVE F3 0F 5E: vdivss Vdq,Hdq,Wss
LVE F2 0F 5E: vdivsd Vdq,Hdq,Wsd
LVE NP 0F 5F: vmaxps Vx,Hx,Wx
LVE 66 0F 5F: vmaxpd Vx,Hx,Wx
LVE F3 0F 5F: vmaxss Vdq,Hdq,Wss
LVE F2 0F 5F: vmaxsd Vdq,Hdq,Wsd

@mmxe 60 vpunpcklbw
@mmxe 61 vpunpcklwd
@mmx 62 vpunpckldq
@mmxe 63 vpacksswb
@mmx 64 vpcmpgtb
@mmx 65 vpcmpgtw
@mmx 66 vpcmpgtd
@mmxe 67 vpackuswb
@mmxe 68 vpunpckhbw
@mmxe 69 vpunpckhwd
@mmx 6A vpunpckhdq
@mmx 6B vpackssdw
LV 66 0F 6C: vpunpcklqdq Vx,Hx,Wx
LV 66 0F 6D: vpunpckhqdq Vx,Hx,Wx
NP 0F 6E W1: movq Pq,Ey
NP 0F 6E: movd Pq,Ey
LVE 66 0F 6E W1 L0: vmovq Vdq,Ey
LVE 66 0F 6E L0: vmovd Vdq,Ey
NP 0F 6F: movq Pq,Qq
LV 66 0F 6F: vmovdqa Vx,Wx
LV F3 0F 6F: vmovdqu Vx,Wx
NP 0F 70: pshufw Pq,Qq,Ib
LVE 66 0F 70: vpshufd Vx,Wx,Ib
LVE F3 0F 70: vpshufhw Vx,Wx,Ib
LVE F2 0F 70: vpshuflw Vx,Wx,Ib
NP 0F 71 /2: psrlw Nq,Ib
NP 0F 71 /4: psraw Nq,Ib
NP 0F 71 /6: psllw Nq,Ib
LV 66 0F 71 /2: vpsrlw Hx,Ux,Ib
LV 66 0F 71 /4: vpsraw Hx,Ux,Ib
LV 66 0F 71 /6: vpsllw Hx,Ux,Ib
NP 0F 72 /2: psrld Nq,Ib
NP 0F 72 /4: psrad Nq,Ib
NP 0F 72 /6: pslld Nq,Ib
LV 66 0F 72 /2: vpsrld Hx,Ux,Ib
LV 66 0F 72 /4: vpsrad Hx,Ux,Ib
LV 66 0F 72 /6: vpslld Hx,Ux,Ib
NP 0F 73 /2: psrlq Nq,Ib
NP 0F 73 /6: psllq Nq,Ib
LV 66 0F 73 /2: vpsrlq Hx,Ux,Ib
LV 66 0F 73 /3: vpsrldq Hx,Ux,Ib
LV 66 0F 73 /6: vpsllq Hx,Ux,Ib
LV 66 0F 73 /7: vpslldq Hx,Ux,Ib
@mmx 74 vpcmpeqb
@mmx 75 vpcmpeqw
@mmx 76 vpcmpeqd
NP 0F 77: emms
NP 0F 78: vmread Ey,Gy ; f64
66 0F 78 /0 r: extrq Udq,Ib,Ib
F2 0F 78 r: insertq Vdq,Udq,Ib,Ib
NP 0F 79: vmwrite Gy,Ey ; f64
66 0F 79 r: extrq Vdq,Udq
F2 0F 79 r: insertq Vdq,Udq
LV 66 0F 7C: vhaddpd Vx,Hx,Wx
LV F2 0F 7C: vhaddps Vx,Hx,Wx
LV 66 0F 7D: vhsubpd Vx,Hx,Wx
LV F2 0F 7D: vhsubps Vx,Hx,Wx
NP 0F 7E W1: movq Ey,Pq
NP 0F 7E: movd Ey,Pq
LVE 66 0F 7E W1 L0: vmovq Ey,Vdq
LVE 66 0F 7E L0: vmovd Ey,Vdq
LV F3 0F 7E L0: vmovq Vdq,Wq
NP 0F 7F: movq Qq,Pq
LV 66 0F 7F: vmovdqa Wx,Vx
LV F3 0F 7F: vmovdqu Wx,Vx

0F 80+cc: j%cc Jz ; jcc f64
0F 90+cc: set%cc Eb
0F A0: push FS ; d64
0F A1: pop FS ; d64
0F A2: cpuid
0F A3: bt Ev,Gv
0F A4: shld Ev,Gv,Ib
0F A5: shld Ev,Gv,CL
0F A8: push GS ; d64
0F A9: pop GS ; d64
0F AA: rsm
0F AB: bts Ev,Gv ; lock
0F AC: shrd Ev,Gv,Ib
0F AD: shrd Ev,Gv,CL
NP 0F AE /0 m W1: fxsave64 Me
NP 0F AE /1 m W1: fxrstor64 Me
NP 0F AE /4 m W1: xsave64 Me
NP 0F AE /5 m W1: xrstor64 Me
NP 0F AE /6 m W1: xsaveopt64 Me
NP 0F AE /0 m: fxsave Me
NP 0F AE /1 m: fxrstor Me
LV NP 0F AE /2 m L0: vldmxcsr Md
LV NP 0F AE /3 m L0: vstmxcsr Md
NP 0F AE /4 m: xsave Me
NP 0F AE /5 m: xrstor Me
NP 0F AE /6 m: xsaveopt Me
NP 0F AE /7 m: clflush Mb
66 0F AE /6 m: clwb Mb
66 0F AE /7 m: clflushopt Mb
F3 0F AE /4 m: ptwrite Ey
F3 0F AE /6 m: clrssbsy Mq
NP 0F AE /5 r: lfence
NP 0F AE /6 r: mfence
NP 0F AE /7 r: sfence
F3 0F AE /0 r o64: rdfsbase Ry
F3 0F AE /1 r o64: rdgsbase Ry
F3 0F AE /2 r o64: wrfsbase Ry
F3 0F AE /3 r o64: wrgsbase Ry
F3 0F AE /5 r W1: incsspq Rq
F3 0F AE /5 r: incsspd Rd
66 0F AE /6 r: tpause Rd
F3 0F AE /6 r: umonitor Rv
F2 0F AE /6 r: umwait Rd
0F A7 C0: xstore
F3 0F A7 C8: xcryptecb
F3 0F A7 D0: xcryptcbc
F3 0F A7 D8: xcryptctr
F3 0F A7 E0: xcryptcfb
F3 0F A7 E8: xcryptofb
F3 0F A6 C0: montmul
F3 0F A6 C8: xsha1
F3 0F A6 D0: xsha256
0F AF: imul Gv,Ev
0F B0: cmpxchg Eb,Gb ; lock
0F B1: cmpxchg Ev,Gv ; lock
0F B2: lss Gv,Mp
0F B3: btr Ev,Gv ; lock
0F B4: lfs Gv,Mp
0F B5: lgs Gv,Mp
0F B6: movzx Gv,Eb
0F B7: movzx Gv,Ew
F3 0F B8: popcnt Gv,Ev
0F B9: ud1 Gv,Ev ; stop
0F BA /4: bt Ev,Ib
0F BA /5: bts Ev,Ib ; lock
0F BA /6: btr Ev,Ib ; lock
0F BA /7: btc Ev,Ib ; lock
0F BB: btc Ev,Gv ; lock
F3 0F BC: tzcnt Gv,Ev
0F BC: bsf Gv,Ev
F3 0F BD: lzcnt Gv,Ev
0F BD: bsr Gv,Ev
0F BE: movsx Gv,Eb
0F BF: movsx Gv,Ew
0F C0: xadd Eb,Gb ; lock
0F C1: xadd Ev,Gv ; lock
LVE NP 0F C2: vcmpps Vx,Hx,Wx,Ib
LVE 66 0F C2: vcmppd Vx,Hx,Wx,Ib
LVE F3 0F C2: vcmpss Vdq,Hdq,Wss,Ib
LVE F2 0F C2: vcmpsd Vdq,Hdq,Wsd,Ib
NP 0F C3 m: movnti My,Gy
NP 0F C4: pinsrw Pq,Ew,Ib
LVE 66 0F C4 L0: vpinsrw Vdq,Hdq,Ew,Ib
NP 0F C5 r: pextrw Gd,Nq,Ib
LVE 66 0F C5 r L0: vpextrw Gd,Udq,Ib
LVE NP 0F C6: vshufps Vx,Hx,Wx,Ib
LVE 66 0F C6: vshufpd Vx,Hx,Wx,Ib
0F C7 /1 m W1: cmpxchg16b Mdq ; lock
0F C7 /1 m: cmpxchg8b Mq ; lock
NP 0F C7 /3 m W1: xrstors64 Me
NP 0F C7 /3 m: xrstors Me
NP 0F C7 /4 m W1: xsavec64 Me
NP 0F C7 /4 m: xsavec Me
NP 0F C7 /5 m W1: xsaves64 Me
NP 0F C7 /5 m: xsaves Me
NP 0F C7 /6 m: vmptrld Mq
66 0F C7 /6 m: vmclear Mq
F3 0F C7 /6 m: vmxon Mq
NP 0F C7 /7 m: vmptrst Mq
0F C7 /6 r: rdrand Rv
F3 0F C7 /7 r: rdpid Rn
0F C7 /7 r: rdseed Rv
0F C8+r: bswap Zy

LV 66 0F D0: vaddsubpd Vx,Hx,Wx
LV F2 0F D0: vaddsubps Vx,Hx,Wx
NP 0F D1: psrlw Pq,Qq
LVE 66 0F D1: vpsrlw Vx,Hx,Wdq
NP 0F D2: psrld Pq,Qq
LV 66 0F D2: vpsrld Vx,Hx,Wdq
NP 0F D3: psrlq Pq,Qq
LV 66 0F D3: vpsrlq Vx,Hx,Wdq
@mmx D4 vpaddq
@mmxe D5 vpmullw
LV 66 0F D6 L0: vmovq Wq,Vdq
F3 0F D6 r: movq2dq Vdq,Nq
F2 0F D6 r: movdq2q Pq,Udq
NP 0F D7 r: pmovmskb Gd,Nq
LV 66 0F D7 r: vpmovmskb Gd,Ux
@mmxe D8 vpsubusb
@mmxe D9 vpsubusw
@mmxe DA vpminub
@mmx DB vpand
@mmxe DC vpaddusb
@mmxe DD vpaddusw
@mmxe DE vpmaxub
@mmx DF vpandn
@mmxe E0 vpavgb
NP 0F E1: psraw Pq,Qq
LVE 66 0F E1: vpsraw Vx,Hx,Wdq
NP 0F E2: psrad Pq,Qq
LV 66 0F E2: vpsrad Vx,Hx,Wdq
@mmxe E3 vpavgw
@mmxe E4 vpmulhuw
@mmxe E5 vpmulhw
LVE 66 0F E6: vcvttpd2dq Vh,Wx
LVE F3 0F E6: vcvtdq2pd Vx,Wh
LVE F2 0F E6: vcvtpd2dq Vh,Wx
NP 0F E7 m: movntq Mq,Pq
LVE 66 0F E7 m: vmovntdq Mx,Vx
@mmxe E8 vpsubsb
@mmxe E9 vpsubsw
@mmxe EA vpminsw
@mmx EB vpor
@mmxe EC vpaddsb
@mmxe ED vpaddsw
@mmxe EE vpmaxsw
@mmx EF vpxor
LV F2 0F F0 m: vlddqu Vx,Mx
NP 0F F1: psllw Pq,Qq
LVE 66 0F F1: vpsllw Vx,Hx,Wdq
NP 0F F2: pslld Pq,Qq
LV 66 0F F2: vpslld Vx,Hx,Wdq
NP 0F F3: psllq Pq,Qq
LV 66 0F F3: vpsllq Vx,Hx,Wdq
@mmx F4 vpmuludq
@mmxe F5 vpmaddwd
@mmxe F6 vpsadbw
NP 0F F7 r: maskmovq Pq,Nq
LV 66 0F F7 r L0: vmaskmovdqu Vdq,Udq
@mmxe F8 vpsubb
@mmxe F9 vpsubw
@mmx FA vpsubd
@mmx FB vpsubq
@mmxe FC vpaddb
@mmxe FD vpaddw
@mmx FE vpaddd
0F FF: ud0 Gd,Ed ; stop
)";

}  // namespace Reporter::Decoder::Internal
