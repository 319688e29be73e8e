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
};

namespace TracerFramePointer {
void RunChain(Probe probe);
void RunRecursion(Probe probe, int depth);
TChainLines Lines();
}  // namespace TracerFramePointer

namespace TracerNoFramePointer {
void RunChain(Probe probe);
void RunRecursion(Probe probe, int depth);
TChainLines Lines();
}  // namespace TracerNoFramePointer
