// Functions of this test program whose addresses, units and lines the tests look up in the
// program's own symbol data: one with a marked call, one that calls code inlined from a header.
// Their namespace sits in an anonymous one, which the names drop.
#include <cstdint>

#include "probe_inline.h"
#include "symbols_test_support.h"

namespace {
namespace SymbolsProbe {

volatile int gAfterCall = 0;

[[gnu::noinline]] std::uint64_t ReturnAddress() {
  return reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
}

constexpr int kFunctionLine = __LINE__ + 1;
[[gnu::noinline]] std::uint64_t MarkedFunction() {
  const std::uint64_t returnAddress = ReturnAddress();  // the marked line: kFunctionLine + 1
  // Work after the call keeps it a call rather than a jump.
  return returnAddress + std::uint64_t(gAfterCall);
}
constexpr int kCallLine = kFunctionLine + 1;

constexpr int kInlinedCallLine = __LINE__ + 2;
[[gnu::noinline]] std::uint64_t CallsInlinedCode() {
  const std::uint64_t returnAddress = CallInlined(&ReturnAddress, gAfterCall);
  return returnAddress + std::uint64_t(gAfterCall);
}

}  // namespace SymbolsProbe

// Called through a pointer, so that it is neither inlined nor cloned for the call.
std::uint64_t (*volatile gMarked)() = &SymbolsProbe::MarkedFunction;
std::uint64_t (*volatile gInlining)() = &SymbolsProbe::CallsInlinedCode;

}  // namespace

namespace SymbolsTest {

std::uint64_t CallMarkedFunction() {
  return gMarked();
}

std::uint64_t MarkedFunctionAddress() {
  return reinterpret_cast<std::uintptr_t>(gMarked);
}

int MarkedFunctionLine() {
  return SymbolsProbe::kFunctionLine;
}

int MarkedCallLine() {
  return SymbolsProbe::kCallLine;
}

std::uint64_t CallInlinedCode() {
  return gInlining();
}

int InlinedCallLine() {
  return SymbolsProbe::kInlinedCallLine;
}

}  // namespace SymbolsTest
