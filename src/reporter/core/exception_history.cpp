#include "reporter/core/exception_history.h"

#include <algorithm>
#include <chrono>
#include <mutex>

namespace Reporter::Core {
namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kUnixEpochIn1601 = 11644473600;

std::mutex gHistoryLock;
TExceptionHistory gHistory{};

}  // namespace

std::int64_t HistoryTimeNow() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::seconds>(now).count() + kUnixEpochIn1601;
}

void PushExceptionTime(TExceptionHistory& history, std::int64_t now) {
  std::move_backward(history.begin(), history.end() - 1, history.end());
  history[0] = now;
}

bool RecentExceptionsWithin(const TExceptionHistory& history, std::int32_t seconds,
                            std::int64_t now) {
  if (seconds <= 0) return false;
  if (seconds == 1) return true;
  return std::all_of(history.begin(), history.end(),
                     [&](std::int64_t time) { return time != 0 && now - time <= seconds; });
}

TExceptionHistory ProcessExceptionHistory() {
  std::lock_guard guard(gHistoryLock);
  return gHistory;
}

void SetProcessExceptionHistory(const TExceptionHistory& history) {
  std::lock_guard guard(gHistoryLock);
  gHistory = history;
}

void RecordProcessException() {
  std::lock_guard guard(gHistoryLock);
  PushExceptionTime(gHistory, HistoryTimeNow());
}

bool RecentProcessExceptionsWithin(std::int32_t seconds) {
  return RecentExceptionsWithin(ProcessExceptionHistory(), seconds, HistoryTimeNow());
}

std::array<std::uint8_t, 80> HistoryToBytes(const TExceptionHistory& history) {
  std::array<std::uint8_t, 80> bytes{};
  for (std::size_t entry = 0; entry < history.size(); ++entry) {
    const auto value = static_cast<std::uint64_t>(history[entry]);
    for (int byte = 0; byte < 8; ++byte) {
      bytes[entry * 8 + byte] = static_cast<std::uint8_t>(value >> (8 * byte));
    }
  }
  return bytes;
}

TExceptionHistory HistoryFromBytes(const std::array<std::uint8_t, 80>& bytes) {
  TExceptionHistory history{};
  for (std::size_t entry = 0; entry < history.size(); ++entry) {
    std::uint64_t value = 0;
    for (int byte = 7; byte >= 0; --byte) value = (value << 8) | bytes[entry * 8 + byte];
    history[entry] = static_cast<std::int64_t>(value);
  }
  return history;
}

}  // namespace Reporter::Core
