// Update killed with SIGKILL at random moments of a hand-over: every installed file is whole,
// old or new, every file not yet installed is still staged, and running Update again with the
// same switches completes the installation byte for byte. The killed runs are paced by a
// short pause after every step of the hand-over (the tests' build of the program offers it),
// so that the random moments fall between copies, moves and deletions alike.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "platform/child_process.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/path_style.h"
#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace {

using TestSupport::Quoted;

constexpr int kFiles = 200;
constexpr int kKills = 100;
constexpr std::uint32_t kCompleteRunMilliseconds = 120000;

std::string FileName(int index) {
  return "part" + std::to_string(index) + (index % 10 == 0 ? ".exe" : ".dat");
}

// Sizes from 1 to 64 KiB, different in the two versions, so that a half-written file shows.
std::string Content(int index, bool newVersion) {
  const std::size_t size = 1024 * (1 + (index * 37 + (newVersion ? 11 : 0)) % 64);
  std::string content(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    content[i] = static_cast<char>((i * (newVersion ? 31 : 17) + index) % 251);
  }
  return content;
}

std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : Platform::ListDirectory(folder)) {
    files[entry.name] = TestSupport::ReadFile(folder + "/" + entry.name);
  }
  return files;
}

class HandoverCrashDrill : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!UPDATE_TEST_NATIVE || Platform::NativePathStyle() != Platform::PathStyle::Posix) {
      GTEST_SKIP() << "kills the native Linux program";
    }
    if (UPDATE_TEST_SANITIZED) {
      GTEST_SKIP() << "its kills are timed by a measured run, which the sanitizers slow and "
                      "scatter (7 minutes, kills that land after the run)";
    }
    // The job's pauses (5 s after the window probes) shortened: the tests' build only.
    EXPECT_TRUE(Platform::SetEnvironmentValue("UPDATE_TEST_PAUSE_DIVISOR", "1000"));
    TestSupport::WriteFile(settings_, "[DBParams]\nAppServer=1\n");
    for (int i = 0; i < kFiles; ++i) newVersion_[FileName(i)] = Content(i, true);
  }
  void TearDown() override {
    EXPECT_TRUE(Platform::SetEnvironmentValue("UPDATE_TEST_PAUSE_DIVISOR", ""));
    EXPECT_TRUE(Platform::SetEnvironmentValue("UPDATE_TEST_STEP_PAUSE_MS", ""));
  }

  // The old version installed, the new one staged.
  void LayOut() {
    std::filesystem::remove_all(TestSupport::FsPath(staging_));
    std::filesystem::remove_all(TestSupport::FsPath(installation_));
    TestSupport::MakeDirectory(staging_);
    TestSupport::MakeDirectory(installation_);
    for (int i = 0; i < kFiles; ++i) {
      TestSupport::WriteFile(installation_ + "/" + FileName(i), Content(i, false));
      TestSupport::WriteFile(staging_ + "/" + FileName(i), Content(i, true));
    }
  }

  // A run paced by a pause after every step of the hand-over, so that a kill at a random
  // moment of the run lands between any two steps, or one at full speed.
  Platform::CapturedRun Run(std::uint32_t killAfterMilliseconds, bool paced) const {
    EXPECT_TRUE(Platform::SetEnvironmentValue("UPDATE_TEST_STEP_PAUSE_MS", paced ? "1" : ""));
    const std::string program = TestSupport::TestProgramPath("tracked/Update");
    return Platform::RunCaptured(Quoted(program) + " /s:" + Quoted(staging_) +
                                     " /d:" + Quoted(installation_) + " /i:" + Quoted(settings_),
                                 killAfterMilliseconds);
  }

  // Each file installed whole in its new version, or still the old one with the new one
  // waiting in the staging folder. Temporary files of the copy under way may be there too.
  void ExpectNothingPartial(int kill) const {
    const auto installed = Files(installation_);
    const auto staged = Files(staging_);
    for (int i = 0; i < kFiles; ++i) {
      const auto file = installed.find(FileName(i));
      ASSERT_NE(file, installed.end()) << FileName(i) << " lost, kill " << kill;
      if (file->second == Content(i, true)) continue;
      EXPECT_TRUE(file->second == Content(i, false)) << FileName(i) << " partial, kill " << kill;
      const auto waiting = staged.find(FileName(i));
      EXPECT_TRUE(waiting != staged.end() && waiting->second == Content(i, true))
          << FileName(i) << " neither installed nor staged, kill " << kill;
    }
  }

  // Killed once the staging folder was gone, the job's rerun ends at once: nothing is left to
  // install, and the lock file stays behind as a killed run leaves it.
  void ExpectCompleted(int kill, bool stagingWasGone = false) const {
    auto installed = Files(installation_);
    if (stagingWasGone) installed.erase("update.neb");
    EXPECT_TRUE(installed == newVersion_) << "installation differs, kill " << kill;
    EXPECT_FALSE(Platform::DirectoryExists(staging_)) << "kill " << kill;
  }

  // Killed after the hand-over began and before it ended: copies made or files moved, and
  // the staging folder still there.
  bool KilledMidway() const {
    if (!Platform::DirectoryExists(staging_)) return false;
    const auto installed = Files(installation_);
    if (installed.size() > kFiles + 1) return true;  // copies beside the files and the lock
    for (int i = 0; i < kFiles; ++i) {
      if (installed.at(FileName(i)) == Content(i, true)) return true;
    }
    return false;
  }

  TestSupport::ScopedTempDir root_;
  const std::string staging_ = root_.Join("staging");
  const std::string installation_ = root_.Join("installation");
  const std::string settings_ = root_.Join("settings.ini");
  std::map<std::string, std::string> newVersion_;
};

TEST_F(HandoverCrashDrill, KilledHandOverLeavesWholeFilesAndTheNextRunCompletesIt) {
  // One complete run tells how long a run takes here.
  LayOut();
  const auto start = std::chrono::steady_clock::now();
  const Platform::CapturedRun calibration = Run(kCompleteRunMilliseconds, /*paced=*/true);
  const auto runTime = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
  ASSERT_EQ(calibration.exitCode, 0) << calibration.output;
  ExpectCompleted(-1);

  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  std::uniform_int_distribution<long long> moment(1, std::max<long long>(runTime, 2));
  int killedMidway = 0;
  for (int kill = 0; kill < kKills && !HasFailure(); ++kill) {
    LayOut();
    const Platform::CapturedRun killed =
        Run(static_cast<std::uint32_t>(moment(random)), /*paced=*/true);
    ExpectNothingPartial(kill);
    if (killed.timedOut && KilledMidway()) ++killedMidway;
    const bool stagingWasGone = !Platform::DirectoryExists(staging_);
    const Platform::CapturedRun rerun = Run(kCompleteRunMilliseconds, /*paced=*/false);
    EXPECT_EQ(rerun.exitCode, 0) << rerun.output;
    ExpectCompleted(kill, stagingWasGone);
  }
  // Kills before the first or after the last file prove little.
  EXPECT_GE(killedMidway, kKills / 2) << "seed " << seed << ", run time " << runTime << " ms";
  RecordProperty("killed midway", killedMidway);
}

}  // namespace
