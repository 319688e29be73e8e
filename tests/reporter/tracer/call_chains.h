#pragma once

// Call chains with known functions and lines, compiled twice: with and without frame
// pointers, both optimised. Each chain ends by calling the probe.
using Probe = void (*)();

struct TChainLines {
  int Leaf;           // the line where Leaf calls the probe
  int Level2;         // the line where Level2 calls Leaf
  int Level1;         // the line where Level1 calls Level2 (through a function pointer)
  int Recursion;      // the line where Recurse calls itself
  int RecursionLeaf;  // the line where Recurse calls the probe
  int Inlined;        // the line where InlinedCaller calls the header's code that calls the probe
  int Lambda;         // the line where the lambda in TBox<int>::Run calls the probe
  int ColdFunction;   // the first line of ColdCaller
  int Cold;           // the line where ColdCaller's cold part calls the probe's caller
};

#define CHAIN_DECLARATIONS                   \
  void RunChain(Probe probe);                \
  void RunRecursion(Probe probe, int depth); \
  void RunInlined(Probe probe);              \
  void RunLambda(Probe probe);               \
  void RunCold(Probe probe);                 \
  TChainLines Lines();

namespace TracerFramePointer {
CHAIN_DECLARATIONS
}  // namespace TracerFramePointer

namespace TracerNoFramePointer {
CHAIN_DECLARATIONS
}  // namespace TracerNoFramePointer
