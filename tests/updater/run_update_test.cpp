#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/file_system.h"
#include "rtl/io/paths.h"
#include "support/scoped_temp_dir.h"
#include "updater/job_fixture.h"
#include "updater/work.h"

namespace {

using TestSupport::WriteFile;
using UpdateTests::FakeServices;
using UpdateTests::LogLines;
using UpdateTests::Quoted;
using UpdateTests::ScopedCommandLine;
using Strings = std::vector<std::string>;

class RunUpdateTest : public ::testing::Test {
 protected:
  RunUpdateTest() : staging_(root_.Join("new")), installation_(root_.Join("app")) {
    TestSupport::MakeDirectory(staging_);
    TestSupport::MakeDirectory(installation_);
    WriteFile(In(staging_, "Quill.exe"), "new");
    WriteFile(In(installation_, "NEBQuill.ini"), "[DBParams]\nInterbaseDatabase=quill.fdb\n");
  }

  static std::string In(const std::string& dir, const std::string& name) {
    return RTL::Paths::Combine(dir, name, false);
  }
  std::string LockFile() const { return In(installation_, "update.neb"); }
  std::string Switches(const std::string& extra = "") const {
    return "Update /s:" + Quoted(staging_) + " /d:" + Quoted(installation_) +
           " /p:" + Quoted(In(installation_, "Quill.exe")) + " " + extra;
  }
  void Run(const std::string& commandLine) {
    ScopedCommandLine line(commandLine);
    auto services = services_.Make();
    auto start = services.StartProgram;
    services.StartProgram = [this, start](const std::string& commandLine, bool wait) {
      const bool present = Platform::FileExists(LockFile());
      lockPresentAtStart_.push_back(present);
      lockHeldAtStart_.push_back(
          present &&
          !Platform::File::Open(LockFile(), Platform::File::Mode::OpenExistingReadWrite));
      start(commandLine, wait);
    };
    Update::Work::RunUpdate(log_.Sink(), services);
  }

  TestSupport::ScopedTempDir root_;
  std::string staging_;
  std::string installation_;
  FakeServices services_;
  LogLines log_;
  std::vector<bool> lockPresentAtStart_;
  std::vector<bool> lockHeldAtStart_;  // present and not to be opened for writing by anyone else
};

TEST_F(RunUpdateTest, CompleteRunAnnouncesEveryStepAndRestartsTheCaller) {
  services_.windowShown = [](int probe) { return probe <= 2; };
  Run(Switches("c:/TQuillForm w:/Quill l:/ " + Quoted(In(installation_, "Quill.exe")) + " /x"));

  const std::string copyLine = "Kopiere Datei [" + In(staging_, "Quill.exe") + "] (1 Versuch)";
  EXPECT_EQ(log_.lines,
            (Strings{"Parse die Parameter!", "Überprüfe das Quell- und das Zielverzeichnis!",
                     "Warte auf den Aufrufer!",
                     "Finde den Aufrufer [TQuillForm, Quill] noch im Speicher!",
                     "Finde den Aufrufer [TQuillForm, Quill] noch im Speicher!",
                     "Ermittle zu kopierende Dateien!", copyLine, "Führe das Datenbank-Update aus!",
                     "Führe den Aufrufer wieder aus!"}));
  EXPECT_EQ(services_.pauses, (std::vector<std::uint32_t>{5000}));
  ASSERT_EQ(services_.started.size(), 2u);
  EXPECT_EQ(services_.started[0].first,
            Update::Work::DatabaseUpdateCommandLine(
                installation_, R"(/db:"quill.fdb" /du:"" /dp:"" /ct:6 /dt:3 )"));
  EXPECT_TRUE(services_.started[0].second) << "the job waits for the database update";
  EXPECT_EQ(services_.started[1].first, Quoted(In(installation_, "Quill.exe")) + " /x");
  EXPECT_FALSE(services_.started[1].second);
  EXPECT_EQ(lockPresentAtStart_, (std::vector<bool>{true, false}));
  EXPECT_FALSE(Platform::FileExists(LockFile()));
  EXPECT_EQ(TestSupport::ReadFile(In(installation_, "Quill.exe")), "new");
}

TEST_F(RunUpdateTest, NoSwitchesEndsQuietlyAfterTwoLines) {
  Run("Update");
  EXPECT_EQ(log_.lines,
            (Strings{"Parse die Parameter!", "Überprüfe das Quell- und das Zielverzeichnis!"}));
  EXPECT_TRUE(services_.started.empty());
  EXPECT_TRUE(services_.pauses.empty());
}

TEST_F(RunUpdateTest, MissingInstallationFolderEndsQuietly) {
  Run("Update /s:" + Quoted(staging_) + " /d:" + Quoted(root_.Join("gone")));
  EXPECT_EQ(log_.lines.size(), 2u);
  EXPECT_TRUE(Platform::FileExists(In(staging_, "Quill.exe")));
}

TEST_F(RunUpdateTest, StagingFolderWithTrailingSeparatorIsFound) {
  Run("Update /s:" + Quoted(RTL::Paths::IncludeTrailingSeparator(staging_)) +
      " /d:" + Quoted(installation_) + " /i:" + Quoted(In(installation_, "NEBQuill.ini")));
  EXPECT_EQ(log_.lines.back(), "Führe den Aufrufer wieder aus!");
}

TEST_F(RunUpdateTest, WindowThatNeverClosesCosts1000ProbesThenTheJobGoesOn) {
  services_.windowShown = [](int) { return true; };
  Run(Switches());
  const auto probes =
      std::count(log_.lines.begin(), log_.lines.end(), "Finde den Aufrufer [, ] noch im Speicher!");
  EXPECT_EQ(probes, 1000);
  EXPECT_EQ(services_.windowProbes, 1000);
  EXPECT_EQ(log_.lines.back(), "Führe den Aufrufer wieder aus!");
}

TEST_F(RunUpdateTest, WithoutRestartCommandTheCallersExecutableIsStarted) {
  Run(Switches());
  ASSERT_EQ(services_.started.size(), 2u);
  EXPECT_EQ(services_.started[1].first,
            Update::Work::QuoteProgramPath(In(installation_, "Quill.exe")));
}

TEST_F(RunUpdateTest, ExistingFreeLockFileIsTakenAndRemoved) {
  WriteFile(LockFile(), "left behind by a killed run");
  Run(Switches());
  EXPECT_EQ(lockPresentAtStart_.front(), true);
  EXPECT_FALSE(Platform::FileExists(LockFile()));
}

// The database tool runs under the lock, held open so that a second updater has to wait; the
// caller is started after its removal.
TEST_F(RunUpdateTest, LockFileIsHeldExclusivelyUntilItIsRemoved) {
  Run(Switches());
  EXPECT_EQ(lockHeldAtStart_, (std::vector<bool>{true, false}));
}

TEST_F(RunUpdateTest, MissingSettingsFileFailsAfterTheMoveAndRemovesTheLock) {
  ASSERT_TRUE(Platform::DeleteOneFile(In(installation_, "NEBQuill.ini")));
  ScopedCommandLine line(Switches());
  try {
    Update::Work::RunUpdate(log_.Sink(), services_.Make());
    FAIL() << "expected the settings file to be missing";
  } catch (const RTL::Exception& e) {
    EXPECT_EQ(e.Message(), "Datei nicht gefunden! Bitte wenden Sie sich an die NEB!");
  }
  EXPECT_EQ(TestSupport::ReadFile(In(installation_, "Quill.exe")), "new");
  EXPECT_FALSE(Platform::FileExists(LockFile()));
  EXPECT_TRUE(services_.started.empty()) << "the caller is not restarted";
  EXPECT_EQ(log_.lines.back(), "Führe das Datenbank-Update aus!");
}

TEST_F(RunUpdateTest, LockFileHeldForWritingStopsTheJobAfter1000Attempts) {
  WriteFile(LockFile(), "");
  auto holder = Platform::File::Open(LockFile(), Platform::File::Mode::OpenExistingReadWrite);
  ASSERT_TRUE(holder);
  ScopedCommandLine line(Switches());
  try {
    Update::Work::RunUpdate(log_.Sink(), services_.Make());
    FAIL() << "the lock file must not be obtainable";
  } catch (const Update::Work::EUpdateWork& e) {
    EXPECT_EQ(e.Message(),
              "Die Datei " + LockFile() +
                  " kann nicht erstellt werden! Bitte überprüfen Sie die Berechtigungen!");
  }
  // 5 s after the probing, then one pause after each of the 1000 failed attempts.
  ASSERT_EQ(services_.pauses.size(), 1001u);
  for (std::size_t i = 1; i < services_.pauses.size(); ++i) {
    EXPECT_GE(services_.pauses[i], 140u);
    EXPECT_LE(services_.pauses[i], 259u);
  }
  EXPECT_TRUE(Platform::FileExists(In(staging_, "Quill.exe"))) << "nothing was moved";
  EXPECT_TRUE(Platform::FileExists(LockFile())) << "another process's lock file is left alone";
  EXPECT_TRUE(services_.started.empty());
}

TEST_F(RunUpdateTest, ApplicationServerConnectionStartsNoTool) {
  WriteFile(In(installation_, "NEBQuill.ini"), "[DBParams]\nConnectType=9\n");
  Run(Switches());
  ASSERT_EQ(services_.started.size(), 1u);
  EXPECT_FALSE(services_.started[0].second);
  EXPECT_EQ(log_.lines.back(), "Führe den Aufrufer wieder aus!");
}

}  // namespace
