#pragma once

#include <array>
#include <cstdint>
#include <optional>

// A process that restarts itself hands its successor 80 bytes (the reporter's exception
// history) through a named block "ExvoraRestart$<new process id in lower-case hex>" of 88
// bytes: the old process id (32 bits), a handle of the block duplicated into the new process
// (32 bits; 0 on POSIX), then the payload. Windows: a named file mapping; POSIX: a shared
// memory object of that name.
namespace Platform {

using TRestartPayload = std::array<std::uint8_t, 80>;

// Start-up: when this process was started by RestartOwnProcess, closes the handle found in the
// block, waits until the old process has ended (at most 5 seconds), removes the block and
// returns the payload. None otherwise, also for a block that names another process than the
// one that started this one, and on POSIX for one that is not this user's with mode 0600:
// another user can put a block of any name there.
[[nodiscard]] std::optional<TRestartPayload> TakeRestartHandover();

// Starts this program again with its own command line and current directory (suspended until
// the block is filled), hands it the payload, and ends this process with exit code 2: at once
// on Windows; on POSIX once the new process has taken the block (at most 30 seconds), so that
// the new one still sees this one as its parent. Returns false, and the process goes on, only
// when the new process could not be started.
[[nodiscard]] bool RestartOwnProcess(const TRestartPayload& payload);

}  // namespace Platform
