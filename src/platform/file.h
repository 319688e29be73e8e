#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

  // Empty result on failure, with the platform's text for the error in errorText.
  static std::optional<File> Open(const std::string& path, Mode mode,
                                  std::string* errorText = nullptr);

  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  // Reads everything from the current position to the end.
  bool ReadToEnd(std::vector<std::uint8_t>& out);
  // Reads up to size bytes from the current position: how many were read (0 at the end);
  // none on failure.
  std::optional<std::size_t> Read(void* data, std::size_t size);
  bool Write(const void* data, std::size_t size);
  bool Seek(std::int64_t position);
  std::optional<std::int64_t> Size() const;
  // Cuts the file at the current position.
  bool Truncate();
  void Close();
  bool IsOpen() const { return handle_ != kInvalid; }

 private:
  static constexpr std::intptr_t kInvalid = -1;
  explicit File(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_ = kInvalid;
};

}  // namespace Platform
