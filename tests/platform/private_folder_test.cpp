#include "platform/private_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/path_style.h"
#include "platform/process.h"
#include "support/scoped_temp_dir.h"

namespace {

namespace fs = std::filesystem;
using TestSupport::FsPath;

bool OnWindows() {
  return Platform::NativePathStyle() == Platform::PathStyle::Windows;
}

// A link, where the system lets the test make one (Wine does not).
bool MakeFolderLink(const std::string& target, const std::string& link) {
  std::error_code error;
  fs::create_directory_symlink(FsPath(target), FsPath(link), error);
  return !error;
}

TEST(RemoveFolderTree, NestedFoldersAndReadOnlyEntriesGo) {
  TestSupport::ScopedTempDir root;
  const std::string folder = root.Join("Update.Exvora");
  TestSupport::MakeDirectory(folder);
  TestSupport::MakeDirectory(root.Join("Update.Exvora/inner"));
  TestSupport::WriteFile(root.Join("Update.Exvora/bugreport.txt"), "report");
  TestSupport::WriteFile(root.Join("Update.Exvora/inner/copy.txt"), "copy");
  ASSERT_TRUE(Platform::SetReadOnly(root.Join("Update.Exvora/inner/copy.txt"), true));

  EXPECT_TRUE(Platform::RemoveFolderTree(folder));
  EXPECT_FALSE(Platform::DirectoryExists(folder));
  EXPECT_TRUE(Platform::RemoveFolderTree(root.Join("never made")));
  EXPECT_TRUE(Platform::RemoveFolderTree(""));
}

// Another user puts a link where the folder goes, or into it: what the link names stays whole.
TEST(RemoveFolderTree, LinksGoAndWhatTheyNameStays) {
  TestSupport::ScopedTempDir root;
  const std::string theirs = root.Join("theirs");
  TestSupport::MakeDirectory(theirs);
  TestSupport::WriteFile(root.Join("theirs/keep.txt"), "keep");
  const std::string folder = root.Join("Update.Exvora");
  if (!MakeFolderLink(theirs, folder)) GTEST_SKIP() << "no links here";

  EXPECT_TRUE(Platform::RemoveFolderTree(folder));
  EXPECT_FALSE(fs::exists(fs::symlink_status(FsPath(folder))));
  TestSupport::MakeDirectory(folder);
  ASSERT_TRUE(MakeFolderLink(theirs, root.Join("Update.Exvora/inner")));
  EXPECT_TRUE(Platform::RemoveFolderTree(folder));
  EXPECT_FALSE(fs::exists(fs::symlink_status(FsPath(folder))));
  EXPECT_EQ(TestSupport::ReadFile(root.Join("theirs/keep.txt")), "keep");
}

TEST(MakePrivateFolder, MakesAFolderForTheUserAloneAndRefusesOthers) {
  TestSupport::ScopedTempDir root;
  const std::string folder = root.Join("Update.Exvora");
  ASSERT_TRUE(Platform::MakePrivateFolder(folder));
  EXPECT_TRUE(Platform::MakePrivateFolder(folder)) << "made before, by this user";
  if (!OnWindows()) {
    EXPECT_EQ(fs::status(FsPath(folder)).permissions() & fs::perms::mask, fs::perms::owner_all);
    // Open to others: someone else may have put anything inside.
    const std::string open = root.Join("open");
    TestSupport::MakeDirectory(open);
    fs::permissions(FsPath(open), fs::perms::all);
    EXPECT_FALSE(Platform::MakePrivateFolder(open));
  }
  const std::string link = root.Join("link");
  if (MakeFolderLink(folder, link)) {
    EXPECT_FALSE(Platform::MakePrivateFolder(link));
  }
}

// Where the folder goes on POSIX, with each place the environment offers.
class PrivateTemporaryFolderPath : public testing::Test {
 protected:
  void SetUp() override {
    if (OnWindows()) GTEST_SKIP() << "the user's own temporary folder on Windows";
    for (const char* name : kVariables) saved_.push_back(Platform::EnvironmentValue(name));
    TestSupport::MakeDirectory(root_.Join("tmp"));
    TestSupport::MakeDirectory(root_.Join("config"));
    EXPECT_TRUE(Platform::SetEnvironmentValue("TMPDIR", root_.Join("tmp")));
    EXPECT_TRUE(Platform::SetEnvironmentValue("XDG_CONFIG_HOME", root_.Join("config")));
    EXPECT_TRUE(Platform::SetEnvironmentValue("XDG_RUNTIME_DIR", ""));
  }
  void TearDown() override {
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      EXPECT_TRUE(Platform::SetEnvironmentValue(kVariables[i], saved_[i]));
    }
  }

  static constexpr const char* kVariables[] = {"TMPDIR", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"};
  std::vector<std::string> saved_;
  TestSupport::ScopedTempDir root_;
};

TEST_F(PrivateTemporaryFolderPath, RuntimeFolderThenUserNamedThenApplicationData) {
  const std::string runtime = root_.Join("runtime");
  TestSupport::MakeDirectory(runtime);
  fs::permissions(FsPath(runtime), fs::perms::owner_all);
  EXPECT_TRUE(Platform::SetEnvironmentValue("XDG_RUNTIME_DIR", runtime));
  EXPECT_EQ(Platform::PrivateTemporaryFolderPath("Update.Exvora"), runtime + "/Update.Exvora");

  // A runtime folder open to others is none.
  fs::permissions(FsPath(runtime), fs::perms::all);
  const std::string shared = Platform::PrivateTemporaryFolderPath("Update.Exvora");
  const std::string userNamed = root_.Join("tmp/Update.Exvora-");
  EXPECT_EQ(shared.substr(0, userNamed.size()), userNamed);
  EXPECT_GT(shared.size(), userNamed.size());

  // Someone else holds the name in the shared folder.
  TestSupport::MakeDirectory(shared);
  fs::permissions(FsPath(shared), fs::perms::all);
  EXPECT_EQ(Platform::PrivateTemporaryFolderPath("Update.Exvora"),
            root_.Join("config/Update.Exvora"));
}

}  // namespace
