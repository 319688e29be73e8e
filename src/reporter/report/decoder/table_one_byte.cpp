// The one-byte opcode map (the x87 escapes D8-DF have a table of their own).
#include "reporter/report/decoder/opcode_table.h"

namespace Reporter::Decoder::Internal {

const char* const kOneByteTable = R"(
00: add Eb,Gb ; lock
01: add Ev,Gv ; lock
02: add Gb,Eb
03: add Gv,Ev
04: add AL,Ib
05: add rAX,Iz
06 i64: push ES
07 i64: pop ES
08: or Eb,Gb ; lock
09: or Ev,Gv ; lock
0A: or Gb,Eb
0B: or Gv,Ev
0C: or AL,Ib
0D: or rAX,Iz
0E i64: push CS
10: adc Eb,Gb ; lock
11: adc Ev,Gv ; lock
12: adc Gb,Eb
13: adc Gv,Ev
14: adc AL,Ib
15: adc rAX,Iz
16 i64: push SS
17 i64: pop SS
18: sbb Eb,Gb ; lock
19: sbb Ev,Gv ; lock
1A: sbb Gb,Eb
1B: sbb Gv,Ev
1C: sbb AL,Ib
1D: sbb rAX,Iz
1E i64: push DS
1F i64: pop DS
20: and Eb,Gb ; lock
21: and Ev,Gv ; lock
22: and Gb,Eb
23: and Gv,Ev
24: and AL,Ib
25: and rAX,Iz
27 i64: daa
28: sub Eb,Gb ; lock
29: sub Ev,Gv ; lock
2A: sub Gb,Eb
2B: sub Gv,Ev
2C: sub AL,Ib
2D: sub rAX,Iz
2F i64: das
30: xor Eb,Gb ; lock
31: xor Ev,Gv ; lock
32: xor Gb,Eb
33: xor Gv,Ev
34: xor AL,Ib
35: xor rAX,Iz
37 i64: aaa
38: cmp Eb,Gb
39: cmp Ev,Gv
3A: cmp Gb,Eb
3B: cmp Gv,Ev
3C: cmp AL,Ib
3D: cmp rAX,Iz
3F i64: aas
40+r i64: inc Zv
48+r i64: dec Zv
50+r: push Zv ; d64
58+r: pop Zv ; d64
60 i64: pusha/pushad
61 i64: popa/popad
62 i64: bound Gv,Me
63 i64: arpl Ew,Gw
63 o64: movsxd Gv,Ed
68: push Iz ; d64
69: imul Gv,Ev,Iz
6A: push Is ; d64
6B: imul Gv,Ev,Is
6C: insb ; str
6D: insw/insd ; str
6E: outsb ; str
6F: outsw/outsd ; str
70+cc: j%cc Jb ; jcc f64
80 /0: add Eb,Ib ; lock
80 /1: or Eb,Ib ; lock
80 /2: adc Eb,Ib ; lock
80 /3: sbb Eb,Ib ; lock
80 /4: and Eb,Ib ; lock
80 /5: sub Eb,Ib ; lock
80 /6: xor Eb,Ib ; lock
80 /7: cmp Eb,Ib
81 /0: add Ev,Iz ; lock
81 /1: or Ev,Iz ; lock
81 /2: adc Ev,Iz ; lock
81 /3: sbb Ev,Iz ; lock
81 /4: and Ev,Iz ; lock
81 /5: sub Ev,Iz ; lock
81 /6: xor Ev,Iz ; lock
81 /7: cmp Ev,Iz
82 /0 i64: add Eb,Ib ; lock
82 /1 i64: or Eb,Ib ; lock
82 /2 i64: adc Eb,Ib ; lock
82 /3 i64: sbb Eb,Ib ; lock
82 /4 i64: and Eb,Ib ; lock
82 /5 i64: sub Eb,Ib ; lock
82 /6 i64: xor Eb,Ib ; lock
82 /7 i64: cmp Eb,Ib
83 /0: add Ev,Is ; lock
83 /1: or Ev,Is ; lock
83 /2: adc Ev,Is ; lock
83 /3: sbb Ev,Is ; lock
83 /4: and Ev,Is ; lock
83 /5: sub Ev,Is ; lock
83 /6: xor Ev,Is ; lock
83 /7: cmp Ev,Is
84: test Eb,Gb
85: test Ev,Gv
86: xchg Eb,Gb ; lock
87: xchg Ev,Gv ; lock
88: mov Eb,Gb
89: mov Ev,Gv
8A: mov Gb,Eb
8B: mov Gv,Ev
8C: mov Ev,Sw
8D: lea Gv,M
8E: mov Sw,Ew
8F /0: pop Ev ; d64
F3 90: pause
90 nb: nop
90+r: xchg Zv,rAX
98: cbw/cwde/cdqe
99: cwd/cdq/cqo
9A i64: call Ap ; call far
9B: fwait
9C: pushf/pushfd/pushfq ; d64
9D: popf/popfd/popfq ; d64
9E: sahf
9F: lahf
A0: mov AL,Ob
A1: mov rAX,Ov
A2: mov Ob,AL
A3: mov Ov,rAX
A4: movsb ; str
A5: movsw/movsd/movsq ; str
A6: cmpsb ; str
A7: cmpsw/cmpsd/cmpsq ; str
A8: test AL,Ib
A9: test rAX,Iz
AA: stosb ; str
AB: stosw/stosd/stosq ; str
AC: lodsb ; str
AD: lodsw/lodsd/lodsq ; str
AE: scasb ; str
AF: scasw/scasd/scasq ; str
B0+r: mov Zb,Ib
B8+r: mov Zv,Iv
C0 /0: rol Eb,Ib
C0 /1: ror Eb,Ib
C0 /2: rcl Eb,Ib
C0 /3: rcr Eb,Ib
C0 /4: shl Eb,Ib
C0 /5: shr Eb,Ib
C0 /6: shl Eb,Ib
C0 /7: sar Eb,Ib
C1 /0: rol Ev,Ib
C1 /1: ror Ev,Ib
C1 /2: rcl Ev,Ib
C1 /3: rcr Ev,Ib
C1 /4: shl Ev,Ib
C1 /5: shr Ev,Ib
C1 /6: shl Ev,Ib
C1 /7: sar Ev,Ib
C2: ret Iw ; ret f64
C3: ret ; ret f64
C4 i64: les Gz,Mp
C5 i64: lds Gz,Mp
C6 F8: xabort Ib
C6 /0: mov Eb,Ib
C7 F8: xbegin Jz ; jcc
C7 /0: mov Ev,Iz
C8: enter Iw,Ib ; d64
C9: leave ; d64
CA: ret Iw ; ret far
CB: ret ; ret far
CC: int3 ; stop
CD: int Ib
CE i64: into
CF: iret/iretd/iretq ; ret
D0 /0: rol Eb,1
D0 /1: ror Eb,1
D0 /2: rcl Eb,1
D0 /3: rcr Eb,1
D0 /4: shl Eb,1
D0 /5: shr Eb,1
D0 /6: shl Eb,1
D0 /7: sar Eb,1
D1 /0: rol Ev,1
D1 /1: ror Ev,1
D1 /2: rcl Ev,1
D1 /3: rcr Ev,1
D1 /4: shl Ev,1
D1 /5: shr Ev,1
D1 /6: shl Ev,1
D1 /7: sar Ev,1
D2 /0: rol Eb,CL
D2 /1: ror Eb,CL
D2 /2: rcl Eb,CL
D2 /3: rcr Eb,CL
D2 /4: shl Eb,CL
D2 /5: shr Eb,CL
D2 /6: shl Eb,CL
D2 /7: sar Eb,CL
D3 /0: rol Ev,CL
D3 /1: ror Ev,CL
D3 /2: rcl Ev,CL
D3 /3: rcr Ev,CL
D3 /4: shl Ev,CL
D3 /5: shr Ev,CL
D3 /6: shl Ev,CL
D3 /7: sar Ev,CL
D4 i64: aam Ib
D5 i64: aad Ib
D6 i64: salc
D7: xlat
E0: loopne Jb ; jcc f64
E1: loope Jb ; jcc f64
E2: loop Jb ; jcc f64
E3: jcxz/jecxz/jrcxz Jb ; jcc f64 asz
E4: in AL,Ib
E5: in eAX,Ib
E6: out Ib,AL
E7: out Ib,eAX
E8: call Jz ; call f64
E9: jmp Jz ; jmp f64
EA i64: jmp Ap ; jmp far
EB: jmp Jb ; jmp f64
EC: in AL,DX
ED: in eAX,DX
EE: out DX,AL
EF: out DX,eAX
F1: int1 ; stop
F4: hlt ; stop
F5: cmc
F6 /0: test Eb,Ib
F6 /1: test Eb,Ib
F6 /2: not Eb ; lock
F6 /3: neg Eb ; lock
F6 /4: mul Eb
F6 /5: imul Eb
F6 /6: div Eb
F6 /7: idiv Eb
F7 /0: test Ev,Iz
F7 /1: test Ev,Iz
F7 /2: not Ev ; lock
F7 /3: neg Ev ; lock
F7 /4: mul Ev
F7 /5: imul Ev
F7 /6: div Ev
F7 /7: idiv Ev
F8: clc
F9: stc
FA: cli
FB: sti
FC: cld
FD: std
FE /0: inc Eb ; lock
FE /1: dec Eb ; lock
FF /0: inc Ev ; lock
FF /1: dec Ev ; lock
FF /2: call Ev ; call f64
FF /3: call Mp ; call far
FF /4: jmp Ev ; jmp f64
FF /5: jmp Mp ; jmp far
FF /6: push Ev ; d64
)";

}  // namespace Reporter::Decoder::Internal
