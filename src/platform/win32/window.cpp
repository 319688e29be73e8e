#include "platform/window.h"

#include <windows.h>

#include <future>
#include <memory>
#include <thread>

#include "platform/win32/utf16.h"

namespace Platform {
namespace {

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    // Ends the message loop of the window's own thread.
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterWindowClass(const std::wstring& className) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = className.c_str();
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool TopLevelWindowExists(const std::string* windowClass, const std::string* caption) {
  const std::wstring wideClass = windowClass != nullptr ? Win32::ToUtf16(*windowClass) : L"";
  const std::wstring wideCaption = caption != nullptr ? Win32::ToUtf16(*caption) : L"";
  return FindWindowW(windowClass != nullptr ? wideClass.c_str() : nullptr,
                     caption != nullptr ? wideCaption.c_str() : nullptr) != nullptr;
}

// The window lives on a thread of its own whose message loop keeps it responsive while
// the owner blocks, e.g. waiting for a child process.
struct TopLevelWindow::Impl {
  HWND window = nullptr;
  std::thread thread;
};

namespace {

void RunWindow(std::wstring className, std::wstring caption, std::promise<HWND> created) {
  HWND window = nullptr;
  if (RegisterWindowClass(className)) {
    window = CreateWindowExW(0, className.c_str(), caption.c_str(), WS_OVERLAPPEDWINDOW,
                             CW_USEDEFAULT, CW_USEDEFAULT, 400, 200, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  if (window != nullptr) {
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
  }
  created.set_value(window);
  if (window == nullptr) return;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

TopLevelWindow::TopLevelWindow(const std::string& windowClass, const std::string& caption) {
  try {
    auto impl = std::make_unique<Impl>();
    std::promise<HWND> created;
    std::future<HWND> window = created.get_future();
    impl->thread = std::thread(RunWindow, Win32::ToUtf16(windowClass), Win32::ToUtf16(caption),
                               std::move(created));
    impl->window = window.get();
    if (impl->window == nullptr) {
      impl->thread.join();
      return;
    }
    impl_ = impl.release();
  } catch (const std::exception&) {
    // No thread, no window: IsShown tells the caller.
  }
}

TopLevelWindow::~TopLevelWindow() {
  if (impl_ == nullptr) return;
  // WM_CLOSE makes the window's own thread destroy it, which ends that thread's loop.
  PostMessageW(impl_->window, WM_CLOSE, 0, 0);
  impl_->thread.join();
  delete impl_;
}

}  // namespace Platform
