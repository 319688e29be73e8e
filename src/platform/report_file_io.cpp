#include "platform/report_file_io.h"

// What an ExclusiveFile is on every platform: the one owner of its handle. Opening, the
// rewrite and closing are the platform's (posix/report_file_io.cpp, win32/report_file_io.cpp).
namespace Platform {

std::optional<ExclusiveFile> ExclusiveFile::OpenOrCreate(const std::string& path) {
  return Open(path, false);
}

std::optional<ExclusiveFile> ExclusiveFile::CreateNew(const std::string& path) {
  return Open(path, true);
}

ExclusiveFile::ExclusiveFile(ExclusiveFile&& other) noexcept : handle_(other.handle_) {
  other.handle_ = kInvalid;
}

ExclusiveFile& ExclusiveFile::operator=(ExclusiveFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = kInvalid;
  }
  return *this;
}

ExclusiveFile::~ExclusiveFile() {
  Close();
}

}  // namespace Platform
