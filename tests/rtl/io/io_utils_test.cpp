#include "rtl/io/io_utils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/file_system.h"
#include "rtl/exceptions.h"
#include "rtl/io/paths.h"
#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace {

using RTL::IOUtils::DeleteFileWithRetries;
using RTL::IOUtils::TWaitForFileWritable;

struct SleepRecorder {
  std::vector<std::uint32_t> pauses;
  RTL::IOUtils::SleepFunction Function() {
    return [this](std::uint32_t milliseconds) { pauses.push_back(milliseconds); };
  }
};

// Stands for a file that another process holds open for writing during its first opens.
class HeldFileWaiter : public TWaitForFileWritable {
 public:
  HeldFileWaiter(RTL::IOUtils::SleepFunction sleep, int heldOpens)
      : TWaitForFileWritable(std::move(sleep)), heldOpens_(heldOpens) {}
  mutable int opens = 0;

 protected:
  std::optional<Platform::File> OpenFile(const std::string& AFileName,
                                         Platform::File::Mode mode) const override {
    if (opens++ < heldOpens_) return std::nullopt;
    return TWaitForFileWritable::OpenFile(AFileName, mode);
  }

 private:
  int heldOpens_;
};

class WaitForFile : public ::testing::Test {
 protected:
  TestSupport::ScopedTempDir dir_;
  std::string lockFile_ = dir_.Join("update.neb");
  SleepRecorder sleep_;

  std::string MissingFolderFile() const {
    return dir_.Join(std::string("missing") + RTL::Paths::Separator() + "update.neb");
  }
};

TEST_F(WaitForFile, CreatesAMissingFileEmptyWithoutPause) {
  EXPECT_TRUE(TWaitForFileWritable(sleep_.Function()).Execute(lockFile_, 1000, 200));
  EXPECT_TRUE(Platform::FileExists(lockFile_));
  EXPECT_EQ(TestSupport::ReadFile(lockFile_), "");
  EXPECT_TRUE(sleep_.pauses.empty());
}

TEST_F(WaitForFile, OpensAFreeFileAtOnceAndKeepsItsContent) {
  TestSupport::WriteFile(lockFile_, "marker");
  EXPECT_TRUE(TWaitForFileWritable(sleep_.Function()).Execute(lockFile_));
  EXPECT_EQ(TestSupport::ReadFile(lockFile_), "marker");
  EXPECT_TRUE(sleep_.pauses.empty());
}

TEST_F(WaitForFile, FailsAtOnceWhenTheFileCannotBeCreated) {
  const HeldFileWaiter waiter(sleep_.Function(), 0);
  EXPECT_FALSE(waiter.Execute(MissingFolderFile(), 1000, 200));
  EXPECT_FALSE(waiter.Execute(dir_.Path(), 1000, 200));  // a folder is no file to open
  EXPECT_TRUE(sleep_.pauses.empty());
}

TEST_F(WaitForFile, PausesRandomlyAfterEveryFailedAttempt) {
  TestSupport::WriteFile(lockFile_, "");
  const HeldFileWaiter held(sleep_.Function(), 1'000'000);
  EXPECT_FALSE(held.Execute(lockFile_, 1000, 200));
  EXPECT_EQ(held.opens, 1000);
  ASSERT_EQ(sleep_.pauses.size(), 1000u);
  std::uint32_t shortest = UINT32_MAX, longest = 0;
  for (std::uint32_t pause : sleep_.pauses) {
    shortest = std::min(shortest, pause);
    longest = std::max(longest, pause);
  }
  EXPECT_GE(shortest, 140u);
  EXPECT_LE(longest, 259u);
  EXPECT_LT(shortest, 160u) << "pauses should spread over the whole range";
  EXPECT_GT(longest, 240u);

  sleep_.pauses.clear();
  EXPECT_FALSE(held.Execute(lockFile_, 50, 10));
  for (std::uint32_t pause : sleep_.pauses) EXPECT_TRUE(pause >= 7 && pause <= 12) << pause;
}

TEST_F(WaitForFile, EdgeValuesOfRetriesAndWaitTime) {
  TestSupport::WriteFile(lockFile_, "");
  const HeldFileWaiter held(sleep_.Function(), 1'000'000);
  EXPECT_FALSE(held.Execute(lockFile_, 0, 200));
  EXPECT_FALSE(held.Execute(lockFile_, -5, 200));
  EXPECT_EQ(held.opens, 0);
  EXPECT_FALSE(held.Execute(lockFile_, 3, 0));
  EXPECT_EQ(held.opens, 3);
  EXPECT_TRUE(sleep_.pauses.empty());
}

TEST_F(WaitForFile, SucceedsOnceTheHolderLetsGo) {
  TestSupport::WriteFile(lockFile_, "");
  const HeldFileWaiter held(sleep_.Function(), 2);
  EXPECT_TRUE(held.Execute(lockFile_, 5, 100));
  EXPECT_EQ(held.opens, 3);
  EXPECT_EQ(sleep_.pauses.size(), 2u);
}

TEST_F(WaitForFile, WaitsForAnotherProcessThatHoldsTheFile) {
  TestSupport::WriteFile(lockFile_, "");
  TestSupport::HelperProcess holder("LockHolder", {lockFile_});
  ASSERT_EQ(holder.ReadyText(), "locked");
  const TWaitForFileWritable waiter(sleep_.Function());
  EXPECT_FALSE(waiter.Execute(lockFile_, 3, 10));
  EXPECT_EQ(sleep_.pauses.size(), 3u);
  holder.Release();
  EXPECT_TRUE(waiter.Execute(lockFile_, 3, 10));
}

// The holder removed the file when it let go: the next attempt creates it anew instead of
// failing on a file that is not there for the remaining retries.
TEST_F(WaitForFile, CreatesTheFileAnewWhenItsHolderRemovedIt) {
  class RemovingHolder : public TWaitForFileWritable {
   public:
    using TWaitForFileWritable::TWaitForFileWritable;

   protected:
    std::optional<Platform::File> OpenFile(const std::string& AFileName,
                                           Platform::File::Mode mode) const override {
      if (!removed_) {
        removed_ = static_cast<bool>(Platform::DeleteOneFile(AFileName));
        return std::nullopt;
      }
      return TWaitForFileWritable::OpenFile(AFileName, mode);
    }

   private:
    mutable bool removed_ = false;
  };
  TestSupport::WriteFile(lockFile_, "held");
  EXPECT_TRUE(RemovingHolder(sleep_.Function()).Execute(lockFile_, 5, 100));
  EXPECT_TRUE(Platform::FileExists(lockFile_));
  EXPECT_EQ(sleep_.pauses.size(), 1u);
}

TEST_F(WaitForFile, HandsOutTheOpenFileCutWhenAsked) {
  TestSupport::WriteFile(lockFile_, std::string(100, 'x'));
  const TWaitForFileWritable waiter(sleep_.Function());
  std::unique_ptr<RTL::TFileStream> stream;
  ASSERT_TRUE(waiter.Execute(lockFile_, false, stream));
  ASSERT_TRUE(stream && stream->File().IsOpen());
  EXPECT_EQ(stream->File().Size(), 100);
  stream.reset();

  ASSERT_TRUE(waiter.Execute(lockFile_, true, stream));
  ASSERT_TRUE(stream && stream->File().IsOpen());
  EXPECT_EQ(stream->FileName(), lockFile_);
  EXPECT_EQ(stream->File().Size(), 0);
}

TEST_F(WaitForFile, ReadsTheWholeFileIntoMemory) {
  TestSupport::WriteFile(lockFile_, std::string("a\0b\xFF", 4));
  std::unique_ptr<RTL::TBytesStream> bytes;
  ASSERT_TRUE(TWaitForFileWritable(sleep_.Function()).Execute(lockFile_, bytes));
  EXPECT_EQ(bytes->Bytes(), (std::vector<std::uint8_t>{'a', 0, 'b', 0xFF}));
  EXPECT_EQ(bytes->Position(), 0u);

  const HeldFileWaiter held(sleep_.Function(), 1'000'000);
  EXPECT_FALSE(held.Execute(lockFile_, 2, 0, bytes));
  EXPECT_EQ(bytes, nullptr);
}

class DeleteWithRetries : public WaitForFile {
 protected:
  int attempts_ = 0;
  // An attempt that fails the given number of times with the given error, then deletes.
  template <typename Error>
  RTL::IOUtils::DeleteAttempt FailingAttempt(int failures) {
    return [this, failures](const std::string& path) {
      if (attempts_++ < failures) throw Error("refused");
      RTL::IOUtils::DeleteFileAttempt(path);
    };
  }
};

TEST_F(DeleteWithRetries, IgnoresAPathThatNamesNoFile) {
  const auto attempt = FailingAttempt<RTL::EInOutError>(1000);
  EXPECT_NO_THROW(DeleteFileWithRetries(lockFile_, sleep_.Function(), attempt));
  EXPECT_NO_THROW(DeleteFileWithRetries(dir_.Path(), sleep_.Function(), attempt));
  EXPECT_EQ(attempts_, 0);
}

TEST_F(DeleteWithRetries, RetriesRefusalsAndMissingFolders) {
  TestSupport::WriteFile(lockFile_, "");
  DeleteFileWithRetries(lockFile_, sleep_.Function(),
                        FailingAttempt<RTL::EDirectoryNotFoundException>(20));
  EXPECT_FALSE(Platform::FileExists(lockFile_));
  EXPECT_EQ(attempts_, 21);
  EXPECT_EQ(sleep_.pauses, std::vector<std::uint32_t>(20, 200));
}

TEST_F(DeleteWithRetries, GivesUpAfterTwentyOneAttempts) {
  TestSupport::WriteFile(lockFile_, "");
  EXPECT_THROW(
      DeleteFileWithRetries(lockFile_, sleep_.Function(), FailingAttempt<RTL::EInOutError>(21)),
      RTL::EInOutError);
  EXPECT_EQ(attempts_, 21);
  EXPECT_EQ(sleep_.pauses.size(), 20u);
  EXPECT_TRUE(Platform::FileExists(lockFile_));
}

TEST_F(DeleteWithRetries, LetsOtherErrorsOutAtOnce) {
  TestSupport::WriteFile(lockFile_, "");
  EXPECT_THROW(DeleteFileWithRetries(lockFile_, sleep_.Function(),
                                     FailingAttempt<RTL::EArgumentException>(1)),
               RTL::EArgumentException);
  EXPECT_EQ(attempts_, 1);
  EXPECT_TRUE(sleep_.pauses.empty());
}

TEST_F(DeleteWithRetries, AnAttemptNamesWhatWentWrong) {
  try {
    RTL::IOUtils::DeleteFileAttempt(MissingFolderFile());
    FAIL() << "no exception";
  } catch (const RTL::EDirectoryNotFoundException& e) {
    EXPECT_EQ(e.Message(), "Der angegebene Pfad wurde nicht gefunden");
  }
  try {
    RTL::IOUtils::DeleteFileAttempt(lockFile_);  // the folder is there, the file is not
    FAIL() << "no exception";
  } catch (const RTL::EInOutError& e) {
    EXPECT_FALSE(e.Message().empty());
  }
  EXPECT_THROW(RTL::IOUtils::DeleteFileAttempt(" "), RTL::EArgumentException);
}

}  // namespace
