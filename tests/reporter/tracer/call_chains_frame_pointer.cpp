#include "call_chains.h"

#define CHAIN_NAMESPACE TracerFramePointer
#include "call_chains.inc"
