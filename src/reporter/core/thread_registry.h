#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/threads.h"

// The process-wide list of the threads the reporter knows, from which reports take their
// thread titles. Every module of the process shares it (a named shared-memory block on
// Windows, "ExvoraThreadNameBuf$<pid>"); its mutex guards it, and readers wait for that mutex
// at most 50 ms so that a thread that died holding it cannot block a report.
namespace Reporter::Core {

inline constexpr std::string_view kThreadRegistryName = "ExvoraThreadNameBuf";
inline constexpr std::int32_t kRegistryReadWait = 50;

inline constexpr std::string_view kMainThreadName = "main thread";
inline constexpr std::string_view kHandlingThreadName = "Exvora - HandleExceptionThread";
inline constexpr std::string_view kFreezeThreadName = "Exvora - AntiFreezeThread";
inline constexpr std::string_view kTraceThreadName = "Exvora - TraceProcessThread";

struct TThreadEntry {
  Platform::ThreadId ThreadId = 0;
  std::string Name;       // cut to 63 bytes
  std::string ClassName;  // of the thread object, when it has one; cut to 63 bytes
  std::uintptr_t CreatorAddr = 0;
  Platform::ThreadId CreatorThreadId = 0;
  std::uintptr_t Handle = 0;
};

// Creates the registry or opens the process's one; false when that is impossible (every
// other call then does nothing and finds nothing).
bool OpenThreadRegistry();
// Releases this module's hold; the registry lives on while another holds it.
void CloseThreadRegistry();

// Enters or replaces the thread's entry; false when the registry is full or unavailable.
bool EnterThread(const TThreadEntry& entry);
// Sets the name of a thread, keeping the rest of its entry (a new entry when it has none).
bool NameThread(Platform::ThreadId thread, std::string_view name);
void RemoveThread(Platform::ThreadId thread);

enum class TLookup { Found, NotFound, Busy };
// The thread's entry. Busy when the mutex could not be had within waitMilliseconds.
TLookup LookUpThread(Platform::ThreadId thread, TThreadEntry& entry,
                     std::int32_t waitMilliseconds = kRegistryReadWait);

// Holds the registry's mutex for as long as it lives (whoever must change several entries at
// once, and tests that play a thread stuck inside the registry).
class TThreadRegistryLock {
 public:
  TThreadRegistryLock();
  ~TThreadRegistryLock();
  TThreadRegistryLock(const TThreadRegistryLock&) = delete;
  TThreadRegistryLock& operator=(const TThreadRegistryLock&) = delete;
  bool Held() const { return held_; }

 private:
  bool held_ = false;
};

// Start-up: opens the registry and enters the calling thread as "main thread".
void EnterMainThread();

// The conventional request to name a thread (an operating-system exception 0x406D1388 with a
// UTF-8 name and a thread id, -1 for the raising thread) is not reported but entered here.
inline constexpr std::uint32_t kThreadNameRequestCode = 0x406D1388;
void NameThreadFromRequest(Platform::ThreadId thread, std::string_view utf8Name);

}  // namespace Reporter::Core
