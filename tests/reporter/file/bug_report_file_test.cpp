#include "reporter/report/file/bug_report_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file.h"
#include "platform/report_file_io.h"
#include "report_file_fixture.h"

namespace Reporter::Report {
namespace {

class BugReportFile : public ReportFileFixture {
 protected:
  static std::filesystem::perms Permissions(const std::string& path) {
    return std::filesystem::status(TestSupport::FsPath(path)).permissions() &
           std::filesystem::perms::mask;
  }
  bool Save(std::string_view report, std::string_view fileName = {}) {
    return SaveBugReportFile(fileName, report, settings_, true, context_);
  }
};

TEST_F(BugReportFile, WritesUtf8WithoutMarkAndTwoLineEnds) {
  ASSERT_TRUE(Save("user name : J\xC3\xBCrgen\r\nx"));
  EXPECT_EQ(TestSupport::ReadFile(InBin("bugreport.txt")),
            "user name : J\xC3\xBCrgen\r\nx\r\n\r\n");
}

TEST_F(BugReportFile, OverwritingALongerFileCutsItsTail) {
  TestSupport::WriteFile(InBin("bugreport.txt"), std::string(500, 'o'));
  ASSERT_TRUE(Save("first"));
  ASSERT_TRUE(Save("2nd"));
  EXPECT_EQ(TestSupport::ReadFile(InBin("bugreport.txt")), "2nd\r\n\r\n");
}

TEST_F(BugReportFile, EmptyReportWritesNothing) {
  EXPECT_FALSE(Save(""));
  EXPECT_FALSE(Platform::FileExists(InBin("bugreport.txt")));
}

TEST_F(BugReportFile, ParentStepsAndMissingFoldersAreHandled) {
  settings_.Texts["BugRepFile"] = "..\\logs\\daily\\bugreport.txt";
  ASSERT_TRUE(Save("r"));
  const std::string path =
      folder_.Join("logs") + Separator() + "daily" + Separator() + "bugreport.txt";
  EXPECT_EQ(TestSupport::ReadFile(path), "r\r\n\r\n");
}

TEST_F(BugReportFile, ExplicitNameIsTakenAsItIs) {
  const std::string path = folder_.Join("upload") + Separator() + "copy.txt";
  ASSERT_TRUE(Save("r", path));
  EXPECT_EQ(TestSupport::ReadFile(path), "r\r\n\r\n");
  EXPECT_FALSE(Platform::FileExists(InBin("bugreport.txt")));
}

TEST_F(BugReportFile, FileHeldByAnotherHandleFallsBackToApplicationData) {
  auto held = Platform::ExclusiveFile::OpenOrCreate(InBin("bugreport.txt"));
  ASSERT_TRUE(held);
  ASSERT_TRUE(Save("r\xC3\xA4"));
  EXPECT_EQ(TestSupport::ReadFile(Fallback("bugreport.txt")), "r\xC3\xA4\r\n\r\n");
  held->Close();
  EXPECT_EQ(TestSupport::ReadFile(InBin("bugreport.txt")), "");
}

TEST_F(BugReportFile, FailedExplicitNameFallsBackToTheConfiguredName) {
  const std::string path = folder_.Join("copy.txt");
  auto held = Platform::ExclusiveFile::OpenOrCreate(path);
  ASSERT_TRUE(held);
  ASSERT_TRUE(Save("r", path));
  EXPECT_EQ(TestSupport::ReadFile(Fallback("bugreport.txt")), "r\r\n\r\n");
}

TEST_F(BugReportFile, NameWithAFolderHasNoFallback) {
  settings_.Texts["BugRepFile"] = "logs\\bugreport.txt";
  TestSupport::MakeDirectory(InBin("logs"));
  auto held = Platform::ExclusiveFile::OpenOrCreate(InBin("logs") + Separator() + "bugreport.txt");
  ASSERT_TRUE(held);
  EXPECT_FALSE(Save("r"));
  EXPECT_FALSE(Platform::DirectoryExists(folder_.Join("appdata")));
}

// The report names the user, the command line and the running processes: another user of
// the machine must neither read it nor have it written through a link of theirs.
TEST_F(BugReportFile, IsTheUsersAloneAndNeverWrittenThroughALink) {
  if (Platform::NativePathStyle() == Platform::PathStyle::Windows) {
    GTEST_SKIP() << "file modes and links of POSIX";
  }
  namespace fs = std::filesystem;
  const fs::perms userAlone = fs::perms::owner_read | fs::perms::owner_write;
  // Left by an earlier run, readable for everyone.
  TestSupport::WriteFile(InBin("bugreport.txt"), "old");
  fs::permissions(TestSupport::FsPath(InBin("bugreport.txt")),
                  userAlone | fs::perms::group_read | fs::perms::others_read);
  ASSERT_TRUE(Save("r"));
  EXPECT_EQ(Permissions(InBin("bugreport.txt")), userAlone);

  const std::string target = folder_.Join("theirs.txt");
  TestSupport::WriteFile(target, "theirs");
  ASSERT_TRUE(Platform::DeleteOneFile(InBin("bugreport.txt")));
  fs::create_symlink(TestSupport::FsPath(target), TestSupport::FsPath(InBin("bugreport.txt")));
  ASSERT_TRUE(Save("r"));
  EXPECT_EQ(TestSupport::ReadFile(target), "theirs");
  EXPECT_EQ(TestSupport::ReadFile(Fallback("bugreport.txt")), "r\r\n\r\n");
  EXPECT_EQ(Permissions(Fallback("bugreport.txt")), userAlone);
}

// The upload's copies go into the reporter's temporary folder, always as files of their own.
TEST_F(BugReportFile, ACopyIsAlwaysANewFile) {
  const std::string copy = folder_.Join("copy.txt");
  const std::string second = folder_.Join("second.txt");
  ASSERT_TRUE(SaveNewBugReportFile(copy, "r"));
  EXPECT_FALSE(SaveNewBugReportFile(copy, "s")) << "the name is taken";
  EXPECT_EQ(TestSupport::ReadFile(copy), "r\r\n\r\n");
  ASSERT_TRUE(CopyBugReportFile(copy, second));
  EXPECT_FALSE(CopyBugReportFile(copy, second));
  EXPECT_EQ(TestSupport::ReadFile(second), "r\r\n\r\n");

  std::error_code error;
  const std::string link = folder_.Join("link.txt");
  std::filesystem::create_symlink(TestSupport::FsPath(copy), TestSupport::FsPath(link), error);
  if (error) return;  // Wine cannot make one
  EXPECT_FALSE(SaveNewBugReportFile(link, "s"));
  EXPECT_FALSE(CopyBugReportFile(second, link));
  EXPECT_EQ(TestSupport::ReadFile(copy), "r\r\n\r\n");
}

TEST(ProgramReportFileContext, KeepsTheExceptionPlaceholdersInTheFallbackName) {
  const auto context = ProgramReportFileContext();
  ASSERT_TRUE(context.Expand);
  EXPECT_EQ(context.Expand("%exceptClass%-%exceptMsg%-%bugReport%-%errorDetails%.txt"),
            "%exceptClass%-%exceptMsg%-%bugReport%-%errorDetails%.txt");
  EXPECT_EQ(context.Expand("%userappdata%").find('%'), std::string::npos);
}

// POSIX has no mandatory sharing: the report file's lock and the program's other file opens
// exclude each other, as Windows' sharing modes do.
TEST(ExclusiveFile, ExcludesOtherOpensWhileHeld) {
  TestSupport::ScopedTempDir folder;
  const std::string path = folder.Join("held.txt");
  auto held = Platform::ExclusiveFile::OpenOrCreate(path);
  ASSERT_TRUE(held);
  EXPECT_FALSE(Platform::File::Open(path, Platform::File::Mode::OpenExistingRead));
  EXPECT_FALSE(Platform::ExclusiveFile::OpenOrCreate(path));
  held->Close();
  auto reader = Platform::File::Open(path, Platform::File::Mode::OpenExistingRead);
  ASSERT_TRUE(reader);
  EXPECT_FALSE(Platform::ExclusiveFile::OpenOrCreate(path));
  reader->Close();
  EXPECT_TRUE(Platform::ExclusiveFile::OpenOrCreate(path));
}

}  // namespace
}  // namespace Reporter::Report
