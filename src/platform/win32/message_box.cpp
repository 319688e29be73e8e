#include "platform/message_box.h"

#include <windows.h>

#include "platform/win32/utf16.h"

namespace Platform {

void ShowMessage(std::string_view caption, std::string_view text) {
  const std::wstring wideCaption = Win32::ToUtf16(caption);
  const std::wstring wideText = Win32::ToUtf16(text);
  MessageBoxW(nullptr, wideText.c_str(), wideCaption.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace Platform
