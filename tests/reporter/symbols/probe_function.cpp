// A function of this test program whose address, unit and lines the tests look up in the
// program's own symbol data. Its namespace sits in an anonymous one, which the names drop.
#include <cstdint>

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

}  // namespace SymbolsProbe

// Called through a pointer, so that it is neither inlined nor cloned for the call.
std::uint64_t (*volatile gMarked)() = &SymbolsProbe::MarkedFunction;

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

}  // namespace SymbolsTest
