// A copy of the progress box's client area as it is shown, for checking what it draws.
#include <windows.h>

#include <cstring>

#include "platform/progress_window.h"
#include "platform/win32/progress_window_impl.h"

namespace Platform {

std::optional<TWindowPixels> ProgressWindow::CaptureClient() const {
  HWND window = impl_->window;
  RECT client{};
  if (window == nullptr || !GetClientRect(window, &client)) return std::nullopt;
  TWindowPixels result;
  result.Width = int(client.right);
  result.Height = int(client.bottom);
  if (result.Width <= 0 || result.Height <= 0) return std::nullopt;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = result.Width;
  info.bmiHeader.biHeight = -result.Height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC source = GetDC(window);
  HDC target = source != nullptr ? CreateCompatibleDC(source) : nullptr;
  HBITMAP bitmap = CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (target != nullptr && bitmap != nullptr && bits != nullptr) {
    HGDIOBJ previous = SelectObject(target, bitmap);
    copied = BitBlt(target, 0, 0, result.Width, result.Height, source, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    if (copied) {
      result.Pixels.resize(std::size_t(result.Width) * result.Height);
      std::memcpy(result.Pixels.data(), bits, result.Pixels.size() * sizeof(std::uint32_t));
      for (std::uint32_t& pixel : result.Pixels) pixel &= 0x00FFFFFF;
    }
    SelectObject(target, previous);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (target != nullptr) DeleteDC(target);
  if (source != nullptr) ReleaseDC(window, source);
  if (!copied) return std::nullopt;
  return result;
}

}  // namespace Platform
