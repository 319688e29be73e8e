#include "platform/private_folder.h"

#include <windows.h>

#include "platform/file_system.h"
#include "platform/known_folders.h"
#include "platform/win32/utf16.h"

// The user's temporary folder lies in the user's profile, which other users cannot enter; what
// is left to guard against is a junction or a directory link inside it.
namespace Platform {
namespace {

DWORD EntryAttributes(const std::string& path) {
  return GetFileAttributesW(Win32::ToUtf16(path).c_str());
}

bool IsLink(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::string Join(const std::string& folder, const std::string& name) {
  const char last = folder.back();
  return last == '\\' || last == '/' ? folder + name : folder + '\\' + name;
}

std::string UserTemporaryFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return {};
  return Win32::ToUtf8(std::wstring_view(buffer, length));
}

// Removes a link itself: a directory link or junction by RemoveDirectoryW, a file link by
// DeleteFileW; neither touches the target.
bool RemoveLink(const std::string& path, DWORD attributes) {
  const std::wstring widePath = Win32::ToUtf16(path);
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetFileAttributesW(widePath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(widePath.c_str()) != 0
                                                 : DeleteFileW(widePath.c_str()) != 0;
}

bool RemoveTree(const std::string& folder) {
  const std::string prefix = folder.back() == '\\' ? folder : folder + '\\';
  bool complete = true;
  for (const DirectoryEntry& entry : ListDirectory(prefix)) {
    const std::string path = prefix + entry.name;
    const DWORD attributes = EntryAttributes(path);
    if (IsLink(attributes)) {
      complete = RemoveLink(path, attributes) && complete;
    } else if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      // Where the attributes stay, the removal fails and says so.
      (void)SetNormalAttributes(path);
      complete = RemoveTree(path) && complete;
    } else {
      (void)SetNormalAttributes(path);
      complete = DeleteOneFile(path) && complete;
    }
  }
  return RemoveEmptyDirectory(folder) && complete;
}

}  // namespace

std::string PrivateTemporaryFolderPath(const std::string& name) {
  std::string base = UserTemporaryFolder();
  if (base.empty()) base = KnownFolderPath(KnownFolder::UserAppData).value_or("");
  return base.empty() ? std::string() : Join(base, name);
}

bool MakePrivateFolder(const std::string& path) {
  if (path.empty()) return false;
  CreateDirectoryW(Win32::ToUtf16(path).c_str(), nullptr);
  const DWORD attributes = EntryAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !IsLink(attributes);
}

bool RemoveFolderTree(const std::string& path) {
  if (path.empty()) return true;
  const DWORD attributes = EntryAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  if (IsLink(attributes)) return RemoveLink(path, attributes);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    (void)SetNormalAttributes(path);  // where it stays read-only, the deletion fails
    return static_cast<bool>(DeleteOneFile(path));
  }
  return RemoveTree(path);
}

}  // namespace Platform
