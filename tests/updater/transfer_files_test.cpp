#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/file_system.h"
#include "rtl/io/paths.h"
#include "support/scoped_temp_dir.h"
#include "updater/job_fixture.h"
#include "updater/work.h"

namespace {

using TestSupport::ReadFile;
using TestSupport::WriteFile;
using UpdateTests::FakeServices;
using UpdateTests::LogLines;
using UpdateTests::Quoted;
using UpdateTests::ScopedCommandLine;

class TransferFilesTest : public ::testing::Test {
 protected:
  TransferFilesTest()
      : staging_(root_.Join("new")),
        installation_(root_.Join("app")),
        line_("Update /s:" + Quoted(staging_) + " /d:" + Quoted(installation_)) {
    TestSupport::MakeDirectory(staging_);
    TestSupport::MakeDirectory(installation_);
  }

  std::string Staged(const std::string& name) const { return staging_ + Sep() + name; }
  std::string Installed(const std::string& name) const { return installation_ + Sep() + name; }
  static std::string Sep() { return std::string(1, RTL::Paths::Separator()); }
  std::string CopyLine(const std::string& name, int attempt) const {
    return "Kopiere Datei [" + Staged(name) + "] (" + std::to_string(attempt) + " Versuch)";
  }

  TestSupport::ScopedTempDir root_;
  std::string staging_;
  std::string installation_;
  ScopedCommandLine line_;
  FakeServices services_;
  LogLines log_;
};

TEST_F(TransferFilesTest, MovesFilesReplacingReadOnlyOnesAndRemovesStaging) {
  WriteFile(Staged("Quill.exe"), "new exe");
  WriteFile(Staged("readonly.dll"), "new dll");
  WriteFile(Staged(".hidden"), "new hidden");
  ASSERT_TRUE(Platform::SetReadOnly(Staged("readonly.dll"), true));
  WriteFile(Installed("Quill.exe"), "old exe");
  ASSERT_TRUE(Platform::SetReadOnly(Installed("Quill.exe"), true));
  TestSupport::MakeDirectory(Staged("sub"));
  WriteFile(Staged("sub") + Sep() + "nested.txt", "not installed");

  Update::Work::TransferFiles(log_.Sink(), services_.Make());

  EXPECT_EQ(ReadFile(Installed("Quill.exe")), "new exe");
  EXPECT_EQ(ReadFile(Installed("readonly.dll")), "new dll");
  EXPECT_EQ(ReadFile(Installed(".hidden")), "new hidden");
  EXPECT_TRUE(Platform::IsReadOnly(Installed("readonly.dll"))) << "attributes travel with the file";
  EXPECT_FALSE(Platform::FileExists(Installed("nested.txt")));
  EXPECT_FALSE(Platform::DirectoryExists(Installed("sub")));
  EXPECT_FALSE(Platform::DirectoryExists(staging_));
  EXPECT_EQ(log_.lines.size(), 3u);
  EXPECT_TRUE(services_.pauses.empty());
}

// A run killed in the middle of a copy left the copy's temporary file; the next run clears it
// away and leaves everything else of the installation alone.
TEST_F(TransferFilesTest, TemporaryFilesOfAnInterruptedRunAreRemoved) {
  const std::string leftOver = Installed(std::string(Platform::kCopyTemporaryPrefix) + "x1Yz9Q");
  WriteFile(leftOver, "half a file");
  ASSERT_TRUE(Platform::SetReadOnly(leftOver, true));
  WriteFile(Installed("kept.txt"), "kept");
  WriteFile(Staged("Quill.exe"), "new exe");

  Update::Work::TransferFiles(log_.Sink(), services_.Make());

  EXPECT_FALSE(Platform::FileExists(leftOver));
  EXPECT_EQ(ReadFile(Installed("kept.txt")), "kept");
  EXPECT_EQ(ReadFile(Installed("Quill.exe")), "new exe");
}

TEST_F(TransferFilesTest, EmptyStagingIsRemovedSilently) {
  Update::Work::TransferFiles(log_.Sink(), services_.Make());
  EXPECT_TRUE(log_.lines.empty());
  EXPECT_FALSE(Platform::DirectoryExists(staging_));
}

TEST_F(TransferFilesTest, TrailingSeparatorGivesOnePathSeparatorInMessages) {
  WriteFile(Staged("a.txt"), "a");
  ScopedCommandLine line("Update /s:" + Quoted(staging_ + Sep()) + " /d:" + Quoted(installation_));
  Update::Work::TransferFiles(log_.Sink(), services_.Make());
  ASSERT_EQ(log_.lines.size(), 1u);
  EXPECT_EQ(log_.lines[0], CopyLine("a.txt", 1));
}

TEST_F(TransferFilesTest, FileThatSucceedsAtTheThirdTryLogsThreeTries) {
  WriteFile(Staged("late.dll"), "new");
  // A folder in the file's place makes the copy fail until it goes away.
  TestSupport::MakeDirectory(Installed("late.dll"));
  services_.onPause = [this](std::size_t pauses) {
    if (pauses == 2) {
      EXPECT_TRUE(Platform::RemoveEmptyDirectory(Installed("late.dll")));
    }
  };

  Update::Work::TransferFiles(log_.Sink(), services_.Make());

  EXPECT_EQ(log_.lines, (std::vector<std::string>{CopyLine("late.dll", 1), CopyLine("late.dll", 2),
                                                  CopyLine("late.dll", 3)}));
  EXPECT_EQ(services_.pauses, (std::vector<std::uint32_t>{2000, 2000}));
  EXPECT_EQ(ReadFile(Installed("late.dll")), "new");
  EXPECT_FALSE(Platform::DirectoryExists(staging_));
}

TEST_F(TransferFilesTest, FileThatNeverSucceedsKeepsTheStagingFolder) {
  WriteFile(Staged("blocked.dll"), "new blocked");
  WriteFile(Staged("fine.dll"), "new fine");
  TestSupport::MakeDirectory(Installed("blocked.dll"));

  Update::Work::TransferFiles(log_.Sink(), services_.Make());

  EXPECT_EQ(services_.pauses.size(), 100u) << "the pause follows the 100th failure too";
  EXPECT_EQ(log_.lines.size(), 100u + 1u + 1u);
  EXPECT_NE(std::find(log_.lines.begin(), log_.lines.end(), CopyLine("blocked.dll", 100)),
            log_.lines.end());
  EXPECT_NE(std::find(log_.lines.begin(), log_.lines.end(),
                      "Fehler beim Kopieren der Datei [" + Staged("blocked.dll") + "]"),
            log_.lines.end());
  EXPECT_EQ(ReadFile(Installed("fine.dll")), "new fine");
  // The new version of the blocked file must survive for the next attempt.
  EXPECT_EQ(ReadFile(Staged("blocked.dll")), "new blocked");
  EXPECT_FALSE(Platform::FileExists(Staged("fine.dll")));
}

TEST_F(TransferFilesTest, LinkedFolderInStagingIsRemovedWithoutTouchingItsTarget) {
  const std::string outside = root_.Join("outside");
  TestSupport::MakeDirectory(outside);
  WriteFile(outside + Sep() + "precious.txt", "keep me");
  std::error_code error;
  std::filesystem::create_directory_symlink(TestSupport::FsPath(outside),
                                            TestSupport::FsPath(Staged("link")), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();

  Update::Work::TransferFiles(log_.Sink(), services_.Make());

  EXPECT_EQ(ReadFile(outside + Sep() + "precious.txt"), "keep me");
  EXPECT_FALSE(Platform::DirectoryExists(staging_));
}

TEST_F(TransferFilesTest, StagingFolderThatIsTheInstallationFolderLosesNothing) {
  WriteFile(Installed("Quill.exe"), "the only copy");
  ScopedCommandLine line("Update /s:" + Quoted(installation_) + " /d:" + Quoted(installation_));

  Update::Work::TransferFiles(log_.Sink(), services_.Make());

  EXPECT_EQ(ReadFile(Installed("Quill.exe")), "the only copy");
  EXPECT_EQ(services_.pauses.size(), 100u);
}

TEST_F(TransferFilesTest, MissingStagingFolderDoesNothing) {
  ScopedCommandLine line("Update /s:" + Quoted(root_.Join("none")) +
                         " /d:" + Quoted(installation_));
  Update::Work::TransferFiles(log_.Sink(), services_.Make());
  EXPECT_TRUE(log_.lines.empty());
}

}  // namespace
