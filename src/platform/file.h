#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"

namespace Platform {

// An open file with the sharing rules the updater relies on.
//
// Windows maps the modes to CreateFileW's access and sharing flags. POSIX has no mandatory
// sharing, so a writable open takes a non-blocking exclusive advisory lock and a read open a
// shared one; an open fails while another process holds a conflicting lock, which is what
// "another process has it open for writing" means there.
//
// Only regular files open: a FIFO, a device or a console is refused. A writer may delete the
// file while it holds it (Windows: delete sharing; POSIX: a writable open that finds the path
// no longer naming the file it locked counts as held by another process).
class File {
 public:
  enum class Mode {
    // Read and write an existing file; others may read but not write it.
    OpenExistingReadWrite,
    // Create the file anew, empty, for reading and writing; others may read but not write.
    CreateAlwaysReadWrite,
    // Read an existing file; others may read but not write it.
    OpenExistingRead,
  };

  // The open file, or the platform's text for why it could not be opened.
  static Result<File> Open(const std::string& path, Mode mode);

  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  // Reads everything from the current position to the end.
  [[nodiscard]] bool ReadToEnd(std::vector<std::uint8_t>& out);
  // Reads up to size bytes from the current position: how many were read (0 at the end);
  // none on failure.
  [[nodiscard]] std::optional<std::size_t> Read(void* data, std::size_t size);
  [[nodiscard]] bool Write(const void* data, std::size_t size);
  [[nodiscard]] bool Seek(std::int64_t position);
  [[nodiscard]] std::optional<std::int64_t> Size() const;
  // Cuts the file at the current position.
  [[nodiscard]] bool Truncate();
  void Close();
  [[nodiscard]] bool IsOpen() const { return handle_ != kInvalid; }

 private:
  static constexpr std::intptr_t kInvalid = -1;
  explicit File(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_ = kInvalid;
};

}  // namespace Platform
