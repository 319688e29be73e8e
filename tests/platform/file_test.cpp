#include "platform/file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace {

using Platform::File;
using Mode = Platform::File::Mode;

std::string Text(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

std::string ReadAll(File& file) {
  std::vector<std::uint8_t> bytes;
  EXPECT_TRUE(file.ReadToEnd(bytes));
  return Text(bytes);
}

class FileTest : public ::testing::Test {
 protected:
  TestSupport::ScopedTempDir folder_;
  const std::string path_ = folder_.Join("data.bin");
};

TEST_F(FileTest, CreateAlwaysEmptiesAnExistingFile) {
  TestSupport::WriteFile(path_, "old contents");
  auto file = File::Open(path_, Mode::CreateAlwaysReadWrite);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Size(), 0);
  file->Close();
  EXPECT_EQ(TestSupport::ReadFile(path_), "");
}

TEST_F(FileTest, ReadsFromThePositionAndTruncatesThere) {
  auto file = File::Open(path_, Mode::CreateAlwaysReadWrite);
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->Write("0123456789", 10));
  ASSERT_TRUE(file->Seek(6));
  EXPECT_EQ(ReadAll(*file), "6789");
  ASSERT_TRUE(file->Seek(4));
  ASSERT_TRUE(file->Truncate());
  EXPECT_EQ(file->Size(), 4);
  ASSERT_TRUE(file->Seek(0));
  EXPECT_EQ(ReadAll(*file), "0123");
  EXPECT_FALSE(file->Seek(-1));
}

TEST_F(FileTest, ReadToEndReadsMoreThanOneChunk) {
  std::string content(300000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 % 251);
  TestSupport::WriteFile(path_, content);
  auto file = File::Open(path_, Mode::OpenExistingRead);
  ASSERT_TRUE(file);
  EXPECT_EQ(ReadAll(*file), content);
}

TEST_F(FileTest, MissingFileDoesNotOpenAndSaysWhy) {
  for (const Mode mode : {Mode::OpenExistingRead, Mode::OpenExistingReadWrite}) {
    const auto missing = File::Open(path_, mode);
    EXPECT_FALSE(missing);
    EXPECT_FALSE(missing.error().empty());
  }
  EXPECT_FALSE(File::Open(folder_.Join("no-folder/data.bin"), Mode::CreateAlwaysReadWrite));
}

TEST_F(FileTest, MovingHandsTheOpenFileOver) {
  auto opened = File::Open(path_, Mode::CreateAlwaysReadWrite);
  ASSERT_TRUE(opened);
  File file = std::move(*opened);
  EXPECT_FALSE(opened->IsOpen());
  EXPECT_FALSE(opened->Write("x", 1));
  EXPECT_TRUE(file.Write("abc", 3));

  // Assigning over an open file closes it, which lets others write it again.
  const std::string otherPath = folder_.Join("other.bin");
  auto other = File::Open(otherPath, Mode::CreateAlwaysReadWrite);
  ASSERT_TRUE(other);
  file = std::move(*other);
  EXPECT_TRUE(File::Open(path_, Mode::OpenExistingReadWrite));
  EXPECT_FALSE(File::Open(otherPath, Mode::OpenExistingReadWrite));
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(TestSupport::ReadFile(path_), "abc");
}

TEST_F(FileTest, WriterKeepsOtherWritersAndReadersOutUntilClosed) {
  auto writer = File::Open(path_, Mode::CreateAlwaysReadWrite);
  ASSERT_TRUE(writer);
  EXPECT_FALSE(File::Open(path_, Mode::OpenExistingReadWrite));
  EXPECT_FALSE(File::Open(path_, Mode::OpenExistingRead));
  writer->Close();
  EXPECT_TRUE(File::Open(path_, Mode::OpenExistingReadWrite));
}

TEST_F(FileTest, ReadersShareTheFileButKeepWritersOut) {
  TestSupport::WriteFile(path_, "shared");
  auto first = File::Open(path_, Mode::OpenExistingRead);
  auto second = File::Open(path_, Mode::OpenExistingRead);
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_EQ(ReadAll(*second), "shared");
  EXPECT_FALSE(File::Open(path_, Mode::OpenExistingReadWrite));
  EXPECT_FALSE(File::Open(path_, Mode::CreateAlwaysReadWrite));
  EXPECT_EQ(TestSupport::ReadFile(path_), "shared");
}

TEST_F(FileTest, FileHeldByAnotherProcessCannotBeOpenedUntilReleased) {
  TestSupport::WriteFile(path_, "in use");
  TestSupport::HelperProcess holder("LockHolder", {path_});
  ASSERT_EQ(holder.ReadyText(), "locked");

  const auto held = File::Open(path_, Mode::OpenExistingReadWrite);
  EXPECT_FALSE(held);
  EXPECT_FALSE(held.error().empty());
  EXPECT_FALSE(File::Open(path_, Mode::OpenExistingRead));
  // A refused create leaves the contents alone.
  EXPECT_FALSE(File::Open(path_, Mode::CreateAlwaysReadWrite));
  EXPECT_EQ(TestSupport::ReadFile(path_), "in use");

  holder.Release();
  EXPECT_TRUE(File::Open(path_, Mode::OpenExistingReadWrite));
}

}  // namespace
