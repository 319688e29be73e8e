#include <windows.h>
#include <wtsapi32.h>

#include "platform/machine_info.h"
#include "platform/win32/machine_info_registry.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

bool InAdministratorsGroup() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

}  // namespace

std::string RemoteClientName() {
  if (GetSystemMetrics(SM_REMOTESESSION) == 0) return {};
  LPWSTR name = nullptr;
  DWORD size = 0;
  if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSClientName,
                                   &name, &size) ||
      name == nullptr) {
    return {};
  }
  std::string text = Win32::ToUtf8(name);
  WTSFreeMemory(name);
  return text;
}

TUserAccount CurrentUserAccount() {
  TUserAccount account;
  wchar_t name[257] = {};  // UNLEN + 1
  DWORD size = sizeof name / sizeof name[0];
  if (GetUserNameW(name, &size)) account.Name = Win32::ToUtf8(name);
  account.Administrator = InAdministratorsGroup();
  return account;
}

std::optional<TRegisteredOwner> RegisteredOwner() {
  constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows NT\\CurrentVersion";
  TRegisteredOwner owner;
  owner.Owner = Win32::ReadMachineText(kKey, L"RegisteredOwner").value_or(std::string());
  owner.Organization =
      Win32::ReadMachineText(kKey, L"RegisteredOrganization").value_or(std::string());
  return owner;
}

}  // namespace Platform
