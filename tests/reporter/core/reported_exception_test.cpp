#include "reporter/core/reported_exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "reporter/core/exception_message.h"
#include "reporter/core/report_cache.h"
#include "reporter/core/start_up.h"
#include "rtl/class_names.h"
#include "rtl/exceptions.h"
#include "support/fake_settings.h"
#include "updater/work.h"

namespace {

using TestSupport::TFakeSettings;

using namespace Reporter::Core;

std::exception_ptr RaisedWork(const std::string& message) {
  try {
    throw Update::Work::EUpdateWork(message);
  } catch (...) {
    return std::current_exception();
  }
}

// An object without a report (general rule "no bug report"), so that nothing but the test
// changes it.
std::shared_ptr<IReportedException> Quiet(std::shared_ptr<TFakeSettings> settings = nullptr) {
  if (!settings) settings = std::make_shared<TFakeSettings>();
  settings->SetGeneralNoBugReport(true);
  TExceptionRequest request;
  request.ExceptObject = RaisedWork("x");
  return CreateReportedException(std::move(request), settings);
}

// How often the callback was called since the test began.
std::atomic<int> gCalls{0};

void Record(bool, const std::string&, const std::shared_ptr<IReportedException>&) {
  ++gCalls;
}

class Callbacks : public testing::Test {
 protected:
  Callbacks() { gCalls = 0; }
};

TEST(ExceptMessage, EndsInExactlyOneFullStop) {
  EXPECT_EQ(NormalizeExceptMessage("Datei fehlt!!"), "Datei fehlt.");
  EXPECT_EQ(NormalizeExceptMessage("Fertig.!."), "Fertig.");
  EXPECT_EQ(NormalizeExceptMessage("Kein Ende"), "Kein Ende.");
  EXPECT_EQ(NormalizeExceptMessage(""), "Unknown.");
  EXPECT_EQ(NormalizeExceptMessage(" \t\x01 "), "Unknown.");
}

TEST(ExceptMessage, ControlCharactersGoButLineBreaksStay) {
  EXPECT_EQ(NormalizeExceptMessage("  A\x07"
                                   "b\r\nc\t "),
            "Ab\r\nc.");
}

TEST(ReportedException, TakesTheFactsOfTheRequestAndTheObject) {
  // Raised without the capture that other tests of this program install: no processor state.
  RTL::SetContextCapture(nullptr);
  TExceptionRequest request;
  request.ExceptObject = RaisedWork("Sperrdatei belegt!");
  request.CanContinue = true;
  request.Source = esExceptProc;
  const auto reported =
      CreateReportedException(std::move(request), std::make_shared<TFakeSettings>());
  ASSERT_NE(reported, nullptr);
  EXPECT_EQ(reported->GetPhase(), epNotHandledYet);
  EXPECT_TRUE(reported->GetCanContinue());
  EXPECT_EQ(reported->GetSource(), esExceptProc);
  EXPECT_EQ(reported->GetCrashedThreadId(), Platform::CurrentThreadId());
  EXPECT_EQ(reported->GetExceptClass(), "EUpdateWork");
  EXPECT_EQ(reported->GetExceptMessage(), "Sperrdatei belegt.");
  EXPECT_NE(reported->GetExceptAddr(), 0u);  // where the object was created
  EXPECT_EQ(reported->GetContext(), nullptr);
}

// Marks the raising function's frame, so that the stack the exception kept can be told from
// what the unwinding and the handlers wrote there afterwards, and notes its frame pointer.
constexpr std::uint32_t kFrameMarker = 0x5EA1ED5A;
std::uintptr_t gRaisingFramePointer = 0;
[[gnu::noinline]] std::exception_ptr RaisedFromMarkedFrame() {
  volatile std::uint32_t marker[4] = {kFrameMarker, kFrameMarker, kFrameMarker, kFrameMarker};
  gRaisingFramePointer = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  try {
    throw Update::Work::EUpdateWork("Sperrdatei belegt!");
  } catch (...) {
    (void)marker[0];
    return std::current_exception();
  }
}

// A failure of the program's own code comes with the processor state of its raise, so that
// its report has registers and a stack dump as a fault's has.
TEST(ReportedException, CarriesTheRegistersAndTheStackOfItsRaise) {
  InstallRaiseStackCapture();
  TExceptionRequest request;
  request.ExceptObject = RaisedFromMarkedFrame();
  const auto reported =
      CreateReportedException(std::move(request), std::make_shared<TFakeSettings>());
  const Platform::TThreadContext* context = reported->GetContext();
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(context->Ip, reported->GetExceptAddr());
  const RTL::TRaiseContext* raise = RTL::AsException(reported->GetExceptObject())->RaiseContext();
  ASSERT_NE(raise, nullptr);
  EXPECT_EQ(raise->Registers.Sp, context->Sp);
  // A debugger walks the dump's frames from this one.
  EXPECT_EQ(context->Bp, gRaisingFramePointer);
  std::vector<std::uint32_t> words(raise->Stack.size() / 4);
  std::memcpy(words.data(), raise->Stack.data(), words.size() * 4);
  EXPECT_NE(std::find(words.begin(), words.end(), kFrameMarker), words.end());
}

TEST(ReportedException, ForeignObjectsAndNothingAtAll) {
  TExceptionRequest request;
  try {
    throw 7;
  } catch (...) {
    request.ExceptObject = std::current_exception();
  }
  auto reported = CreateReportedException(request, std::make_shared<TFakeSettings>());
  EXPECT_EQ(reported->GetExceptClass(), "Unknown");
  EXPECT_EQ(reported->GetExceptMessage(), "Unknown.");
  try {
    throw std::runtime_error("kaputt");
  } catch (...) {
    request.ExceptObject = std::current_exception();
  }
  reported = CreateReportedException(request, std::make_shared<TFakeSettings>());
  EXPECT_EQ(reported->GetExceptClass(), "runtime_error");
  EXPECT_EQ(reported->GetExceptMessage(), "kaputt.");
  request.ExceptType = etFrozen;
  EXPECT_EQ(CreateReportedException(request, std::make_shared<TFakeSettings>())->GetExceptClass(),
            "EFrozen");
}

TEST(ReportedException, OwnValuesOverrideTheModulesForThisExceptionOnly) {
  auto settings = std::make_shared<TFakeSettings>();
  settings->SetShowPleaseWaitBox(true);
  settings->SetBugReportFile("module.txt");
  const auto first = Quiet(settings);
  const auto second = Quiet(settings);
  first->SetShowPleaseWaitBox(false);
  first->SetBugReportFile("own.txt");
  EXPECT_FALSE(first->GetShowPleaseWaitBox());
  EXPECT_EQ(first->GetBugReportFile(), "own.txt");
  EXPECT_TRUE(second->GetShowPleaseWaitBox());
  EXPECT_EQ(second->GetBugReportFile(), "module.txt");
  EXPECT_TRUE(settings->GetShowPleaseWaitBox());
}

TEST(ReportedException, OneShotCountersAnswerTrueExactlyOnceUnderContention) {
  const auto reported = Quiet();
  std::atomic<int> firstCallbacks{0}, firstSaves{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&] {
      while (!go) std::this_thread::yield();
      for (int n = 0; n < 100; ++n) {
        if (reported->FirstCompleteCallback()) ++firstCallbacks;
        if (reported->FirstAutoSave()) ++firstSaves;
      }
    });
  }
  go = true;
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(firstCallbacks, 1);
  EXPECT_EQ(firstSaves, 1);
}

TEST_F(Callbacks, RegisteringCallsAtOnceAndAgainOnlyWhenAlreadyListed) {
  const auto reported = Quiet();
  reported->RegisterBugReportCallback(&Record, false);
  EXPECT_EQ(gCalls, 1);
  EXPECT_FALSE(reported->CriticalBugReportCallbackExists());
  reported->RegisterBugReportCallback(&Record, true);  // only the flag changes
  EXPECT_EQ(gCalls, 1);
  EXPECT_TRUE(reported->CriticalBugReportCallbackExists());
  reported->SetModified();
  EXPECT_EQ(gCalls, 2);
  reported->UnregisterBugReportCallback(&Record);
  reported->SetModified();
  EXPECT_EQ(gCalls, 2);
  EXPECT_FALSE(reported->CriticalBugReportCallbackExists());
}

TEST_F(Callbacks, AnUpdateBracketAnnouncesOnceWhenItCloses) {
  const auto reported = Quiet();
  reported->RegisterBugReportCallback(&Record, false);
  reported->BeginUpdate();
  reported->BeginUpdate();
  reported->SetModified();
  reported->SetModified();
  reported->EndUpdate();
  EXPECT_EQ(gCalls, 1);  // still inside the outer bracket
  reported->EndUpdate();
  EXPECT_EQ(gCalls, 2);
  reported->BeginUpdate();
  reported->EndUpdate();  // nothing changed: nothing announced
  EXPECT_EQ(gCalls, 2);
}

TEST_F(Callbacks, SetBugReportIsAnnouncedWithTheNewText) {
  const auto reported = Quiet();
  reported->SetBugReport("eigener Bericht");
  EXPECT_EQ(reported->GetBugReport(false, 0), "eigener Bericht");
  static std::string seen;
  reported->RegisterBugReportCallback(
      [](bool, const std::string& text, const std::shared_ptr<IReportedException>&) {
        seen = text;
      },
      false);
  EXPECT_EQ(seen, "eigener Bericht");
}

TEST(ReportCache, KeepsATextOnlyWhenNothingChangedWhileItWasComposed) {
  TReportCache cache;
  const auto before = cache.Take();
  cache.Changed();  // a section changed during the composition
  EXPECT_FALSE(cache.StoreIfUnchanged(before, "old"));
  EXPECT_EQ(cache.Take().Text, "");
  const auto now = cache.Take();
  EXPECT_TRUE(cache.StoreIfUnchanged(now, "fresh"));
  EXPECT_EQ(cache.Take().Text, "fresh");
  cache.Changed();
  EXPECT_EQ(cache.Take().Text, "");
  EXPECT_EQ(cache.ChangeNumber(), 2u);
}

TEST(ReportedException, RequestTakesAddressAndStackFromTheObject) {
  TExceptionRequest request;
  request.ExceptObject = RaisedWork("x");
  CompleteRequestFromObject(request);
  EXPECT_NE(request.ExceptAddr, 0u);
  request.ExceptAddr = 0x1234;
  CompleteRequestFromObject(request);
  EXPECT_EQ(request.ExceptAddr, 0x1234u);  // what the interception knew stays
}

}  // namespace
