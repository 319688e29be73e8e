#include "platform/file.h"

// What a File is on every platform: the one owner of its handle. Opening, reading, writing and
// closing are the platform's (posix/file.cpp, win32/file.cpp).
namespace Platform {

File::File(File&& other) noexcept : handle_(other.handle_) {
  other.handle_ = kInvalid;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = kInvalid;
  }
  return *this;
}

File::~File() {
  Close();
}

}  // namespace Platform
