#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "platform/path_style.h"
#include "platform/sanitizer_exemptions.h"
#include "reporter/core/handling_thread.h"
#include "reporter/core/interception.h"

// A death test forks this process while the reporter runs in it: the child is such a copy.
namespace {

using namespace Reporter::Core;

int* volatile gNull = nullptr;

// Not one exit code, whatever it is: the system ended the child for its signal.
bool EndedBySignal(int status) {
  for (int code = 0; code < 256; ++code) {
    if (testing::ExitedWithCode(code)(status)) return false;
  }
  return true;
}

// The processor's fault, not a sanitizer's report of it.
[[noreturn]] UPDATE_DELIBERATE_FAULT void WriteThroughNull() {
  *gNull = 1;
  std::_Exit(3);
}

// Through a pointer the compiler cannot see into, which would otherwise warn of the end.
void (*volatile gThrow)() = [] { throw std::runtime_error("aus dem Kind"); };

void ThrowThroughNoexcept() noexcept {
  gThrow();
}

class ForkedChild : public testing::Test {
 protected:
  void SetUp() override {
    if (Platform::NativePathStyle() == Platform::PathStyle::Windows) {
      GTEST_SKIP() << "no fork on Windows";
    }
    // The style that forks; the other one starts this program afresh.
    GTEST_FLAG_SET(death_test_style, "fast");
    InstallInterception();
    ASSERT_TRUE(StartHandlingThread());
  }
  void TearDown() override {
    StopHandlingThread();
    RemoveInterception();
  }
};

// The child's failure is the child's: it is not handed to the parent's handling thread, which
// would report the parent's memory, nor reported by the child, which has no such thread.
TEST_F(ForkedChild, FailsAsItWouldWithoutTheReporter) {
  EXPECT_EXIT(WriteThroughNull(), EndedBySignal, "");
  EXPECT_EXIT(ThrowThroughNoexcept(), EndedBySignal, "aus dem Kind");
}

}  // namespace
