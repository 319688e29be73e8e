#include <gtest/gtest.h>

#include <exception>
#include <ostream>
#include <string>
#include <vector>

#include "reporter/core/interception.h"

namespace {

using namespace Reporter::Core;

// What the stand-ins for the platform saw.
std::vector<std::string> gTold;
bool gFaultHookAsked = false;
bool gThreadHooksAsked = false;

template <bool kTaken>
bool FaultHook(Platform::TFaultHook) {
  gFaultHookAsked = true;
  return kTaken;
}
template <bool kTaken>
bool ThreadHooks(Platform::TThreadStartedHook, Platform::TThreadEndedHook) {
  gThreadHooksAsked = true;
  return kTaken;
}
void Record(const std::string& line) {
  gTold.push_back(line);
}

struct TRefusal {
  bool FaultsRefused;
  const char* Named;  // what the told line names
};
void PrintTo(const TRefusal& refusal, std::ostream* out) {
  *out << refusal.Named;
}

class InterceptionRefused : public testing::TestWithParam<TRefusal> {
 protected:
  void SetUp() override {
    gTold.clear();
    gFaultHookAsked = gThreadHooksAsked = false;
  }
  void TearDown() override { RemoveInterception(); }
};

// A hook the system refuses is told in one line, and everything else is still put in place:
// the other hook and the terminate handler that reports escaped exceptions.
TEST_P(InterceptionRefused, SaysSoAndKeepsTheRest) {
  const std::terminate_handler before = std::get_terminate();
  TInterceptionPlatform platform;
  platform.InstallFaultHook = GetParam().FaultsRefused ? &FaultHook<false> : &FaultHook<true>;
  platform.InstallThreadHooks = GetParam().FaultsRefused ? &ThreadHooks<true> : &ThreadHooks<false>;
  platform.Tell = &Record;

  EXPECT_FALSE(InstallInterception(platform));
  EXPECT_TRUE(gFaultHookAsked);
  EXPECT_TRUE(gThreadHooksAsked);
  EXPECT_NE(std::get_terminate(), before);
  ASSERT_EQ(gTold.size(), 1u);
  EXPECT_NE(gTold[0].find(GetParam().Named), std::string::npos) << gTold[0];
}

INSTANTIATE_TEST_SUITE_P(EitherHook, InterceptionRefused,
                         testing::Values(TRefusal{true, "fault hook"},
                                         TRefusal{false, "thread hooks"}),
                         [](const testing::TestParamInfo<TRefusal>& info) {
                           return info.param.FaultsRefused ? "FaultHook" : "ThreadHooks";
                         });

}  // namespace
