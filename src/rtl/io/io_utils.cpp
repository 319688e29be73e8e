#include "rtl/io/io_utils.h"

#include <algorithm>
#include <chrono>
#include <random>

#include "platform/file_system.h"
#include "platform/process.h"
#include "rtl/exceptions.h"
#include "rtl/io/paths.h"
#include "rtl/rtl_strings.h"

namespace RTL::IOUtils {
namespace {

constexpr std::int32_t kDefaultRetries = 50;
constexpr std::int32_t kDefaultWaitTime = 100;

constexpr int kDeleteRetries = 20;
constexpr std::uint32_t kDeletePause = 200;

}  // namespace

const SleepFunction& RealSleep() {
  static const SleepFunction sleep = [](std::uint32_t milliseconds) {
    Platform::SleepMilliseconds(milliseconds);
  };
  return sleep;
}

bool TCustomWaitForFile::Execute(const std::string& AFileName) const {
  return Execute(AFileName, kDefaultRetries, kDefaultWaitTime);
}

bool TCustomWaitForFile::Execute(const std::string& AFileName, std::int32_t ARetries,
                                 std::int32_t AWaitTime) const {
  return OpenWithRetries(AFileName, ARetries, AWaitTime) != nullptr;
}

bool TCustomWaitForFile::Execute(const std::string& AFileName,
                                 std::unique_ptr<TBytesStream>& AStream) const {
  return Execute(AFileName, kDefaultRetries, kDefaultWaitTime, AStream);
}

bool TCustomWaitForFile::Execute(const std::string& AFileName, std::int32_t ARetries,
                                 std::int32_t AWaitTime,
                                 std::unique_ptr<TBytesStream>& AStream) const {
  AStream.reset();
  std::unique_ptr<TFileStream> stream = OpenWithRetries(AFileName, ARetries, AWaitTime);
  std::vector<std::uint8_t> bytes;
  if (!stream || !stream->File().ReadToEnd(bytes)) return false;
  AStream = std::make_unique<TBytesStream>(std::move(bytes));
  return true;
}

std::unique_ptr<TFileStream> TCustomWaitForFile::OpenWithRetries(const std::string& AFileName,
                                                                 std::int32_t ARetries,
                                                                 std::int32_t AWaitTime) const {
  if (!Platform::FileExists(AFileName)) {
    // Nobody can hold a file that is not there: a failed create will not get better.
    std::optional<Platform::File> file = OpenFile(AFileName, GetFileMode(false));
    return file ? std::make_unique<TFileStream>(std::move(*file), AFileName) : nullptr;
  }
  // Random pauses keep several waiting processes from retrying in step.
  std::mt19937 random(static_cast<std::uint32_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count()));
  for (std::int32_t attempt = 0; attempt < ARetries; ++attempt) {
    // A holder that removed the file when it let go leaves nothing to open: then it is
    // created, as if it had been missing from the start.
    const bool exists = attempt == 0 || Platform::FileExists(AFileName);
    std::optional<Platform::File> file = OpenFile(AFileName, GetFileMode(exists));
    if (file) return std::make_unique<TFileStream>(std::move(*file), AFileName);
    PauseAfterFailure(random(), AWaitTime);
  }
  return nullptr;
}

std::optional<Platform::File> TCustomWaitForFile::OpenFile(const std::string& AFileName,
                                                           Platform::File::Mode mode) const {
  return Platform::File::Open(AFileName, mode).TakeValue();
}

void TCustomWaitForFile::PauseAfterFailure(std::uint32_t randomValue,
                                           std::int32_t AWaitTime) const {
  // Drawn from AWaitTime - r to AWaitTime + r - 1; 64 bits so that no wait time overflows.
  const std::int64_t spread = 3 * static_cast<std::int64_t>(AWaitTime) / 10;
  std::int64_t pause = AWaitTime - spread;
  if (spread > 0) pause += randomValue % (2 * spread);
  if (pause > 0) sleep_(static_cast<std::uint32_t>(std::min<std::int64_t>(pause, UINT32_MAX)));
}

Platform::File::Mode TWaitForFileWritable::GetFileMode(bool fileExists) const {
  return fileExists ? Platform::File::Mode::OpenExistingReadWrite
                    : Platform::File::Mode::CreateAlwaysReadWrite;
}

bool TWaitForFileWritable::Execute(const std::string& AFileName, bool AClearFile,
                                   std::unique_ptr<TFileStream>& AStream) const {
  return Execute(AFileName, kDefaultRetries, kDefaultWaitTime, AClearFile, AStream);
}

bool TWaitForFileWritable::Execute(const std::string& AFileName, std::int32_t ARetries,
                                   std::int32_t AWaitTime, bool AClearFile,
                                   std::unique_ptr<TFileStream>& AStream) const {
  AStream.reset();
  std::unique_ptr<TFileStream> stream = OpenWithRetries(AFileName, ARetries, AWaitTime);
  if (!stream) return false;
  if (AClearFile && !(stream->File().Seek(0) && stream->File().Truncate())) return false;
  AStream = std::move(stream);
  return true;
}

void DeleteFileAttempt(const std::string& AFileName) {
  Paths::CheckPath(AFileName);
  const std::string directory = Paths::ExtractFilePath(AFileName);
  if (!directory.empty() && !Platform::DirectoryExists(directory)) {
    throw EDirectoryNotFoundException(Strings::kPathNotFound);
  }
  const Platform::Status deleted = Platform::DeleteOneFile(AFileName);
  if (!deleted) throw EInOutError(deleted.error());
}

void DeleteFileWithRetries(const std::string& AFileName, const SleepFunction& sleep,
                           const DeleteAttempt& attempt) {
  if (!Platform::FileExists(AFileName)) return;
  for (int retries = 0;; ++retries) {
    // A virus scanner or an indexer may hold the file for a moment; so may a folder that
    // another program is just re-creating.
    try {
      attempt(AFileName);
      return;
    } catch (const EInOutError&) {
      if (retries == kDeleteRetries) throw;
    } catch (const EDirectoryNotFoundException&) {
      if (retries == kDeleteRetries) throw;
    }
    sleep(kDeletePause);
  }
}

}  // namespace RTL::IOUtils
