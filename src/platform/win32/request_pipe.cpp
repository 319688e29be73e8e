#include "platform/request_pipe.h"

#include <windows.h>

// An anonymous pipe whose read end is switched to non-blocking mode, and manual-reset events.
namespace Platform {
namespace {

class TEventSignal final : public TSignal {
 public:
  explicit TEventSignal(HANDLE event) : event_(event) {}
  ~TEventSignal() override { CloseHandle(event_); }
  void Set() override { SetEvent(event_); }
  void Reset() override { ResetEvent(event_); }
  bool Wait(std::uint32_t milliseconds) override {
    return WaitForSingleObject(event_, milliseconds == kWaitForever ? INFINITE : milliseconds) ==
           WAIT_OBJECT_0;
  }

 private:
  HANDLE event_;
};

class TWin32RequestPipe final : public TRequestPipe {
 public:
  TWin32RequestPipe(HANDLE readEnd, HANDLE writeEnd) : read_(readEnd), write_(writeEnd) {}
  ~TWin32RequestPipe() override {
    CloseHandle(read_);
    CloseWriteEnd();
  }
  bool Write(const void* record, std::size_t size) override {
    DWORD written = 0;
    return write_ != nullptr && size <= 512 &&
           WriteFile(write_, record, static_cast<DWORD>(size), &written, nullptr) &&
           written == size;
  }
  TReadResult Read(void* record, std::size_t size) override {
    DWORD got = 0;
    if (ReadFile(read_, record, static_cast<DWORD>(size), &got, nullptr))
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
  void CloseWriteEnd() override {
    if (write_ != nullptr) CloseHandle(write_);
    write_ = nullptr;
  }

 private:
  HANDLE read_;
  HANDLE write_;
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
