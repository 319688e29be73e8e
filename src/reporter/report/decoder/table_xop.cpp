// AMD's XOP forms (prefix 8F with a map select of 8 and up).
#include "reporter/report/decoder/opcode_table.h"

namespace Reporter::Decoder::Internal {

const char* const kXopTable = R"(
X8 NP 85 L0: vpmacssww Vdq,Hdq,Wdq,Ldq
X8 NP 86 L0: vpmacsswd Vdq,Hdq,Wdq,Ldq
X8 NP 87 L0: vpmacssdql Vdq,Hdq,Wdq,Ldq
X8 NP 8E L0: vpmacssdd Vdq,Hdq,Wdq,Ldq
X8 NP 8F L0: vpmacssdqh Vdq,Hdq,Wdq,Ldq
X8 NP 95 L0: vpmacsww Vdq,Hdq,Wdq,Ldq
X8 NP 96 L0: vpmacswd Vdq,Hdq,Wdq,Ldq
X8 NP 97 L0: vpmacsdql Vdq,Hdq,Wdq,Ldq
X8 NP 9E L0: vpmacsdd Vdq,Hdq,Wdq,Ldq
X8 NP 9F L0: vpmacsdqh Vdq,Hdq,Wdq,Ldq
X8 NP A6 L0: vpmadcsswd Vdq,Hdq,Wdq,Ldq
X8 NP B6 L0: vpmadcswd Vdq,Hdq,Wdq,Ldq
X8 NP A2: vpcmov Vx,Hx,Wx,Lx
X8 NP A3 L0: vpperm Vdq,Hdq,Wdq,Ldq
X8 NP C0 L0: vprotb Vdq,Wdq,Ib
X8 NP C1 L0: vprotw Vdq,Wdq,Ib
X8 NP C2 L0: vprotd Vdq,Wdq,Ib
X8 NP C3 L0: vprotq Vdq,Wdq,Ib
X8 NP CC L0: vpcomb Vdq,Hdq,Wdq,Ib
X8 NP CD L0: vpcomw Vdq,Hdq,Wdq,Ib
X8 NP CE L0: vpcomd Vdq,Hdq,Wdq,Ib
X8 NP CF L0: vpcomq Vdq,Hdq,Wdq,Ib
X8 NP EC L0: vpcomub Vdq,Hdq,Wdq,Ib
X8 NP ED L0: vpcomuw Vdq,Hdq,Wdq,Ib
X8 NP EE L0: vpcomud Vdq,Hdq,Wdq,Ib
X8 NP EF L0: vpcomuq Vdq,Hdq,Wdq,Ib
X9 NP 01 /1 L0: blcfill By,Ey
X9 NP 01 /2 L0: blsfill By,Ey
X9 NP 01 /3 L0: blcs By,Ey
X9 NP 01 /4 L0: tzmsk By,Ey
X9 NP 01 /5 L0: blcic By,Ey
X9 NP 01 /6 L0: blsic By,Ey
X9 NP 01 /7 L0: t1mskc By,Ey
X9 NP 02 /1 L0: blcmsk By,Ey
X9 NP 02 /6 L0: blci By,Ey
X9 NP 12 /0 r L0: llwpcb Ry
X9 NP 12 /1 r L0: slwpcb Ry
X9 NP 80: vfrczps Vx,Wx
X9 NP 81: vfrczpd Vx,Wx
X9 NP 82 L0: vfrczss Vdq,Wss
X9 NP 83 L0: vfrczsd Vdq,Wsd
X9 NP 90 L0: vprotb Vdq,Wdq,Hdq
X9 NP 91 L0: vprotw Vdq,Wdq,Hdq
X9 NP 92 L0: vprotd Vdq,Wdq,Hdq
X9 NP 93 L0: vprotq Vdq,Wdq,Hdq
X9 NP 94 L0: vpshlb Vdq,Wdq,Hdq
X9 NP 95 L0: vpshlw Vdq,Wdq,Hdq
X9 NP 96 L0: vpshld Vdq,Wdq,Hdq
X9 NP 97 L0: vpshlq Vdq,Wdq,Hdq
X9 NP 98 L0: vpshab Vdq,Wdq,Hdq
X9 NP 99 L0: vpshaw Vdq,Wdq,Hdq
X9 NP 9A L0: vpshad Vdq,Wdq,Hdq
X9 NP 9B L0: vpshaq Vdq,Wdq,Hdq
X9 NP C1 L0: vphaddbw Vdq,Wdq
X9 NP C2 L0: vphaddbd Vdq,Wdq
X9 NP C3 L0: vphaddbq Vdq,Wdq
X9 NP C6 L0: vphaddwd Vdq,Wdq
X9 NP C7 L0: vphaddwq Vdq,Wdq
X9 NP CB L0: vphadddq Vdq,Wdq
X9 NP D1 L0: vphaddubw Vdq,Wdq
X9 NP D2 L0: vphaddubd Vdq,Wdq
X9 NP D3 L0: vphaddubq Vdq,Wdq
X9 NP D6 L0: vphadduwd Vdq,Wdq
X9 NP D7 L0: vphadduwq Vdq,Wdq
X9 NP DB L0: vphaddudq Vdq,Wdq
X9 NP E1 L0: vphsubbw Vdq,Wdq
X9 NP E2 L0: vphsubwd Vdq,Wdq
X9 NP E3 L0: vphsubdq Vdq,Wdq
XA NP 10 L0: bextr Gy,Ey,Id
XA NP 12 /0 L0: lwpins By,Ed,Id
XA NP 12 /1 L0: lwpval By,Ed,Id
)";

}  // namespace Reporter::Decoder::Internal
