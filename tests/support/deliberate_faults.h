#pragma once

// Faults that tests raise on purpose in the thread that calls them.
namespace TestSupport {

// Recurses until the thread's stack runs out.
void OverflowTheStack();

}  // namespace TestSupport
