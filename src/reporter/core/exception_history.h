#pragma once

#include <array>
#include <cstdint>

// When the last ten exceptions were reported, newest first, in whole seconds since 1 January
// 1601 UTC (0: no entry). It decides whether the process closes or restarts itself after an
// exception and travels with the process over a restart.
namespace Reporter::Core {

using TExceptionHistory = std::array<std::int64_t, 10>;

// Now, in the history's unit.
std::int64_t HistoryTimeNow();

// Moves every entry one place down (the oldest drops out) and puts now first.
void PushExceptionTime(TExceptionHistory& history, std::int64_t now);

// 0 gives false and 1 true; from 2 up, true only when all ten entries are set and none lies
// more than `seconds` before now.
bool RecentExceptionsWithin(const TExceptionHistory& history, std::int32_t seconds,
                            std::int64_t now);

// The process's own history.
TExceptionHistory ProcessExceptionHistory();
void SetProcessExceptionHistory(const TExceptionHistory& history);
void RecordProcessException();
bool RecentProcessExceptionsWithin(std::int32_t seconds);

// The history as the restart hand-over carries it: ten little-endian 64-bit values.
std::array<std::uint8_t, 80> HistoryToBytes(const TExceptionHistory& history);
TExceptionHistory HistoryFromBytes(const std::array<std::uint8_t, 80>& bytes);

}  // namespace Reporter::Core
