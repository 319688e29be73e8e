#include "platform/request_pipe.h"

#include <windows.h>

#include "platform/win32/scoped_win_handle.h"

// An anonymous pipe whose read end is switched to non-blocking mode, and manual-reset events.
namespace Platform {
namespace {

class TEventSignal final : public TSignal {
 public:
  explicit TEventSignal(HANDLE event) : event_(event) {}
  void Set() override { SetEvent(event_.Get()); }
  void Reset() override { ResetEvent(event_.Get()); }
  bool Wait(std::uint32_t milliseconds) override {
    return WaitForSingleObject(event_.Get(),
                               milliseconds == kWaitForever ? INFINITE : milliseconds) ==
           WAIT_OBJECT_0;
  }

 private:
  Win32::KernelHandle event_;
};

class TWin32RequestPipe final : public TRequestPipe {
 public:
  TWin32RequestPipe(HANDLE readEnd, HANDLE writeEnd) : read_(readEnd), write_(writeEnd) {}
  bool Write(const void* record, std::size_t size) override {
    DWORD written = 0;
    return write_.Valid() && size <= 512 &&
           WriteFile(write_.Get(), record, static_cast<DWORD>(size), &written, nullptr) &&
           written == size;
  }
  TReadResult Read(void* record, std::size_t size) override {
    DWORD got = 0;
    if (ReadFile(read_.Get(), record, static_cast<DWORD>(size), &got, nullptr))
      return got == size ? TReadResult::Record
                         : (got == 0 ? TReadResult::Empty : TReadResult::Short);
    switch (GetLastError()) {
      case ERROR_NO_DATA:
      case ERROR_IO_PENDING:
        return TReadResult::Empty;
      case ERROR_MORE_DATA:
        return TReadResult::Short;
      case ERROR_BROKEN_PIPE:
        return TReadResult::Closed;
      default:
        return TReadResult::Failed;
    }
  }
  // The handle is released either way, and a pipe keeps nothing that a failed close loses.
  void CloseWriteEnd() override { (void)write_.Close(); }

 private:
  Win32::KernelHandle read_;
  Win32::KernelHandle write_;
};

}  // namespace

std::unique_ptr<TSignal> TSignal::Create() {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (event == nullptr) return nullptr;
  return std::make_unique<TEventSignal>(event);
}

std::unique_ptr<TRequestPipe> TRequestPipe::Create() {
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, nullptr, 0)) return nullptr;
  DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
  SetNamedPipeHandleState(readEnd, &mode, nullptr, nullptr);
  return std::make_unique<TWin32RequestPipe>(readEnd, writeEnd);
}

}  // namespace Platform
