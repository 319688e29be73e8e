#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <string>

#include "platform/progress_window.h"

namespace Platform {

// What one progress box holds. The window fields belong to the window's thread; the pending
// texts carry updates that other threads post to it.
struct ProgressWindow::Impl {
  HDC measureDc = nullptr;
  HFONT font = nullptr;
  HGDIOBJ previousFont = nullptr;

  std::atomic<HWND> window = nullptr;
  HWND parent = nullptr;
  HWND pictureButton = nullptr;
  HWND label = nullptr;
  HWND bar = nullptr;
  HBITMAP picture = nullptr;
  DWORD threadId = 0;
  std::atomic<bool> closable = false;

  HANDLE slotEvent = nullptr;
  int slot = 0;

  std::mutex pendingLock;
  std::optional<std::wstring> pendingTitle;
  std::optional<std::wstring> pendingText;

  bool OnWindowThread() const { return window != nullptr && GetCurrentThreadId() == threadId; }
};

namespace Win32 {

// COLORREF (0x00BBGGRR) to 0x00RRGGBB and back.
inline std::uint32_t ToRgb(COLORREF colour) {
  return (std::uint32_t(GetRValue(colour)) << 16) | (std::uint32_t(GetGValue(colour)) << 8) |
         GetBValue(colour);
}

}  // namespace Win32
}  // namespace Platform
