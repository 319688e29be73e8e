#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// How a failing thread hands its exception to the reporter's handling thread: fixed-size
// records through an anonymous pipe (each written and read whole), a wake-up signal for the
// reader, and a done signal per request that the failing thread waits on. Writing a record,
// setting a signal and waiting for one are safe inside a POSIX signal handler.
namespace Platform {

// A signal that, once set, stays set until reset: Windows a manual-reset event; POSIX a pipe
// holding a byte.
class TSignal {
 public:
  [[nodiscard]] static std::unique_ptr<TSignal> Create();
  virtual ~TSignal() = default;
  virtual void Set() = 0;
  virtual void Reset() = 0;
  // True when set within the time; 0xffffffff waits without limit.
  [[nodiscard]] virtual bool Wait(std::uint32_t milliseconds) = 0;
};

inline constexpr std::uint32_t kWaitForever = 0xffffffffu;

class TRequestPipe {
 public:
  enum class TReadResult { Record, Short, Empty, Closed, Failed };

  [[nodiscard]] static std::unique_ptr<TRequestPipe> Create();
  virtual ~TRequestPipe() = default;
  // Writes the record whole or not at all (records up to 512 bytes). False when it was not.
  [[nodiscard]] virtual bool Write(const void* record, std::size_t size) = 0;
  // Never blocks: Empty when no record is waiting.
  [[nodiscard]] virtual TReadResult Read(void* record, std::size_t size) = 0;
  // Makes the reader see Closed once the waiting records are read.
  virtual void CloseWriteEnd() = 0;
};

}  // namespace Platform
