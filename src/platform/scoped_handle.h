#pragma once

#include <utility>

// Owns one handle of the system (a descriptor, a Windows handle) and closes it when it goes out
// of scope. The traits give the handle's type, the value that owns nothing and the close call:
//
//   struct Traits {
//     using Type = int;
//     static constexpr Type Invalid() { return -1; }
//     static bool Close(Type handle);  // true when the system closed it without an error
//   };
namespace Platform {

template <typename Traits>
class ScopedHandle {
 public:
  using Type = typename Traits::Type;

  ScopedHandle() = default;
  explicit ScopedHandle(Type handle) : handle_(handle) {}
  // An owner that wants to hear of a failed close calls Close itself; here nobody is left to
  // tell.
  ~ScopedHandle() { (void)Close(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      (void)Close();  // as in the destructor
      handle_ = other.Release();
    }
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  Type Get() const { return handle_; }
  [[nodiscard]] bool Valid() const { return handle_ != Traits::Invalid(); }
  // Gives the handle up without closing it.
  Type Release() { return std::exchange(handle_, Traits::Invalid()); }
  // Closes now; false when the system reported an error (for a descriptor, possibly one of a
  // delayed write that only shows here: errno tells it). True when there was nothing to close.
  [[nodiscard]] bool Close() {
    if (!Valid()) return true;
    return Traits::Close(Release());
  }

 private:
  Type handle_ = Traits::Invalid();
};

}  // namespace Platform
