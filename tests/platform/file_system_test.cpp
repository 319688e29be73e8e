#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/path_style.h"
#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace {

using TestSupport::FsPath;
using TestSupport::ReadFile;
using TestSupport::Separator;
using TestSupport::WriteFile;

class FileSystemTest : public ::testing::Test {
 protected:
  TestSupport::ScopedTempDir folder_;
};

TEST_F(FileSystemTest, TellsFilesFromDirectories) {
  const std::string file = folder_.Join("file.txt");
  const std::string directory = folder_.Join("sub");
  WriteFile(file, "x");
  TestSupport::MakeDirectory(directory);
  EXPECT_TRUE(Platform::FileExists(file));
  EXPECT_FALSE(Platform::DirectoryExists(file));
  EXPECT_TRUE(Platform::DirectoryExists(directory));
  EXPECT_FALSE(Platform::FileExists(directory));
  EXPECT_FALSE(Platform::FileExists(folder_.Join("missing")));
  EXPECT_FALSE(Platform::DirectoryExists(folder_.Join("missing")));
  EXPECT_FALSE(Platform::FileExists(""));
}

TEST_F(FileSystemTest, ListsHiddenEntriesAndMarksDirectories) {
  WriteFile(folder_.Join(".hidden"), "h");
  WriteFile(folder_.Join("plain.txt"), "p");
  TestSupport::MakeDirectory(folder_.Join("sub"));
  std::error_code error;
  std::filesystem::create_directory_symlink(FsPath(folder_.Join("sub")),
                                            FsPath(folder_.Join("link")), error);
  const bool haveLink = !error;  // links may need rights the test does not have

  auto entries = Platform::ListDirectory(folder_.Path());
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  std::vector<std::string> listed;
  for (const auto& entry : entries) {
    listed.push_back(entry.name + (entry.isDirectory ? "/" : "") + (entry.isLink ? "@" : ""));
  }
  std::vector<std::string> expected = {".hidden", "plain.txt", "sub/"};
  if (haveLink) expected.insert(expected.begin() + 1, "link/@");
  EXPECT_EQ(listed, expected);
}

TEST_F(FileSystemTest, UnreadableDirectoryListsNothing) {
  WriteFile(folder_.Join("file.txt"), "x");
  EXPECT_TRUE(Platform::ListDirectory(folder_.Join("missing")).empty());
  EXPECT_TRUE(Platform::ListDirectory(folder_.Join("file.txt")).empty());
  EXPECT_TRUE(Platform::ListDirectory("").empty());
}

TEST_F(FileSystemTest, ReadOnlyIsSetAndCleared) {
  const std::string file = folder_.Join("file.txt");
  WriteFile(file, "x");
  EXPECT_FALSE(Platform::IsReadOnly(file));
  ASSERT_TRUE(Platform::SetReadOnly(file, true));
  EXPECT_TRUE(Platform::IsReadOnly(file));
  ASSERT_TRUE(Platform::SetReadOnly(file, false));
  EXPECT_FALSE(Platform::IsReadOnly(file));
  ASSERT_TRUE(Platform::SetReadOnly(file, true));
  ASSERT_TRUE(Platform::SetNormalAttributes(file));
  EXPECT_FALSE(Platform::IsReadOnly(file));
  EXPECT_FALSE(Platform::IsReadOnly(folder_.Join("missing")));
  EXPECT_FALSE(Platform::SetReadOnly(folder_.Join("missing"), true));
}

TEST_F(FileSystemTest, CopyCarriesContentsReadOnlyAndModificationTime) {
  const std::string source = folder_.Join("source.txt");
  const std::string target = folder_.Join("target.txt");
  WriteFile(source, "new contents");
  const auto lastWeek = std::chrono::time_point_cast<std::chrono::seconds>(
      std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 7));
  std::filesystem::last_write_time(FsPath(source), lastWeek);
  ASSERT_TRUE(Platform::SetReadOnly(source, true));

  const Platform::Status copied = Platform::CopyFileReplacing(source, target);
  ASSERT_TRUE(copied) << copied.error();
  EXPECT_EQ(ReadFile(target), "new contents");
  EXPECT_TRUE(Platform::IsReadOnly(target));
  EXPECT_EQ(std::filesystem::last_write_time(FsPath(target)), lastWeek);
  // Nothing else is left behind in the folder.
  EXPECT_EQ(Platform::ListDirectory(folder_.Path()).size(), 2u);
}

TEST_F(FileSystemTest, CopyReplacesReadOnlyTargetOnceItsAttributesAreNormal) {
  const std::string source = folder_.Join("source.txt");
  const std::string target = folder_.Join("target.txt");
  WriteFile(source, "new");
  WriteFile(target, "old and longer");
  ASSERT_TRUE(Platform::SetReadOnly(target, true));
  ASSERT_TRUE(Platform::SetNormalAttributes(target));
  const Platform::Status copied = Platform::CopyFileReplacing(source, target);
  ASSERT_TRUE(copied) << copied.error();
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_FALSE(Platform::IsReadOnly(target));
}

TEST_F(FileSystemTest, CopyTakesLargeFilesWhole) {
  std::string content(5 * 1024 * 1024 + 123, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 13 % 241);
  const std::string source = folder_.Join("large.bin");
  WriteFile(source, content);
  ASSERT_TRUE(Platform::CopyFileReplacing(source, folder_.Join("copy.bin")));
  EXPECT_TRUE(ReadFile(folder_.Join("copy.bin")) == content);
}

TEST_F(FileSystemTest, FailedCopySaysWhyAndLeavesTheTargetAlone) {
  const std::string target = folder_.Join("target.txt");
  WriteFile(target, "keep");
  const Platform::Status fromNothing = Platform::CopyFileReplacing(folder_.Join("missing"), target);
  EXPECT_FALSE(fromNothing);
  EXPECT_FALSE(fromNothing.error().empty());
  EXPECT_EQ(ReadFile(target), "keep");
  WriteFile(folder_.Join("source.txt"), "x");
  const Platform::Status intoNowhere =
      Platform::CopyFileReplacing(folder_.Join("source.txt"), folder_.Join("no/target"));
  EXPECT_FALSE(intoNowhere);
  EXPECT_FALSE(intoNowhere.error().empty());
}

// A folder where no new file can be made, as on a full disk: the copy fails and the installed
// file keeps every byte, instead of being overwritten with as much of the new one as fits.
TEST_F(FileSystemTest, CopyWithoutRoomForANewFileLeavesTheTargetWhole) {
  if (Platform::NativePathStyle() != Platform::PathStyle::Posix) GTEST_SKIP() << "uses chattr";
  const std::string sealed = folder_.Join("sealed");
  TestSupport::MakeDirectory(sealed);
  const std::string target = sealed + Separator() + "installed.bin";
  WriteFile(target, std::string(600 * 1024, 'o'));
  WriteFile(folder_.Join("new.bin"), std::string(700 * 1024, 'n'));
  // An immutable folder takes no new entries, not even from root; its files stay writable.
  const std::string seal = "chattr +i '" + sealed + "' 2>/dev/null";
  if (std::system(seal.c_str()) != 0) GTEST_SKIP() << "no immutable folders here";
  const Platform::Status copied = Platform::CopyFileReplacing(folder_.Join("new.bin"), target);
  std::system(("chattr -i '" + sealed + "'").c_str());
  EXPECT_FALSE(copied);
  EXPECT_FALSE(copied.error().empty());
  EXPECT_TRUE(ReadFile(target) == std::string(600 * 1024, 'o'));
}

// Only permission bits reach the installation, and a link arrives as the same link.
TEST_F(FileSystemTest, CopyDropsSetIdBitsAndCopiesALinkAsALink) {
  namespace fs = std::filesystem;
  if (Platform::NativePathStyle() != Platform::PathStyle::Posix) GTEST_SKIP() << "POSIX modes";
  const std::string program = folder_.Join("program");
  WriteFile(program, "#!/bin/sh\n");
  fs::permissions(FsPath(program), fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::set_uid |
                                       fs::perms::set_gid);
  ASSERT_TRUE(Platform::CopyFileReplacing(program, folder_.Join("installed")));
  EXPECT_EQ(fs::status(FsPath(folder_.Join("installed"))).permissions(),
            fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);

  const std::string link = folder_.Join("link");
  const std::string installedLink = folder_.Join("installed link");
  fs::create_symlink("program", FsPath(link));
  WriteFile(installedLink, "a file before");
  ASSERT_TRUE(Platform::CopyFileReplacing(link, installedLink));
  ASSERT_TRUE(fs::is_symlink(FsPath(installedLink)));
  EXPECT_EQ(fs::read_symlink(FsPath(installedLink)), fs::path("program"));
}

TEST_F(FileSystemTest, DeletesFilesButNotDirectories) {
  const std::string file = folder_.Join("file.txt");
  const std::string directory = folder_.Join("sub");
  WriteFile(file, "x");
  TestSupport::MakeDirectory(directory);
  EXPECT_TRUE(Platform::DeleteOneFile(file));
  EXPECT_FALSE(Platform::FileExists(file));
  const Platform::Status directoryDeleted = Platform::DeleteOneFile(directory);
  EXPECT_FALSE(directoryDeleted);
  EXPECT_FALSE(directoryDeleted.error().empty());
  EXPECT_TRUE(Platform::DirectoryExists(directory));
  const Platform::Status deletedAgain = Platform::DeleteOneFile(file);
  EXPECT_FALSE(deletedAgain);
  EXPECT_FALSE(deletedAgain.error().empty());
}

TEST_F(FileSystemTest, RemovesOnlyEmptyDirectories) {
  const std::string directory = folder_.Join("sub");
  const std::string file = folder_.Join("sub") + Separator() + "file.txt";
  TestSupport::MakeDirectory(directory);
  WriteFile(file, "x");
  EXPECT_FALSE(Platform::RemoveEmptyDirectory(directory));
  EXPECT_TRUE(Platform::DirectoryExists(directory));
  ASSERT_TRUE(Platform::DeleteOneFile(file));
  EXPECT_TRUE(Platform::RemoveEmptyDirectory(directory));
  EXPECT_FALSE(Platform::DirectoryExists(directory));
  EXPECT_FALSE(Platform::RemoveEmptyDirectory(directory));
}

TEST_F(FileSystemTest, RemovingALinkedDirectoryLeavesItsTargetAlone) {
  const std::string target = folder_.Join("target");
  const std::string link = folder_.Join("link");
  TestSupport::MakeDirectory(target);
  WriteFile(target + Separator() + "precious.txt", "keep");
  std::error_code error;
  std::filesystem::create_directory_symlink(FsPath(target), FsPath(link), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  EXPECT_TRUE(Platform::RemoveEmptyDirectory(link));
  EXPECT_FALSE(Platform::DirectoryExists(link));
  EXPECT_EQ(ReadFile(target + Separator() + "precious.txt"), "keep");
}

}  // namespace
