#include "platform/console_device.h"

#include <windows.h>

#include "platform/text_encoding.h"
#include "platform/win32/utf16.h"

namespace Platform::ConsoleDevice {
namespace {

HANDLE StandardOutput() {
  return GetStdHandle(STD_OUTPUT_HANDLE);
}

}  // namespace

bool Open() {
  const HANDLE handle = StandardOutput();
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// As UTF-16, which the console shows whatever its code page.
void WriteTerminalLine(std::string_view utf8Text) {
  const HANDLE handle = StandardOutput();
  std::wstring line = Win32::ToUtf16(utf8Text);
  line += L"\r\n";
  const wchar_t* data = line.data();
  std::size_t remaining = line.size();
  while (remaining > 0) {
    DWORD written = 0;
    if (!WriteConsoleW(handle, data, static_cast<DWORD>(remaining), &written, nullptr) ||
        written == 0) {
      return;
    }
    data += written;
    remaining -= written;
  }
}

// The ANSI code page with CR LF, as programs that read another's output expect.
std::string RedirectedLine(std::string_view utf8Text) {
  std::string line = Utf8ToAnsi(utf8Text);
  line += "\r\n";
  return line;
}

void Write(const char* data, std::size_t size) {
  const HANDLE handle = StandardOutput();
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(handle, data, static_cast<DWORD>(size), &written, nullptr) || written == 0) {
      return;
    }
    data += written;
    size -= written;
  }
}

}  // namespace Platform::ConsoleDevice
