#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/file.h"
#include "rtl/io/streams.h"

// File access that copes with files other processes hold: open or create with retries and
// random pauses, delete with retries.
namespace RTL::IOUtils {

// Pauses the given number of milliseconds. Injected so that tests never sleep.
using SleepFunction = std::function<void(std::uint32_t milliseconds)>;
const SleepFunction& RealSleep();

// Opens a file with retries; descendants choose the open mode. Holds no state but the pause.
class TCustomWaitForFile {
 public:
  explicit TCustomWaitForFile(SleepFunction sleep = RealSleep()) : sleep_(std::move(sleep)) {}
  virtual ~TCustomWaitForFile() = default;

  // The mode for a file that exists, or one that must be created.
  virtual Platform::File::Mode GetFileMode(bool fileExists) const = 0;

  // True when the file was opened or created; it is closed again at once.
  bool Execute(const std::string& AFileName) const;
  bool Execute(const std::string& AFileName, std::int32_t ARetries, std::int32_t AWaitTime) const;
  // On success the whole file is read into a memory stream positioned at its start.
  bool Execute(const std::string& AFileName, std::unique_ptr<TBytesStream>& AStream) const;
  bool Execute(const std::string& AFileName, std::int32_t ARetries, std::int32_t AWaitTime,
               std::unique_ptr<TBytesStream>& AStream) const;

  // An existing file: up to ARetries attempts, each failure followed by a random pause of
  // AWaitTime - r to AWaitTime + r - 1 ms (r = 3 * AWaitTime / 10); an attempt after the file
  // vanished creates it. A missing file: one attempt to create it, no pause. Null when the
  // file was neither opened nor created.
  std::unique_ptr<TFileStream> OpenWithRetries(const std::string& AFileName, std::int32_t ARetries,
                                               std::int32_t AWaitTime) const;

 protected:
  // One open of the file; an empty result is a stream error, which the retries cover. Tests
  // override it to stand for a file that another process holds.
  virtual std::optional<Platform::File> OpenFile(const std::string& AFileName,
                                                 Platform::File::Mode mode) const;

 private:
  void PauseAfterFailure(std::uint32_t randomValue, std::int32_t AWaitTime) const;

  SleepFunction sleep_;
};

// Opens an existing file for reading and writing, or creates it; others may read it but
// not write it.
class TWaitForFileWritable : public TCustomWaitForFile {
 public:
  using TCustomWaitForFile::Execute;
  using TCustomWaitForFile::TCustomWaitForFile;

  Platform::File::Mode GetFileMode(bool fileExists) const override;

  // On success the open file is handed out, cut to length 0 first when AClearFile is set.
  bool Execute(const std::string& AFileName, bool AClearFile,
               std::unique_ptr<TFileStream>& AStream) const;
  bool Execute(const std::string& AFileName, std::int32_t ARetries, std::int32_t AWaitTime,
               bool AClearFile, std::unique_ptr<TFileStream>& AStream) const;
};

// One deletion attempt: the checks of RTL::Paths::CheckPath, EDirectoryNotFoundException
// "Der angegebene Pfad wurde nicht gefunden" when the file's folder is missing, then the
// platform's delete, whose refusal raises EInOutError with the platform's text.
void DeleteFileAttempt(const std::string& AFileName);
using DeleteAttempt = std::function<void(const std::string& AFileName)>;

// Deletes a file, trying up to 21 times with pauses of 200 ms while the platform refuses
// (EInOutError) or the folder is missing (EDirectoryNotFoundException); then, or at once
// for any other error, the error leaves. A path that names no file is no error. The attempt
// is injected so that tests can stand for a file that another process holds.
void DeleteFileWithRetries(const std::string& AFileName, const SleepFunction& sleep = RealSleep(),
                           const DeleteAttempt& attempt = DeleteFileAttempt);

}  // namespace RTL::IOUtils
