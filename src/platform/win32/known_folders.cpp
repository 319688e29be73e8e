#include "platform/known_folders.h"

#include <shlobj.h>
#include <windows.h>

#include "platform/win32/utf16.h"

namespace Platform {

std::optional<std::string> KnownFolderPath(KnownFolder folder) {
  const KNOWNFOLDERID* id = &FOLDERID_Desktop;
  switch (folder) {
    case KnownFolder::Desktop:
      id = &FOLDERID_Desktop;
      break;
    case KnownFolder::UserAppData:
      id = &FOLDERID_RoamingAppData;
      break;
    case KnownFolder::CommonAppData:
      id = &FOLDERID_ProgramData;
      break;
    case KnownFolder::LocalAppData:
      id = &FOLDERID_LocalAppData;
      break;
  }
  PWSTR path = nullptr;
  const HRESULT result = SHGetKnownFolderPath(*id, 0, nullptr, &path);
  std::optional<std::string> found;
  if (SUCCEEDED(result) && path != nullptr && path[0] != L'\0') {
    std::string text = Win32::ToUtf8(path);
    while (text.size() > 3 && (text.back() == '\\' || text.back() == '/')) text.pop_back();
    found = std::move(text);
  }
  CoTaskMemFree(path);
  return found;
}

std::string ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &size)) return {};
  return Win32::ToUtf8(std::wstring_view(name, size));
}

}  // namespace Platform
