#include "platform/fault_hooks.h"
#include "platform/sanitizer_exemptions.h"
#include "support/deliberate_faults.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

// Each fault runs in a child process (a death test): the hook checks what it was told and
// ends the child with a status that names the kind, or with 1 when a fact was wrong.
namespace {

constexpr int kStatusBase = 40;

int StatusOf(Platform::TFaultKind kind) {
  return kStatusBase + static_cast<int>(kind);
}

// What the hook expects besides the kind.
volatile Platform::TFaultAccess gExpectedAccess = Platform::TFaultAccess::Unknown;
volatile bool gExpectNullData = false;
volatile int gSink = 0;

void CheckAndExit(const Platform::TFaultInfo& fault) {
  bool right = fault.HasContext && fault.Thread == Platform::CurrentThreadId();
  if (fault.Kind != Platform::TFaultKind::Abort) right = right && fault.Context.Ip == fault.Address;
  if (gExpectNullData) right = right && fault.DataAddress == 0;
  if (gExpectedAccess != Platform::TFaultAccess::Unknown)
    right = right && fault.Access == gExpectedAccess;
  std::_Exit(right ? StatusOf(fault.Kind) : 1);
}

// The faults below are the processor's own, not a sanitizer's report of them.
UPDATE_DELIBERATE_FAULT void ReadNull() {
  gExpectNullData = true;
  gExpectedAccess = Platform::TFaultAccess::Read;
  volatile int* pointer = nullptr;
  gSink = *pointer;
}

UPDATE_DELIBERATE_FAULT void WriteNull() {
  gExpectNullData = true;
  gExpectedAccess = Platform::TFaultAccess::Write;
  volatile int* pointer = nullptr;
  *pointer = 1;
}

UPDATE_DELIBERATE_FAULT void DivideByZero() {
  volatile int zero = 0;
  gSink = 10 / zero;
}

void IllegalInstruction() {
  __builtin_trap();
}

void Abort() {
  std::abort();
}

void InstallAndRun(void (*fault)()) {
  if (!Platform::InstallFaultHook(CheckAndExit)) std::_Exit(2);
  fault();
  std::_Exit(3);
}

}  // namespace

TEST(FaultHooks, EachFaultReachesTheHookWithItsKindAndRegisters) {
  using Platform::TFaultKind;
  const struct {
    const char* name;
    void (*fault)();
    TFaultKind kind;
  } cases[] = {
      {"null read", ReadNull, TFaultKind::AccessViolation},
      {"null write", WriteNull, TFaultKind::AccessViolation},
      {"division by zero", DivideByZero, TFaultKind::IntDivideByZero},
      {"stack overflow", TestSupport::OverflowTheStack, TFaultKind::StackOverflow},
      {"illegal instruction", IllegalInstruction, TFaultKind::IllegalInstruction},
      {"abort", Abort, TFaultKind::Abort},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(InstallAndRun(c.fault), testing::ExitedWithCode(StatusOf(c.kind)), "");
  }
}

namespace {

void EndTheFaultingThread(const Platform::TFaultInfo& fault) {
  if (fault.Thread != Platform::CurrentThreadId()) std::_Exit(1);
  Platform::ExitCurrentThread();
}

void FaultInASecondThreadThenGoOn() {
  if (!Platform::InstallFaultHook(EndTheFaultingThread)) std::_Exit(2);
  std::thread worker([] {
    if (!Platform::PrepareThreadForFaults()) std::_Exit(2);
    WriteNull();
  });
  worker.join();
  std::_Exit(7);
}

}  // namespace

TEST(FaultHooks, AThreadEndedAfterItsFaultLeavesTheProcessRunning) {
  EXPECT_EXIT(FaultInASecondThreadThenGoOn(), testing::ExitedWithCode(7), "");
}

TEST(FaultHooks, RemovingTheHookGivesFaultsBackToTheSystem) {
  EXPECT_EXIT(
      {
        if (!Platform::InstallFaultHook(CheckAndExit)) std::_Exit(2);
        Platform::RemoveFaultHook();
        WriteNull();
        std::_Exit(3);
      },
      [](int status) {
        for (int own : {0, 1, 2, 3, StatusOf(Platform::TFaultKind::AccessViolation)})
          if (testing::ExitedWithCode(own)(status)) return false;
        return true;
      },
      "");
}
