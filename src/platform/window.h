#pragma once

#include <string>

namespace Platform {

// Whether a top-level window with this class and caption exists. A null class or caption
// matches any. Windows asks FindWindowW. POSIX looks at the X11 display (libX11 is loaded at
// run time, so it is no build dependency): WM_CLASS's class part is the window class,
// _NET_WM_NAME or WM_NAME the caption. Without a display or libX11 no window exists, nor
// on a display that is lost during the call (with libX11 1.7 and later; older ones end the
// process then).
[[nodiscard]] bool TopLevelWindowExists(const std::string* windowClass, const std::string* caption);

// A top-level window with a class and a caption, shown until the object is destroyed. The
// sample caller and the tests use it to stand for a caller's main window.
class TopLevelWindow {
 public:
  TopLevelWindow(const std::string& windowClass, const std::string& caption);
  ~TopLevelWindow();
  TopLevelWindow(const TopLevelWindow&) = delete;
  TopLevelWindow& operator=(const TopLevelWindow&) = delete;

  [[nodiscard]] bool IsShown() const { return impl_ != nullptr; }

 private:
  struct Impl;
  Impl* impl_ = nullptr;
};

}  // namespace Platform
