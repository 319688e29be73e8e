#include "platform/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/child_process.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/path_style.h"
#include "rtl/parameters.h"
#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace {

using TestSupport::FakeProgramPath;
using TestSupport::Quoted;
using TestSupport::Separator;

// The file name without folder and ".exe", in lower case (Windows ignores case there).
std::string ProgramName(std::string path) {
  const std::size_t separator =
      path.find_last_of(Platform::NativePathStyle() == Platform::PathStyle::Windows ? "\\/" : "/");
  if (separator != std::string::npos) path.erase(0, separator + 1);
  for (char& c : path) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (path.size() > 4 && path.compare(path.size() - 4, 4, ".exe") == 0)
    path.resize(path.size() - 4);
  return path;
}

// A detached program has none of our handles, so only its record tells that it ran.
bool WholeLine(const std::string& text) {
  return !text.empty() && text.back() == '\n';
}

// Starts the fake caller, which records its arguments in a file of the test's own.
class StartProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Platform::SetEnvironmentValue("UPDATE_TEST_RECORD", record_));
  }
  void TearDown() override {
    EXPECT_TRUE(Platform::SetEnvironmentValue("UPDATE_TEST_RECORD", ""));
    EXPECT_TRUE(Platform::SetEnvironmentValue("UPDATE_TEST_SLEEP_MS", ""));
  }
  std::string Recorded() const {
    return Platform::FileExists(record_) ? TestSupport::ReadFile(record_) : std::string();
  }

  TestSupport::ScopedTempDir folder_;
  const std::string record_ = folder_.Join("record.txt");
  const std::string fakeCaller_ = Quoted(FakeProgramPath("FakeCaller"));
};

TEST_F(StartProcessTest, WaitsUntilTheProgramHasEnded) {
  EXPECT_TRUE(Platform::SetEnvironmentValue("UPDATE_TEST_SLEEP_MS", "300"));
  ASSERT_TRUE(Platform::StartProcess(fakeCaller_ + " one two", true));
  EXPECT_EQ(Recorded(), "FakeCaller\tone\ttwo\n");
}

TEST_F(StartProcessTest, DetachedProgramGoesOnByItself) {
  EXPECT_TRUE(Platform::SetEnvironmentValue("UPDATE_TEST_SLEEP_MS", "300"));
  ASSERT_TRUE(Platform::StartProcess(fakeCaller_ + " detached", false));
  EXPECT_EQ(Recorded(), "");
  EXPECT_EQ(TestSupport::AwaitFileText(record_, WholeLine), "FakeCaller\tdetached\n");
}

// A restarted program must not hold our standard output: a caller that reads it through a
// pipe would wait until that program ends.
TEST_F(StartProcessTest, DetachedProgramGetsTheNullDeviceAsItsStandardStreams) {
  if (Platform::NativePathStyle() != Platform::PathStyle::Posix) {
    GTEST_SKIP() << "Windows hands a started program no handles of ours";
  }
  // The shell notes where its own descriptors lead, before it redirects its echo.
  ASSERT_TRUE(Platform::StartProcess(
      "/bin/sh -c \"echo $(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2) > '" + record_ +
          "'\"",
      false));
  EXPECT_EQ(TestSupport::AwaitFileText(record_, WholeLine), "/dev/null /dev/null /dev/null\n");
}

TEST_F(StartProcessTest, ProgramSeesItsArgumentsAsTheyWereWritten) {
  ASSERT_TRUE(
      Platform::StartProcess(fakeCaller_ + "  /s:/tmp/new l:/ \"/opt/My App/quill\" --x", true));
  EXPECT_EQ(Recorded(), "FakeCaller\t/s:/tmp/new\tl:/\t/opt/My App/quill\t--x\n");
}

TEST_F(StartProcessTest, FindsUnquotedProgramPathWithSpaces) {
  const std::string suffix = TestSupport::ExecutableSuffix();
  const std::string folder = folder_.Join("My App");
  TestSupport::MakeDirectory(folder);
  ASSERT_TRUE(Platform::CopyFileReplacing(FakeProgramPath("FakeCaller") + suffix,
                                          folder + Separator() + "FakeCaller" + suffix));
  ASSERT_TRUE(Platform::StartProcess(folder + Separator() + "FakeCaller last", true));
  const std::string recorded = Recorded();
  EXPECT_EQ(recorded.rfind("FakeCaller\t", 0), 0u) << recorded;
  // What comes before "last" depends on how the platform's programs read their command line.
  ASSERT_GE(recorded.size(), 5u);
  EXPECT_EQ(recorded.substr(recorded.size() - 5), "last\n") << recorded;
}

TEST_F(StartProcessTest, FindsProgramNameBesideThisProgram) {
  const std::string created = folder_.Join("created");
  ASSERT_TRUE(Platform::StartProcess("LockHolder " + Quoted(created) + " briefly", true));
  EXPECT_TRUE(Platform::FileExists(created));
}

// Whoever can leave a file in the folder the updater runs in must not choose what a bare
// program name starts; nor through a PATH entry that means that folder.
TEST_F(StartProcessTest, NeverStartsAProgramFromTheCurrentFolder) {
  if (Platform::NativePathStyle() == Platform::PathStyle::Windows) {
    GTEST_SKIP() << "Windows itself looks in the current folder";
  }
  const std::string name = "update-test-planted";
  TestSupport::MakeDirectory(folder_.Join("bin"));
  for (const std::string& copy : {folder_.Join(name), folder_.Join("bin/" + name)}) {
    ASSERT_TRUE(Platform::CopyFileReplacing(FakeProgramPath("FakeCaller"), copy));
  }
  const std::filesystem::path previousFolder = std::filesystem::current_path();
  const std::string previousPath = Platform::EnvironmentValue("PATH");
  std::filesystem::current_path(TestSupport::FsPath(folder_.Path()));
  EXPECT_TRUE(Platform::SetEnvironmentValue("PATH", previousPath + "::.:bin"));
  const bool started = Platform::StartProcess(name + " planted", true);
  EXPECT_TRUE(Platform::SetEnvironmentValue("PATH", previousPath));
  std::filesystem::current_path(previousFolder);
  EXPECT_FALSE(started);
  EXPECT_EQ(Recorded(), "");
}

TEST_F(StartProcessTest, ReportsFalseWhenNothingCouldBeStarted) {
  EXPECT_FALSE(Platform::StartProcess(Quoted(folder_.Join("missing")) + " x", true));
  EXPECT_FALSE(Platform::StartProcess(Quoted(folder_.Join("missing")), false));
  EXPECT_FALSE(Platform::StartProcess("update-test-no-such-program x", true));
  EXPECT_FALSE(Platform::StartProcess("", true));
  EXPECT_FALSE(Platform::StartProcess(" \t", false));

  // A file that claims to be a program but is none fails at its start.
  const std::string broken = folder_.Join("broken") + TestSupport::ExecutableSuffix();
  TestSupport::WriteFile(broken, "no program\n");
  std::filesystem::permissions(TestSupport::FsPath(broken), std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add);
  EXPECT_FALSE(Platform::StartProcess(Quoted(broken), true));
  EXPECT_FALSE(Platform::StartProcess(Quoted(broken), false));
  EXPECT_EQ(Recorded(), "");
}

TEST(ProcessPaths, ExecutableDirectoryHoldsThisProgram) {
  const std::string path = Platform::ExecutablePath();
  const std::string directory = Platform::ExecutableDirectory();
  EXPECT_TRUE(Platform::FileExists(path)) << path;
  ASSERT_FALSE(directory.empty());
  EXPECT_EQ(directory.back(), Separator());
  EXPECT_EQ(path.rfind(directory, 0), 0u) << path;
  EXPECT_EQ(ProgramName(path), "update_platform_tests");
}

TEST(ProcessPaths, RawCommandLineStartsWithThisProgram) {
  const auto parameters = RTL::Parameters::Split(Platform::RawCommandLine());
  ASSERT_FALSE(parameters.empty());
  EXPECT_EQ(ProgramName(parameters[0].text), "update_platform_tests");
}

TEST(ProcessPaths, ProfileDirectoryEndsWithASeparator) {
  const char* variable =
      Platform::NativePathStyle() == Platform::PathStyle::Windows ? "USERPROFILE" : "HOME";
  const std::string saved = Platform::EnvironmentValue(variable);
  TestSupport::ScopedTempDir folder;
  EXPECT_TRUE(Platform::SetEnvironmentValue(variable, folder.Path()));
  EXPECT_EQ(Platform::ProfileDirectory(), folder.Path() + Separator());
  EXPECT_TRUE(Platform::SetEnvironmentValue(variable, folder.Path() + Separator()));
  EXPECT_EQ(Platform::ProfileDirectory(), folder.Path() + Separator());
  EXPECT_TRUE(Platform::SetEnvironmentValue(variable, ""));
  EXPECT_EQ(Platform::ProfileDirectory(), std::string(1, Separator()));
  EXPECT_TRUE(Platform::SetEnvironmentValue(variable, saved));
}

// Each wait ends at its deadline, and a program sees its input end when we end it, even while
// a second program runs: that one inherited none of the first one's pipe ends.
TEST_F(StartProcessTest, ChildProcessWaitsAreBoundedAndItsInputIsItsAlone) {
  const std::string holder = Quoted(TestSupport::TestProgramPath("LockHolder"));
  Platform::ChildProcess first(holder + " " + Quoted(folder_.Join("first")));
  ASSERT_EQ(first.ReadLine(60000), "locked");
  Platform::ChildProcess second(holder + " " + Quoted(folder_.Join("second")));
  ASSERT_EQ(second.ReadLine(60000), "locked");
  EXPECT_EQ(first.ReadLine(100), std::nullopt);
  EXPECT_EQ(first.WaitForExit(100), std::nullopt);
  first.CloseInput();
  EXPECT_EQ(first.WaitForExit(60000), 0);
}

}  // namespace
