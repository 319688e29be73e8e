#include "platform/win32/file_copy.h"

#include <windows.h>

#include <atomic>
#include <cwchar>

#include "platform/file_system.h"
#include "platform/win32/utf16.h"

namespace Platform::Win32 {
namespace {

constexpr int kNameAttempts = 100;

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

// A name no other copy uses at the same moment: this process, a counter and the clock.
std::wstring TemporaryName(const std::wstring& folder) {
  static std::atomic<unsigned> counter{0};
  wchar_t suffix[48];
  std::swprintf(suffix, sizeof(suffix) / sizeof(suffix[0]), L"%lx-%x-%llx", GetCurrentProcessId(),
                counter++, GetTickCount64());
  return folder + ToUtf16(kCopyTemporaryPrefix) + suffix;
}

bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& information) {
  const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(file, &information);
  CloseHandle(file);
  return known;
}

// The same file reached by two paths: "copied" would let a move delete the only copy.
bool SameFile(const std::wstring& first, const std::wstring& second) {
  BY_HANDLE_FILE_INFORMATION a{};
  BY_HANDLE_FILE_INFORMATION b{};
  return FileIdentity(first, a) && FileIdentity(second, b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

void Discard(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

}  // namespace

unsigned long CopyBeside(const std::string& source, const std::string& target,
                         std::string& temporary) {
  temporary.clear();
  const std::wstring wideSource = ToUtf16(source);
  const std::wstring wideTarget = ToUtf16(target);
  if (wideSource.empty() || wideTarget.empty()) return ERROR_FILE_NOT_FOUND;
  if (SameFile(wideSource, wideTarget)) return ERROR_INVALID_PARAMETER;
  const DWORD targetAttributes = GetFileAttributesW(wideTarget.c_str());
  if (targetAttributes != INVALID_FILE_ATTRIBUTES &&
      (targetAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return ERROR_ACCESS_DENIED;
  }
  const std::wstring folder = FolderOf(wideTarget);
  // The target is never written in place: a full disk or a crash leaves it whole.
  for (int attempt = 0;; ++attempt) {
    const std::wstring name = TemporaryName(folder);
    // CopyFileExW takes attributes and the modification time along.
    if (CopyFileExW(wideSource.c_str(), name.c_str(), nullptr, nullptr, nullptr,
                    COPY_FILE_FAIL_IF_EXISTS | COPY_FILE_COPY_SYMLINK)) {
      temporary = ToUtf8(name);
      return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS || attempt == kNameAttempts) return error;
  }
}

// A read-only copy cannot be opened for writing, so its attribute goes for the flush and comes
// back afterwards (a move keeps it).
unsigned long FlushFile(const std::string& path) {
  const std::wstring widePath = ToUtf16(path);
  const DWORD attributes = GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError();
  // A link's data are its target's; the write-through move puts the link itself on the disk.
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return ERROR_SUCCESS;
  const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly && !SetFileAttributesW(widePath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
    return GetLastError();
  }
  DWORD error = ERROR_SUCCESS;
  const HANDLE file = CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError();
  } else {
    if (!FlushFileBuffers(file)) error = GetLastError();
    CloseHandle(file);
  }
  if (readOnly && !SetFileAttributesW(widePath.c_str(), attributes) && error == ERROR_SUCCESS) {
    error = GetLastError();
  }
  return error;
}

unsigned long MoveOver(const std::string& temporary, const std::string& target) {
  if (MoveFileExW(ToUtf16(temporary).c_str(), ToUtf16(target).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return ERROR_SUCCESS;
  }
  return GetLastError();
}

unsigned long CopyFileDurably(const std::string& source, const std::string& target) {
  std::string temporary;
  DWORD error = CopyBeside(source, target, temporary);
  if (error != ERROR_SUCCESS) return error;
  error = FlushFile(temporary);
  if (error == ERROR_SUCCESS) error = MoveOver(temporary, target);
  if (error != ERROR_SUCCESS) Discard(ToUtf16(temporary));
  return error;
}

}  // namespace Platform::Win32
