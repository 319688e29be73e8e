#include "call_chains.h"

#define CHAIN_NAMESPACE TracerNoFramePointer
#include "call_chains.inc"
