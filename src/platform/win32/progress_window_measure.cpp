// The progress box's font, the measures its layout is made of, its picture resource and its
// screen slots.
#include <windows.h>

#include <string>

#include "platform/progress_window.h"
#include "platform/win32/progress_window_impl.h"
#include "platform/win32/utf16.h"

namespace Platform {

ProgressWindow::ProgressWindow() : impl_(std::make_unique<Impl>()) {
  impl_->font =
      CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
  if (impl_->font == nullptr) {
    impl_->font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  }
  impl_->measureDc = CreateCompatibleDC(nullptr);
  if (impl_->measureDc != nullptr && impl_->font != nullptr) {
    impl_->previousFont = SelectObject(impl_->measureDc, impl_->font);
  }
}

ProgressWindow::~ProgressWindow() {
  Close();
  if (impl_->slotEvent != nullptr) CloseHandle(impl_->slotEvent);
  if (impl_->picture != nullptr) DeleteObject(impl_->picture);
  if (impl_->measureDc != nullptr) {
    if (impl_->previousFont != nullptr) SelectObject(impl_->measureDc, impl_->previousFont);
    DeleteDC(impl_->measureDc);
  }
  if (impl_->font != nullptr) DeleteObject(impl_->font);
}

TProgressBoxMetrics ProgressWindow::Metrics() const {
  TProgressBoxMetrics metrics;
  metrics.FrameWidth = GetSystemMetrics(SM_CXDLGFRAME);
  metrics.FrameHeight = GetSystemMetrics(SM_CYDLGFRAME);
  metrics.SmallCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION);
  metrics.ScrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);
  metrics.Screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT work{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    metrics.WorkArea = {int(work.left), int(work.top), int(work.right - work.left),
                        int(work.bottom - work.top)};
  } else {
    metrics.WorkArea = metrics.Screen;
  }
  return metrics;
}

TBoxSize ProgressWindow::MeasureText(const std::string& text, int wrapWidth) const {
  if (impl_->measureDc == nullptr) return {};
  const std::wstring wide = Win32::ToUtf16(text);
  RECT rect{0, 0, wrapWidth, 0};
  DrawTextW(impl_->measureDc, wide.c_str(), int(wide.size()), &rect,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return {int(rect.right - rect.left), int(rect.bottom - rect.top)};
}

std::uint32_t ProgressWindow::BackgroundColour() const {
  return Win32::ToRgb(GetSysColor(COLOR_BTNFACE));
}

std::uint32_t ProgressWindow::BarColour() const {
  return Win32::ToRgb(GetSysColor(COLOR_HIGHLIGHT));
}

std::optional<std::span<const std::uint8_t>> ProgressWindow::FindPicture(ModuleHandle module,
                                                                         const std::string& name) {
  if (name.empty()) return std::nullopt;
  const HMODULE instance = reinterpret_cast<HMODULE>(module);
  const std::wstring wideName = Win32::ToUtf16(name);
  HRSRC info = FindResourceW(instance, wideName.c_str(), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
  if (info == nullptr) return std::nullopt;
  HGLOBAL loaded = LoadResource(instance, info);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return std::nullopt;
  return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(data),
                                       SizeofResource(instance, info));
}

// Named events are visible to every process of the session, so boxes of other programs
// count too.
int ProgressWindow::ClaimScreenSlot() {
  if (impl_->slotEvent != nullptr) return impl_->slot;
  for (int slot = 0; slot < 8; ++slot) {
    const std::string name = "OrloProgressAlertPos" + std::to_string(slot);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
    if (event == nullptr) continue;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      impl_->slotEvent = event;
      impl_->slot = slot;
      return slot;
    }
    CloseHandle(event);
  }
  return 0;
}

}  // namespace Platform
