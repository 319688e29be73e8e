#include "reporter/report/tracer/stack_tracer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string_view>
#include <thread>
#include <vector>

#include "call_chains.h"
#include "platform/process.h"
#include "platform/threads.h"
#include "reporter/report/tracer/disassembler.h"
#include "reporter/report/tracer/module_table.h"
#include "rtl/exceptions.h"

namespace Reporter::Tracer {
namespace {

TTraceResult captured;

void TraceHere() {
  captured = BuildCallStack({}, {});
}

// The trace the probe takes at the end of a chain of calls.
TStackTrace TraceOf(void (*run)(Probe)) {
  captured = {};
  run(&TraceHere);
  return ToStackTrace(captured, {});
}

// The calling thread, faulted at this address.
TThreadTraceInput FaultHere(std::uintptr_t address) {
  TThreadTraceInput input;
  const auto range = Platform::CurrentThreadStackRange();
  input.stackBottom = range.Bottom;
  input.stackTop = range.Top;
  input.exceptThread = true;
  input.exceptAddr = address;
  return input;
}

std::string ProgramFileName() {
  return FileNameOf(Platform::ExecutablePath());
}

// The position of the first item for the function of the unit (any unit when empty), or -1.
int Find(const TStackTrace& trace, const std::string& unit, const std::string& function,
         int from = 0) {
  for (int i = from; i < static_cast<int>(trace.size()); ++i) {
    const auto& item = trace[static_cast<std::size_t>(i)];
    if ((unit.empty() || item.UnitName == unit) && item.FunctionName == function) return i;
  }
  return -1;
}

std::string Describe(const TStackTrace& trace) {
  std::string text;
  for (const auto& item : trace) {
    text += item.ModuleName + " " + item.UnitName + " " + std::to_string(item.Line) + " " +
            item.FunctionName + "\n";
  }
  return text;
}

struct TChain {
  const char* Unit;
  void (*Run)(Probe);
  void (*Recursion)(Probe, int);
  void (*Inlined)(Probe);
  void (*Lambda)(Probe);
  void (*Cold)(Probe);
  TChainLines (*Lines)();
};

void PrintTo(const TChain& chain, std::ostream* out) {
  *out << chain.Unit;
}

class StackTracerChain : public testing::TestWithParam<TChain> {};

// Leaf, Level2 and Level1 follow each other, newest first, each at the line of its call.
void ExpectChain(const TStackTrace& trace, const TChain& chain) {
  const auto lines = chain.Lines();
  const int leaf = Find(trace, chain.Unit, "Leaf");
  ASSERT_GE(leaf, 0) << Describe(trace);
  ASSERT_LT(leaf + 2, static_cast<int>(trace.size())) << Describe(trace);
  EXPECT_EQ(trace[leaf + 1].FunctionName, "Level2") << Describe(trace);
  EXPECT_EQ(trace[leaf + 2].FunctionName, "Level1") << Describe(trace);
  EXPECT_EQ(trace[leaf].Line, lines.Leaf);
  EXPECT_EQ(trace[leaf + 1].Line, lines.Level2);
  EXPECT_EQ(trace[leaf + 2].Line, lines.Level1);
  for (int i = leaf; i <= leaf + 2; ++i) {
    EXPECT_EQ(trace[i].ModuleName, ProgramFileName());
    EXPECT_GT(trace[i].relAddr, 0u);
    EXPECT_GT(trace[i].relLine, 0);
  }
  EXPECT_GE(Find(trace, chain.Unit, "RunChain", leaf + 3), 0) << Describe(trace);
}

TEST_P(StackTracerChain, TracesTheCallingThreadThroughItsChain) {
  const auto trace = TraceOf(GetParam().Run);
  EXPECT_TRUE(captured.FailedStage.empty()) << captured.FailedStage;
  ExpectChain(trace, GetParam());
  // The newest item is the probe's own call into the tracer.
  EXPECT_EQ(captured.NewestAddress, trace.front().Addr);
  // The program's own symbol data is named once among the modules' debug informations.
  EXPECT_EQ(std::count_if(captured.DebugInfos.begin(), captured.DebugInfos.end(),
                          [](const std::string& info) {
                            return info.rfind(ProgramFileName() + "|", 0) == 0;
                          }),
            1);
}

TEST_P(StackTracerChain, ListsTheFunctionAroundAMarkedInstruction) {
  const auto trace = TraceOf(GetParam().Run);
  const int leaf = Find(trace, GetParam().Unit, "Leaf");
  ASSERT_GE(leaf, 0) << Describe(trace);
  const auto full = DisassembleFunction(trace[leaf].Addr, 0);
  const auto marked = full.find(" > call ");
  ASSERT_NE(marked, std::string::npos) << full;
  EXPECT_EQ(full.find(" > ", marked + 1), std::string::npos) << "one mark only";
  EXPECT_NE(full.find("; line " + std::to_string(GetParam().Lines().Leaf)), std::string::npos)
      << full;
  EXPECT_EQ(full.find("[...]"), std::string::npos);
  // Limited to one instruction on each side of the mark: the rest is left out.
  const auto limited = DisassembleFunction(trace[leaf].Addr, 1);
  EXPECT_NE(limited.find("[...]"), std::string::npos) << limited;
  EXPECT_NE(limited.find(" > call "), std::string::npos) << limited;
  EXPECT_LT(limited.size(), full.size());
  EXPECT_TRUE(DisassembleFunction(0x1000, 10).empty());
}

// A fault's address is known to be right: it becomes the newest item, shown at the faulting
// instruction itself, with the chain that led there behind it.
TEST_P(StackTracerChain, ExceptionAddressBecomesTheNewestItem) {
  const auto before = TraceOf(GetParam().Run);
  const int leaf = Find(before, GetParam().Unit, "Leaf");
  ASSERT_GE(leaf, 0) << Describe(before);

  const TThreadTraceInput input = FaultHere(before[leaf].Addr);
  const auto trace = ToStackTrace(BuildCallStack(input, {}), {});
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.front().Addr, input.exceptAddr);
  EXPECT_EQ(trace.front().FunctionName, "Leaf");
  EXPECT_EQ(trace.front().Line, GetParam().Lines().Leaf);
}

TEST_P(StackTracerChain, ListsARecursionOnce) {
  captured = {};
  GetParam().Recursion(&TraceHere, 5);
  const auto trace = ToStackTrace(captured, {});
  const auto lines = GetParam().Lines();
  const auto at = [&](int line) {
    return std::count_if(trace.begin(), trace.end(), [&](const TStackItem& item) {
      return item.FunctionName == "Recurse" && item.Line == line;
    });
  };
  EXPECT_EQ(at(lines.RecursionLeaf), 1) << Describe(trace);
  EXPECT_EQ(at(lines.Recursion), 1) << Describe(trace);
  EXPECT_GE(Find(trace, GetParam().Unit, "RunRecursion"), 0) << Describe(trace);
}

// What the compiler made of the code does not show: a frame inside code inlined from a header
// shows the line of the call, a lambda in a class template reads as its enclosing function, and
// the cold part of a function as the function, counting its lines from the function's first.
TEST_P(StackTracerChain, FramesReadAsTheSourceIsWritten) {
  const auto lines = GetParam().Lines();
  const auto inlined = TraceOf(GetParam().Inlined);
  const int caller = Find(inlined, GetParam().Unit, "InlinedCaller");
  ASSERT_GE(caller, 0) << Describe(inlined);
  EXPECT_EQ(inlined[caller].Line, lines.Inlined);

  const auto lambda = TraceOf(GetParam().Lambda);
  const int closure = Find(lambda, GetParam().Unit, "TBox::Run::{lambda}");
  ASSERT_GE(closure, 0) << Describe(lambda);
  EXPECT_EQ(lambda[closure].Line, lines.Lambda);
  EXPECT_GE(Find(lambda, GetParam().Unit, "TBox::Run", closure + 1), 0) << Describe(lambda);

  const auto cold = TraceOf(GetParam().Cold);
  const int part = Find(cold, GetParam().Unit, "ColdCaller");
  ASSERT_GE(part, 0) << Describe(cold);
  EXPECT_EQ(cold[part].Line, lines.Cold);
  const int first = cold[part].Line - cold[part].relLine;
  EXPECT_GE(first, lines.ColdFunction) << Describe(cold);
  EXPECT_LT(first, lines.Cold) << Describe(cold);
}

// A thread parked at the end of a chain until it is released.
class TParkedThread {
 public:
  explicit TParkedThread(void (*run)(Probe)) {
    thread_ = std::thread([this, run] {
      id_ = Platform::CurrentThreadId();
      current_ = this;
      run(&Park);
    });
    while (!parked_.load()) std::this_thread::yield();
  }
  ~TParkedThread() {
    release_ = true;
    thread_.join();
  }
  Platform::ThreadId Id() const { return id_; }

 private:
  static void Park() {
    auto* self = current_;
    self->parked_ = true;
    while (!self->release_.load()) std::this_thread::yield();
  }
  static thread_local TParkedThread* current_;
  std::atomic<bool> parked_{false};
  std::atomic<bool> release_{false};
  std::atomic<Platform::ThreadId> id_{0};
  std::thread thread_;
};
thread_local TParkedThread* TParkedThread::current_ = nullptr;

TEST_P(StackTracerChain, TracesOtherThreadsFromTheirContext) {
  std::vector<std::unique_ptr<TParkedThread>> threads;
  for (int i = 0; i < 3; ++i) threads.push_back(std::make_unique<TParkedThread>(GetParam().Run));
  for (const auto& thread : threads) {
    const auto input = InputForThread(thread->Id());
    ASSERT_TRUE(input.has_value());
    const auto trace = ToStackTrace(BuildCallStack(*input, {}), {});
    ExpectChain(trace, GetParam());
    EXPECT_GE(Find(trace, "", "TParkedThread::Park"), 0) << Describe(trace);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Builds, StackTracerChain,
    testing::Values(TChain{"TracerFramePointer", &TracerFramePointer::RunChain,
                           &TracerFramePointer::RunRecursion, &TracerFramePointer::RunInlined,
                           &TracerFramePointer::RunLambda, &TracerFramePointer::RunCold,
                           &TracerFramePointer::Lines},
                    TChain{"TracerNoFramePointer", &TracerNoFramePointer::RunChain,
                           &TracerNoFramePointer::RunRecursion, &TracerNoFramePointer::RunInlined,
                           &TracerNoFramePointer::RunLambda, &TracerNoFramePointer::RunCold,
                           &TracerNoFramePointer::Lines}),
    [](const testing::TestParamInfo<TChain>& info) { return std::string(info.param.Unit); });

TEST(StackTracer, UnreadableStackGivesAnEmptyCallStack) {
  TThreadTraceInput input;
  input.stackBottom = 0x1000;  // the zero page is never mapped
  input.stackTop = 0x2000;
  const auto result = BuildCallStack(input, {});
  EXPECT_TRUE(result.Items.empty());
  EXPECT_TRUE(result.FailedStage.empty());
}

TEST(StackTracer, ExceptionAddressInNoModuleShowsUnknownModule) {
  // Code-like bytes on the heap: no module holds them.
  auto bytes = std::make_unique<std::uint8_t[]>(64);
  std::fill_n(bytes.get(), 64, std::uint8_t{0x90});
  const TThreadTraceInput input = FaultHere(reinterpret_cast<std::uintptr_t>(bytes.get() + 8));
  const auto result = BuildCallStack(input, {});
  ASSERT_FALSE(result.Items.empty());
  EXPECT_EQ(result.Items.front().ModuleName, "???");
  EXPECT_EQ(result.Items.front().Addr, input.exceptAddr);
}

// A stage that throws ends the trace, which names the stage and where the failure was raised.
TEST(StackTracer, AFailingStageIsNamedWithWhereItFailed) {
  for (const char* failing :
       {"CollectPossibleStackItems", "RemoveRecursiveStackAreas", "InDeepChecks",
        "RealizeOptimalLinkChains", "RemoveRecursiveAreas", "FillFinalOutput"}) {
    TTraceOptions options;
    options.BeforeStage = [&](const char* stage) {
      if (std::string_view(stage) == failing) throw RTL::Exception("stage failed");
    };
    const auto result = BuildCallStack({}, options);
    EXPECT_EQ(result.FailedStage, failing);
    EXPECT_NE(result.FailureAddress, 0u) << failing;
    EXPECT_TRUE(result.Items.empty()) << failing;
  }
}

TEST(StackTracer, AbortEndsTheTraceEarly) {
  std::atomic<bool> abort{true};
  TTraceOptions options;
  options.Abort = &abort;
  const auto result = BuildCallStack({}, options);
  EXPECT_TRUE(result.Items.empty());
}

}  // namespace
}  // namespace Reporter::Tracer
