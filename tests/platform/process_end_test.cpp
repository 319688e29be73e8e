#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "fakes/restart_payload.h"
#include "platform/child_process.h"
#include "platform/file_system.h"
#include "platform/path_style.h"
#include "platform/process.h"
#include "platform/restart_handover.h"
#include "platform/system_lists.h"
#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace {

using TestSupport::Quoted;

// Generous: a program's first start under an emulator or Wine can take seconds.
constexpr std::uint32_t kTimeoutMilliseconds = 60000;

Platform::CapturedRun RunTarget(const std::string& arguments) {
  return Platform::RunCaptured(
      Quoted(TestSupport::TestProgramPath("ProcessEndTarget")) + " " + arguments,
      kTimeoutMilliseconds);
}

std::string LowerHex(std::uint32_t value) {
  std::string hex;
  do {
    hex.insert(hex.begin(), "0123456789abcdef"[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return hex;
}

// The 88 bytes of a hand-over block: old process id, handle 0, the known payload.
std::string BlockBytes(std::uint32_t oldPid) {
  std::string bytes(8, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((oldPid >> (8 * i)) & 0xFF);
  for (const std::uint8_t byte : Fakes::KnownRestartPayload()) bytes += static_cast<char>(byte);
  return bytes;
}

// The parent process id that Linux shows for a process: the field after its state.
std::uint32_t ParentOf(std::uint32_t pid) {
  const std::string stat = TestSupport::ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const std::size_t nameEnd = stat.rfind(')');
  if (nameEnd == std::string::npos || nameEnd + 4 >= stat.size()) return 0;
  return static_cast<std::uint32_t>(std::stoul(stat.substr(nameEnd + 4)));
}

TEST(ExitProcessNow, EndsWithTheCodeWithoutAtexitHandlersOrBufferedOutput) {
  // For comparison: an ordinary exit flushes the buffer and runs the handler.
  const Platform::CapturedRun ordinary = RunTarget("exit");
  ASSERT_TRUE(ordinary.started);
  EXPECT_EQ(ordinary.exitCode, 3);
  EXPECT_EQ(ordinary.output, "bufferedatexit");

  const Platform::CapturedRun now = RunTarget("exit-now");
  EXPECT_EQ(now.exitCode, 3);
  EXPECT_EQ(now.output, "");
}

TEST(ExitProcessNow, FromASecondThreadEndsTheWholeProcess) {
  const Platform::CapturedRun run = RunTarget("exit-now-thread");
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.output, "");
}

TEST(RestartHandover, NoneForAProcessStartedOrdinarily) {
  EXPECT_FALSE(Platform::TakeRestartHandover().has_value());
}

TEST(RestartHandover, RestartedProcessReceivesThePayloadAndTheSameArguments) {
  TestSupport::ScopedTempDir folder;
  const std::string result = folder.Join("result.txt");
  const Platform::CapturedRun first =
      RunTarget("restart " + Quoted(result) + " " + Quoted("two words"));
  ASSERT_TRUE(first.started);
  EXPECT_EQ(first.exitCode, 2);

  // The restarted instance is no child of ours and has none of our handles: it tells its
  // outcome through the file, which appears whole.
  EXPECT_EQ(
      TestSupport::AwaitFileText(result, [](const std::string& text) { return !text.empty(); }),
      Fakes::HexText(Fakes::KnownRestartPayload()) + "\ntwo words\n");
}

// Anyone can create a shared memory block of any name. One that is not this user's alone, or
// that names another process than the one that started this one, is no hand-over; and the
// wait for the process a block names ends in time even when that process never does.
TEST(RestartHandover, OnlyTheStartersOwnBlockCountsAndItsWaitEnds) {
  if (Platform::NativePathStyle() == Platform::PathStyle::Windows) {
    GTEST_SKIP() << "the blocks of POSIX shared memory";
  }
  namespace fs = std::filesystem;
  const fs::perms userAlone = fs::perms::owner_read | fs::perms::owner_write;
  const struct {
    const char* name;
    bool namesStarter;
    fs::perms mode;
    const char* outcome;
  } cases[] = {
      {"another process", false, userAlone, "none\n"},
      {"open to others", true, userAlone | fs::perms::group_read | fs::perms::others_read,
       "none\n"},
      {"a starter that never ends", true, userAlone, "payload\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestSupport::HelperProcess target("ProcessEndTarget", {"take-handover"});
    const std::uint32_t pid = std::stoul(target.ReadyText());
    // The target is this test's child; this test's own starter stands for another process.
    const std::uint32_t oldPid =
        c.namesStarter ? ParentOf(pid) : ParentOf(Platform::CurrentProcessId());
    ASSERT_NE(oldPid, 0u);
    const std::string block = "/dev/shm/ExvoraRestart$" + LowerHex(pid);
    TestSupport::WriteFile(block, BlockBytes(oldPid));
    fs::permissions(TestSupport::FsPath(block), c.mode);
    EXPECT_EQ(target.Release(), c.outcome);
    std::error_code ignored;
    fs::remove(TestSupport::FsPath(block), ignored);
  }
}

}  // namespace
