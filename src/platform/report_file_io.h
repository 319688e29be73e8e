#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The crash reporter's file writes: a report file is held so that nobody else opens it while
// it is rewritten, so a concurrent reader sees the old or the new content, or nothing.
namespace Platform {

class ExclusiveFile {
 public:
  // Opens the file for reading and writing, creating it when missing; none when it cannot be
  // opened or someone else has it open. Windows opens without any sharing. POSIX has no
  // mandatory sharing: it takes a non-blocking exclusive advisory lock (flock), which every
  // File of this program also takes (shared for reading), so the two exclude each other.
  // A report names the user and what ran, so POSIX keeps it to the user (mode 0600, also for
  // a file of the user's found more open) and never follows a link at the path; a file of
  // another user, or one with a second name (hard link), is not opened.
  [[nodiscard]] static std::optional<ExclusiveFile> OpenOrCreate(const std::string& path);
  // Creates a new file, held as above; none when anything, a link included, has the name.
  [[nodiscard]] static std::optional<ExclusiveFile> CreateNew(const std::string& path);

  ExclusiveFile(ExclusiveFile&& other) noexcept;
  ExclusiveFile& operator=(ExclusiveFile&& other) noexcept;
  ExclusiveFile(const ExclusiveFile&) = delete;
  ExclusiveFile& operator=(const ExclusiveFile&) = delete;
  ~ExclusiveFile();

  // Writes all bytes from the file's start and cuts the file behind them. False when a write
  // fails or falls short; the file may then hold part of the bytes.
  [[nodiscard]] bool ReplaceContent(const void* data, std::size_t size);
  void Close();

 private:
  static constexpr std::intptr_t kInvalid = -1;
  explicit ExclusiveFile(std::intptr_t handle) : handle_(handle) {}
  [[nodiscard]] static std::optional<ExclusiveFile> Open(const std::string& path, bool mustBeNew);
  std::intptr_t handle_ = kInvalid;
};

// Creates one folder; true when it exists afterwards (also when it existed before).
[[nodiscard]] bool CreateFolder(const std::string& path);

}  // namespace Platform
