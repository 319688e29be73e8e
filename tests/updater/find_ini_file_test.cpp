#include <gtest/gtest.h>

#include "platform/environment.h"
#include "platform/path_style.h"
#include "platform/process.h"
#include "rtl/io/paths.h"
#include "support/scoped_temp_dir.h"
#include "updater/job_fixture.h"
#include "updater/work.h"

namespace {

using TestSupport::WriteFile;
using UpdateTests::Quoted;
using UpdateTests::ScopedCommandLine;

// Points the profile folder at a temporary one for the test's duration.
class FindIniFileTest : public ::testing::Test {
 protected:
  FindIniFileTest()
      : variable_(Platform::NativePathStyle() == Platform::PathStyle::Windows ? "USERPROFILE"
                                                                              : "HOME"),
        saved_(Platform::EnvironmentValue(variable_)),
        profile_(root_.Join("profile")),
        app_(root_.Join("app")) {
    TestSupport::MakeDirectory(profile_);
    TestSupport::MakeDirectory(app_);
    EXPECT_TRUE(Platform::SetEnvironmentValue(variable_, profile_));
  }
  ~FindIniFileTest() override { EXPECT_TRUE(Platform::SetEnvironmentValue(variable_, saved_)); }

  std::string InProfile(const std::string& name) const { return Join(profile_, name); }
  std::string InApp(const std::string& name) const { return Join(app_, name); }
  static std::string Join(const std::string& dir, const std::string& name) {
    return RTL::Paths::Combine(dir, name, false);
  }
  std::string FindFor(const std::string& callerExe) {
    ScopedCommandLine line("Update /p:" + Quoted(callerExe));
    return Update::Work::FindIniFile();
  }

  std::string variable_;
  std::string saved_;
  TestSupport::ScopedTempDir root_;
  std::string profile_;
  std::string app_;
};

TEST_F(FindIniFileTest, IniSwitchWinsWithoutTestingTheFile) {
  WriteFile(InProfile("NEBQuill.ini"), "");
  ScopedCommandLine line("Update /p:" + Quoted(InApp("Quill.exe")) + " /i:nowhere.ini");
  EXPECT_EQ(Update::Work::FindIniFile(), "nowhere.ini");
}

TEST_F(FindIniFileTest, SharedSettingsFileOfPortaInProfile) {
  WriteFile(InProfile("NEBTally.ini"), "");
  EXPECT_EQ(FindFor(InApp("Porta.exe")), InProfile("NEBTally.ini"));
}

TEST_F(FindIniFileTest, ProfileSearchThroughAllRowsComesBeforeTheCallersFolder) {
  WriteFile(InProfile("NEBTally.ini"), "");
  WriteFile(InApp("NEBQuill.ini"), "");
  EXPECT_EQ(FindFor(InApp("Quill.exe")), InProfile("NEBTally.ini"));
}

TEST_F(FindIniFileTest, CallersOwnFolderLast) {
  WriteFile(InApp("NEBQuill.ini"), "");
  WriteFile(InApp("NEBHiring.ini"), "");
  EXPECT_EQ(FindFor(InApp("Quill.exe")), InApp("NEBQuill.ini"));
  EXPECT_EQ(FindFor(InApp("NEBHiring.exe")), InApp("NEBHiring.ini"));
  EXPECT_EQ(FindFor(InApp("QUILL.EXE")), InApp("NEBQuill.ini")) << "names match in any case";
}

TEST_F(FindIniFileTest, UnknownCallerOrNothingFoundFails) {
  WriteFile(InApp("NEBOther.ini"), "");
  try {
    FindFor(InApp("Other.exe"));
    FAIL() << "no settings file must be an error";
  } catch (const RTL::Exception& e) {
    EXPECT_EQ(e.Message(), "Datei nicht gefunden! Bitte wenden Sie sich an die NEB!");
  }
  ScopedCommandLine line("Update");
  EXPECT_THROW(Update::Work::FindIniFile(), RTL::Exception);
}

TEST_F(FindIniFileTest, FolderNamedLikeTheSettingsFileDoesNotCount) {
  TestSupport::MakeDirectory(InProfile("NEBQuill.ini"));
  WriteFile(InApp("NEBQuill.ini"), "");
  EXPECT_EQ(FindFor(InApp("Quill.exe")), InApp("NEBQuill.ini"));
}

TEST_F(FindIniFileTest, EmptyCallerSearchesOnlyTheProfile) {
  WriteFile(InProfile("NEBFare.ini"), "");
  ScopedCommandLine line("Update");
  EXPECT_EQ(Update::Work::FindIniFile(), InProfile("NEBFare.ini"));
}

TEST(IniFileOfProgram, UnknownExecutableOrMissingFileGivesEmpty) {
  TestSupport::ScopedTempDir dir;
  const std::string folder = RTL::Paths::IncludeTrailingSeparator(dir.Path());
  EXPECT_EQ(Update::Work::IniFileOfProgram(folder, "Quill.exe"), "");
  TestSupport::WriteFile(folder + "NEBQuill.ini", "");
  EXPECT_EQ(Update::Work::IniFileOfProgram(folder, "quill.EXE"), folder + "NEBQuill.ini");
  EXPECT_EQ(Update::Work::IniFileOfProgram(folder, "Word.exe"), "");
}

}  // namespace
