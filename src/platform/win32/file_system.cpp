#include "platform/file_system.h"

#include <windows.h>

#include "platform/win32/file_copy.h"
#include "platform/win32/system_error_text.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

// The attributes SetFileAttributesW accepts; the others describe the entry and are kept.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

DWORD Attributes(const std::wstring& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
}

// The attributes of what the path finally names: a link or junction is followed to its
// target, and one whose target is gone names nothing.
DWORD TargetAttributes(const std::string& path) {
  const std::wstring widePath = Win32::ToUtf16(path);
  const DWORD attributes = Attributes(widePath);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return attributes;
  }
  // Backup semantics lets the handle open directories as well as files.
  const HANDLE handle = CreateFileW(widePath.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return INVALID_FILE_ATTRIBUTES;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool known = GetFileInformationByHandle(handle, &information);
  CloseHandle(handle);
  return known ? information.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

bool ChangeAttributes(const std::string& path, DWORD set, DWORD clear) {
  const std::wstring widePath = Win32::ToUtf16(path);
  const DWORD attributes = Attributes(widePath);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  DWORD wanted = ((attributes & kSettableAttributes) | set) & ~clear;
  if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
  return SetFileAttributesW(widePath.c_str(), wanted);
}

}  // namespace

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = TargetAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
  const DWORD attributes = TargetAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<DirectoryEntry> ListDirectory(const std::string& directory) {
  std::vector<DirectoryEntry> entries;
  std::wstring pattern = Win32::ToUtf16(directory);
  if (pattern.empty()) return entries;
  if (pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::wstring_view name(data.cFileName);
    if (name == L"." || name == L"..") continue;
    // Symbolic links and junctions are reparse points; the entry is the link, not its target.
    entries.push_back({Win32::ToUtf8(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return entries;
}

bool IsReadOnly(const std::string& path) {
  const DWORD attributes = Attributes(Win32::ToUtf16(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool SetReadOnly(const std::string& path, bool readOnly) {
  return readOnly ? ChangeAttributes(path, FILE_ATTRIBUTE_READONLY, 0)
                  : ChangeAttributes(path, 0, FILE_ATTRIBUTE_READONLY);
}

bool SetNormalAttributes(const std::string& path) {
  return ChangeAttributes(path, 0,
                          FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}

namespace {

Status StatusOf(DWORD error) {
  if (error == ERROR_SUCCESS) return {};
  return Win32::ErrorFailure(error);
}

}  // namespace

Status CopyFileReplacing(const std::string& source, const std::string& target) {
  return StatusOf(Win32::CopyFileDurably(source, target));
}

Result<std::string> CopyBesideTarget(const std::string& source, const std::string& target) {
  std::string temporary;
  const DWORD error = Win32::CopyBeside(source, target, temporary);
  if (error != ERROR_SUCCESS) return Win32::ErrorFailure(error);
  return temporary;
}

Status FlushFiles(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (Status flushed = StatusOf(Win32::FlushFile(path)); !flushed) return flushed;
  }
  return {};
}

Status MoveOverTarget(const std::string& temporary, const std::string& target) {
  return StatusOf(Win32::MoveOver(temporary, target));
}

Status FlushFolder(const std::string&) {
  // Every move was written through.
  return {};
}

Status DeleteOneFile(const std::string& path) {
  if (DeleteFileW(Win32::ToUtf16(path).c_str())) return {};
  return Win32::LastErrorFailure();
}

bool RemoveEmptyDirectory(const std::string& path) {
  return RemoveDirectoryW(Win32::ToUtf16(path).c_str());
}

}  // namespace Platform
