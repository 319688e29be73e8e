// The x87 escapes D8-DF: memory forms by the reg field, register forms by the whole ModRM byte.
#include "reporter/report/decoder/opcode_table.h"

namespace Reporter::Decoder::Internal {

const char* const kX87Table = R"(
D8 /0 m: fadd Md
D8 /1 m: fmul Md
D8 /2 m: fcom Md
D8 /3 m: fcomp Md
D8 /4 m: fsub Md
D8 /5 m: fsubr Md
D8 /6 m: fdiv Md
D8 /7 m: fdivr Md
D8 /0: fadd st0,sti
D8 /1: fmul st0,sti
D8 /2: fcom st0,sti
D8 /3: fcomp st0,sti
D8 /4: fsub st0,sti
D8 /5: fsubr st0,sti
D8 /6: fdiv st0,sti
D8 /7: fdivr st0,sti

D9 /0 m: fld Md
D9 /2 m: fst Md
D9 /3 m: fstp Md
D9 /4 m: fldenv Me
D9 /5 m: fldcw Mw
D9 /6 m: fnstenv Me
D9 /7 m: fnstcw Mw
D9 /0: fld sti
D9 /1: fxch sti
D9 D0: fnop
D9 /3: fstpnce sti
D9 E0: fchs
D9 E1: fabs
D9 E4: ftst
D9 E5: fxam
D9 E8: fld1
D9 E9: fldl2t
D9 EA: fldl2e
D9 EB: fldpi
D9 EC: fldlg2
D9 ED: fldln2
D9 EE: fldz
D9 F0: f2xm1
D9 F1: fyl2x
D9 F2: fptan
D9 F3: fpatan
D9 F4: fxtract
D9 F5: fprem1
D9 F6: fdecstp
D9 F7: fincstp
D9 F8: fprem
D9 F9: fyl2xp1
D9 FA: fsqrt
D9 FB: fsincos
D9 FC: frndint
D9 FD: fscale
D9 FE: fsin
D9 FF: fcos

DA /0 m: fiadd Md
DA /1 m: fimul Md
DA /2 m: ficom Md
DA /3 m: ficomp Md
DA /4 m: fisub Md
DA /5 m: fisubr Md
DA /6 m: fidiv Md
DA /7 m: fidivr Md
DA /0: fcmovb st0,sti
DA /1: fcmove st0,sti
DA /2: fcmovbe st0,sti
DA /3: fcmovu st0,sti
DA E9: fucompp

DB /0 m: fild Md
DB /1 m: fisttp Md
DB /2 m: fist Md
DB /3 m: fistp Md
DB /5 m: fld Mt
DB /7 m: fstp Mt
DB /0: fcmovnb st0,sti
DB /1: fcmovne st0,sti
DB /2: fcmovnbe st0,sti
DB /3: fcmovnu st0,sti
DB E0: feni8087_nop
DB E1: fdisi8087_nop
DB E2: fnclex
DB E3: fninit
DB E4: fsetpm287_nop
DB /5: fucomi st0,sti
DB /6: fcomi st0,sti

DC /0 m: fadd Mq
DC /1 m: fmul Mq
DC /2 m: fcom Mq
DC /3 m: fcomp Mq
DC /4 m: fsub Mq
DC /5 m: fsubr Mq
DC /6 m: fdiv Mq
DC /7 m: fdivr Mq
DC /0: fadd sti,st0
DC /1: fmul sti,st0
DC /2: fcom sti
DC /3: fcomp sti
DC /4: fsubr sti,st0
DC /5: fsub sti,st0
DC /6: fdivr sti,st0
DC /7: fdiv sti,st0

DD /0 m: fld Mq
DD /1 m: fisttp Mq
DD /2 m: fst Mq
DD /3 m: fstp Mq
DD /4 m: frstor Me
DD /6 m: fnsave Me
DD /7 m: fnstsw Mw
DD /0: ffree sti
DD /1: fxch sti
DD /2: fst sti
DD /3: fstp sti
DD /4: fucom sti
DD /5: fucomp sti

DE /0 m: fiadd Mw
DE /1 m: fimul Mw
DE /2 m: ficom Mw
DE /3 m: ficomp Mw
DE /4 m: fisub Mw
DE /5 m: fisubr Mw
DE /6 m: fidiv Mw
DE /7 m: fidivr Mw
DE /0: faddp sti,st0
DE /1: fmulp sti,st0
DE /2: fcomp sti
DE D9: fcompp
DE /4: fsubrp sti,st0
DE /5: fsubp sti,st0
DE /6: fdivrp sti,st0
DE /7: fdivp sti,st0

DF /0 m: fild Mw
DF /1 m: fisttp Mw
DF /2 m: fist Mw
DF /3 m: fistp Mw
DF /4 m: fbld Mt
DF /5 m: fild Mq
DF /6 m: fbstp Mt
DF /7 m: fistp Mq
DF /0: ffreep sti
DF /1: fxch sti
DF /2: fstp sti
DF /3: fstp sti
DF E0: fnstsw AX
DF /5: fucomip st0,sti
DF /6: fcomip st0,sti
)";

}  // namespace Reporter::Decoder::Internal
