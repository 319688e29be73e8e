// The start-up test on real built programs: this test program and Update carry their symbol
// data and then their stamp, as the build leaves them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "reporter/integrity/checksum_stamp.h"
#include "reporter/integrity/program_file_check.h"
#include "reporter/report/symbols/map_file.h"
#include "reporter/settings/reporter_settings.h"
#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace {

using namespace Reporter::Integrity;

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  auto file = Platform::File::Open(path, Platform::File::Mode::OpenExistingRead);
  EXPECT_TRUE(file && file->ReadToEnd(bytes)) << path;
  return bytes;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  auto file = Platform::File::Open(path, Platform::File::Mode::CreateAlwaysReadWrite);
  ASSERT_TRUE(file && file->Write(bytes.data(), bytes.size())) << path;
}

std::string FileNameOf(const std::string& path) {
  return path.substr(path.find_last_of("/\\") + 1);
}

// Settings without a resource (so that no message box can come up): the built-in text.
class DamagedFileMessage : public ::testing::Test {
 protected:
  DamagedFileMessage() {
    hooks_.readResource = [](Platform::ModuleHandle) {
      return std::optional<std::vector<std::uint8_t>>();
    };
    hooks_.showMessage = [](std::string_view, std::string_view) {};
    settings_ =
        std::make_unique<Reporter::Settings::TReporterSettings>(Platform::MainModule(), hooks_);
  }

  Reporter::Settings::SettingsLoadHooks hooks_;
  std::unique_ptr<Reporter::Settings::TReporterSettings> settings_;
};

TEST(StampedProgram, ThisProgramAndUpdateVerify) {
  EXPECT_EQ(CheckProgramFile(Platform::ExecutablePath()), TFileCheck::Intact);
  const std::string update =
      TestSupport::TestProgramPath("Update" + TestSupport::ExecutableSuffix());
  // The test runs at every start of Update, so its cost is worth watching.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CheckProgramFile(update), TFileCheck::Intact);
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  std::printf("Update's file checked in %lld us\n", static_cast<long long>(took.count()));
}

TEST(StampedProgram, SymbolDataStillLoadsFromTheStampedFile) {
  for (const std::string& path :
       {Platform::ExecutablePath(),
        TestSupport::TestProgramPath("Update" + TestSupport::ExecutableSuffix())}) {
    const auto map = Reporter::Symbols::TMapFile::ForImageFile(path, 0);
    ASSERT_NE(map, nullptr) << path;
    EXPECT_TRUE(map->HasSymbolData()) << path;
  }
}

TEST(StampedProgram, ACopyWithOneFlippedByteIsDamaged) {
  const std::vector<std::uint8_t> original = ReadBytes(Platform::ExecutablePath());
  const std::optional<std::size_t> stamp = FindStamp(original);
  ASSERT_TRUE(stamp);
  TestSupport::ScopedTempDir folder;
  const std::string copy = folder.Join(FileNameOf(Platform::ExecutablePath()));
  WriteBytes(copy, original);
  ASSERT_EQ(CheckProgramFile(copy), TFileCheck::Intact);

  // The headers, the middle of the image, each part of the stamp, the symbol data, its trailer.
  const std::size_t size = original.size();
  for (const std::size_t at : {std::size_t(0), std::size_t(0x3C), size / 2, *stamp, *stamp + 9,
                               *stamp + 13, *stamp + kStampSize, size - 9, size - 1}) {
    std::vector<std::uint8_t> damaged = original;
    damaged[at] ^= 0x10;
    WriteBytes(copy, damaged);
    EXPECT_TRUE(IsDamaged(CheckProgramFile(copy))) << "byte " << at << " of " << size;
  }
}

TEST(StampedProgram, AMissingFileIsUnreadableAndNotCalledDamaged) {
  TestSupport::ScopedTempDir folder;
  const TFileCheck result = CheckProgramFile(folder.Join("missing.exe"));
  EXPECT_EQ(result, TFileCheck::Unreadable);
  EXPECT_FALSE(IsDamaged(result));
}

TEST_F(DamagedFileMessage, NamesTheProgramOnlyWhenItsFileIsDamaged) {
  const TProgramFileCheck own = CheckOwnProgramFile(*settings_);
  EXPECT_EQ(own.Result, TFileCheck::Intact);
  EXPECT_EQ(own.FaultMessage, "");

  std::vector<std::uint8_t> bytes = ReadBytes(Platform::ExecutablePath());
  bytes[bytes.size() / 3] ^= 1;
  TestSupport::ScopedTempDir folder;
  const std::string name = FileNameOf(Platform::ExecutablePath());
  WriteBytes(folder.Join(name), bytes);
  const TProgramFileCheck damaged = CheckProgramFile(folder.Join(name), *settings_);
  EXPECT_EQ(damaged.Result, TFileCheck::Damaged);
  EXPECT_EQ(damaged.FaultMessage, settings_->GetBitFaultMsg());
  EXPECT_NE(damaged.FaultMessage.find("\"" + name + "\""), std::string::npos)
      << damaged.FaultMessage;

  bytes.resize(*FindStamp(ReadBytes(Platform::ExecutablePath())));
  WriteBytes(folder.Join(name), bytes);
  const TProgramFileCheck unstamped = CheckProgramFile(folder.Join(name), *settings_);
  EXPECT_EQ(unstamped.Result, TFileCheck::NotStamped);
  EXPECT_FALSE(unstamped.FaultMessage.empty());
}

}  // namespace
