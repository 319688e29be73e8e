#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "platform/trace_request.h"
#include "platform/win32/utf16.h"

// The exported entry a tool starts a remote thread at. It answers into the file mapping the
// tool made, or onto the clipboard when the limit is below 1.
namespace Platform {
namespace {

std::atomic<TTraceTextSource> gSource{nullptr};

void PutOnClipboard(const std::string& text) {
  const std::wstring wide = Win32::ToUtf16(text);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
  if (memory == nullptr) return;
  if (void* target = GlobalLock(memory)) {
    std::memcpy(target, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
  }
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, memory) != nullptr) memory = nullptr;
    CloseClipboard();
  }
  if (memory != nullptr) GlobalFree(memory);
}

void WriteIntoMapping(const std::string& text, LONG limit) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, L"Global\\OrloTraceProcessMap");
  if (mapping == nullptr) mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, L"OrloTraceProcessMap");
  if (mapping == nullptr) return;
  if (auto* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0))) {
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(limit) - 1);
    std::memcpy(view, text.data(), length);
    view[length] = '\0';
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
}

}  // namespace
}  // namespace Platform

// A thread start routine: the tool passes the limit as the thread's parameter.
extern "C" __declspec(dllexport) DWORD WINAPI OrloTraceProcess(LPVOID parameter) {
  const auto limit = static_cast<LONG>(reinterpret_cast<INT_PTR>(parameter));
  const Platform::TTraceTextSource source = Platform::gSource.load();
  if (source == nullptr) return 1;
  const std::string text = source(limit);
  if (limit < 1) {
    Platform::PutOnClipboard(text);
  } else {
    Platform::WriteIntoMapping(text, limit);
  }
  return 0;
}

namespace Platform {

bool InstallTraceEntry(TTraceTextSource source) {
  gSource.store(source);
  // Keeps the entry, and with it its export, in every program that installs it.
  static volatile auto keep = &OrloTraceProcess;
  return keep != nullptr;
}

void RemoveTraceEntry() {
  gSource.store(nullptr);
}

bool StartTraceListener() {
  return true;
}

}  // namespace Platform
