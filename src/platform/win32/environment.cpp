#include "platform/environment.h"

#include <windows.h>

#include <stdlib.h>

#include "platform/win32/utf16.h"

namespace Platform {

bool SetEnvironmentValue(const std::string& name, const std::string& value) {
  const std::wstring wideName = Win32::ToUtf16(name);
  const std::wstring wideValue = Win32::ToUtf16(value);
  // Both the process block (children, GetEnvironmentVariableW) and the C runtime's copy.
  const bool ok =
      SetEnvironmentVariableW(wideName.c_str(), value.empty() ? nullptr : wideValue.c_str()) != 0;
  const std::wstring assignment = wideName + L"=" + wideValue;
  _wputenv(assignment.c_str());
  return ok;
}

}  // namespace Platform
