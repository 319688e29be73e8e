// The progress box's window: created on the calling thread, updated there at once or by
// posted messages from other threads.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstring>
#include <mutex>

#include "platform/progress_window.h"
#include "platform/win32/progress_window_impl.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

constexpr wchar_t kWindowClassName[] = L"prgrAlertWndClass";
constexpr UINT kApplyPendingTexts = WM_APP + 1;
constexpr int kPictureButtonId = 1;

// The progress bar class comes with the common controls, loaded on first use so that a
// program that never shows a box does not import them.
void LoadCommonControls() {
  static std::once_flag once;
  std::call_once(once, [] {
    HMODULE controls = LoadLibraryW(L"comctl32.dll");
    if (controls == nullptr) return;
    using TInit = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<TInit>(
        reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_PROGRESS_CLASS};
    if (init != nullptr) init(&classes);
  });
}

ProgressWindow::Impl* ImplOf(HWND window) {
  return reinterpret_cast<ProgressWindow::Impl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void DrawPicture(ProgressWindow::Impl& impl, const DRAWITEMSTRUCT& item) {
  if (impl.picture == nullptr) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  HDC source = CreateCompatibleDC(item.hDC);
  if (source == nullptr) return;
  HGDIOBJ previous = SelectObject(source, impl.picture);
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, kBoxPictureSize, kBoxPictureSize, source, 0,
         0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
}

LRESULT CALLBACK BoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  ProgressWindow::Impl* impl = ImplOf(window);
  if (impl == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_CLOSE:
      // The caption's close button and the system menu end here: only Close may close.
      if (impl->closable) DestroyWindow(window);
      return 0;
    case WM_DRAWITEM:
      if (wParam == kPictureButtonId) {
        DrawPicture(*impl, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      break;
    case kApplyPendingTexts: {
      std::optional<std::wstring> title, text;
      {
        std::lock_guard<std::mutex> lock(impl->pendingLock);
        title.swap(impl->pendingTitle);
        text.swap(impl->pendingText);
      }
      if (title) SetWindowTextW(window, title->c_str());
      if (text && impl->label != nullptr) SetWindowTextW(impl->label, text->c_str());
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterBoxClass(HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = BoxProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClassName;
  return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HBITMAP MakePicture(const TBoxPicture& pixels) {
  if (pixels.size() != std::size_t(kBoxPictureSize) * kBoxPictureSize) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kBoxPictureSize;
  info.bmiHeader.biHeight = -kBoxPictureSize;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr && bits != nullptr) {
    std::memcpy(bits, pixels.data(), pixels.size() * sizeof(pixels[0]));
  }
  return bitmap;
}

HWND CreateChild(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                 const TBoxRect& rect, int id, HINSTANCE instance) {
  return CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, rect.Left, rect.Top,
                         rect.Width, rect.Height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

}  // namespace

bool ProgressWindow::Create(WindowHandle parent, const std::string& title, const std::string& text,
                            const TProgressBoxLayout& layout, const TBoxPicture& picture,
                            int barPosition, bool activate) {
  if (impl_->window != nullptr) return false;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  LoadCommonControls();
  if (!RegisterBoxClass(instance)) return false;

  impl_->parent = reinterpret_cast<HWND>(parent);
  impl_->threadId = GetCurrentThreadId();
  impl_->closable = false;
  if (impl_->parent != nullptr) EnableWindow(impl_->parent, FALSE);
  const std::wstring wideTitle = Win32::ToUtf16(title);
  HWND window = CreateWindowExW(
      WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME, kWindowClassName, wideTitle.c_str(),
      WS_POPUP | WS_CAPTION | WS_SYSMENU, layout.Window.Left, layout.Window.Top,
      layout.Window.Width, layout.Window.Height, impl_->parent, nullptr, instance, impl_.get());
  if (window == nullptr) {
    if (impl_->parent != nullptr) EnableWindow(impl_->parent, TRUE);
    return false;
  }
  impl_->window = window;
  if (HMENU menu = GetSystemMenu(window, FALSE)) {
    for (const UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE}) {
      RemoveMenu(menu, command, MF_BYCOMMAND);
    }
  }

  if (layout.HasPicture) {
    if (impl_->picture == nullptr) impl_->picture = MakePicture(picture);
    impl_->pictureButton = CreateChild(window, L"BUTTON", L"", WS_DISABLED | BS_OWNERDRAW,
                                       layout.Picture, kPictureButtonId, instance);
  }
  const std::wstring wideText = Win32::ToUtf16(text);
  impl_->label = CreateChild(window, L"STATIC", wideText.c_str(), SS_LEFT | SS_NOPREFIX,
                             layout.Label, 2, instance);
  if (impl_->label != nullptr && impl_->font != nullptr) {
    SendMessageW(impl_->label, WM_SETFONT, reinterpret_cast<WPARAM>(impl_->font), FALSE);
  }
  impl_->bar = CreateChild(window, PROGRESS_CLASSW, L"", 0, layout.Bar, 3, instance);
  if (impl_->bar != nullptr) {
    SendMessageW(impl_->bar, PBM_SETRANGE32, 0, 1000);
    SendMessageW(impl_->bar, PBM_SETPOS, WPARAM(barPosition), 0);
  }

  if (activate) {
    ShowWindow(window, SW_SHOWNORMAL);
    BringWindowToTop(window);
    SetForegroundWindow(window);
  } else {
    ShowWindow(window, SW_SHOWNOACTIVATE);
  }
  UpdateWindow(window);
  return true;
}

bool ProgressWindow::Exists() const {
  return impl_->window != nullptr;
}

WindowHandle ProgressWindow::Handle() const {
  return reinterpret_cast<WindowHandle>(impl_->window.load());
}

void ProgressWindow::SetTitle(const std::string& title) {
  HWND window = impl_->window;
  if (window == nullptr) return;
  if (impl_->OnWindowThread()) {
    SetWindowTextW(window, Win32::ToUtf16(title).c_str());
    return;
  }
  {
    std::lock_guard<std::mutex> lock(impl_->pendingLock);
    impl_->pendingTitle = Win32::ToUtf16(title);
  }
  PostMessageW(window, kApplyPendingTexts, 0, 0);
}

void ProgressWindow::SetText(const std::string& text) {
  HWND window = impl_->window;
  if (window == nullptr || impl_->label == nullptr) return;
  if (impl_->OnWindowThread()) {
    SetWindowTextW(impl_->label, Win32::ToUtf16(text).c_str());
    return;
  }
  {
    std::lock_guard<std::mutex> lock(impl_->pendingLock);
    impl_->pendingText = Win32::ToUtf16(text);
  }
  PostMessageW(window, kApplyPendingTexts, 0, 0);
}

void ProgressWindow::SetBar(int position) {
  if (impl_->window == nullptr || impl_->bar == nullptr) return;
  if (impl_->OnWindowThread()) {
    SendMessageW(impl_->bar, PBM_SETPOS, WPARAM(position), 0);
    ProcessMessages();
  } else {
    PostMessageW(impl_->bar, PBM_SETPOS, WPARAM(position), 0);
  }
}

int ProgressWindow::Bar() const {
  if (!impl_->OnWindowThread() || impl_->bar == nullptr) return -1;
  return int(SendMessageW(impl_->bar, PBM_GETPOS, 0, 0));
}

void ProgressWindow::ProcessMessages() {
  if (!impl_->OnWindowThread()) return;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to take: the thread's own loop must still see it.
      PostQuitMessage(int(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void ProgressWindow::Close() {
  HWND window = impl_->window;
  if (window == nullptr) return;
  impl_->closable = true;
  if (impl_->OnWindowThread()) {
    DestroyWindow(window);
  } else {
    SendMessageW(window, WM_CLOSE, 0, 0);
  }
  impl_->window = nullptr;
  impl_->pictureButton = impl_->label = impl_->bar = nullptr;
  if (impl_->parent != nullptr) {
    EnableWindow(impl_->parent, TRUE);
    SetActiveWindow(impl_->parent);
    impl_->parent = nullptr;
  }
}

void ProgressWindow::PressCloseButton() {
  if (impl_->OnWindowThread()) SendMessageW(impl_->window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace Platform
