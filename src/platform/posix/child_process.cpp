#include "platform/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "platform/posix/child_start.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/program_lookup.h"

namespace Platform {
namespace {

using Clock = std::chrono::steady_clock;

// waitpid has no deadline: while the program runs, its end is looked for this often.
constexpr int kExitCheckMilliseconds = 10;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// A pipe whose ends are above the standard descriptors (ours may be closed, and the child's
// are set from these) and closed on exec.
bool MakePipe(Posix::Descriptor& readEnd, Posix::Descriptor& writeEnd) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  for (int& end : ends) {
    if (end > STDERR_FILENO) continue;
    const int moved = fcntl(end, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    close(end);
    end = moved;
  }
  readEnd = Posix::Descriptor(ends[0]);
  writeEnd = Posix::Descriptor(ends[1]);
  return readEnd.Valid() && writeEnd.Valid();
}

int ExitCode(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

struct ChildProcess::State {
  pid_t pid = -1;
  Posix::Descriptor input;
  Posix::Descriptor output;  // non-blocking; invalid once at its end
  std::string readAhead;
  std::optional<int> exitCode;

  // Appends what the output holds now; closes it at its end.
  void Drain() {
    char buffer[4096];
    while (output.Valid()) {
      const ssize_t count = read(output.Get(), buffer, sizeof(buffer));
      if (count > 0) {
        readAhead.append(buffer, static_cast<std::size_t>(count));
      } else if (count < 0 && errno == EINTR) {
        continue;
      } else {
        if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) (void)output.Close();
        return;
      }
    }
  }

  // Waits up to the time for output; false when none came.
  bool AwaitOutput(int milliseconds) {
    pollfd readable{output.Get(), POLLIN, 0};
    const int ready = poll(&readable, 1, milliseconds);
    return ready > 0 || (ready < 0 && errno == EINTR);
  }

  // Reaps the program if it has ended (or, blocking, once it ends).
  bool Reaped(bool block) {
    if (exitCode) return true;
    int status = 0;
    pid_t ended;
    do {
      ended = waitpid(pid, &status, block ? 0 : WNOHANG);
    } while (ended < 0 && errno == EINTR);
    if (ended == 0) return false;
    exitCode = ended == pid ? ExitCode(status) : -1;
    return true;
  }
};

ChildProcess::ChildProcess(const std::string& commandLine) : state_(std::make_unique<State>()) {
  try {
    const std::optional<Posix::ResolvedCommand> command = Posix::ResolveCommandLine(commandLine);
    Posix::Descriptor childInput;
    Posix::Descriptor childOutput;
    if (!command || !MakePipe(childInput, state_->input) ||
        !MakePipe(state_->output, childOutput)) {
      return;
    }
    state_->pid = Posix::StartChild(*command, false, childInput.Get(), childOutput.Get());
    fcntl(state_->output.Get(), F_SETFL, fcntl(state_->output.Get(), F_GETFL) | O_NONBLOCK);
  } catch (...) {
    state_->pid = -1;
  }
}

ChildProcess::~ChildProcess() {
  if (Started() && !state_->exitCode) Kill();
}

bool ChildProcess::Started() const {
  return state_->pid > 0;
}

std::uint32_t ChildProcess::Id() const {
  return Started() ? static_cast<std::uint32_t>(state_->pid) : 0;
}

std::optional<std::string> ChildProcess::ReadLine(std::uint32_t timeoutMilliseconds) {
  if (!Started()) return std::nullopt;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  for (;;) {
    if (std::optional<std::string> line = TakeLine(state_->readAhead)) return line;
    if (!state_->output.Valid() || !state_->AwaitOutput(MillisecondsLeft(deadline))) {
      return std::nullopt;
    }
    state_->Drain();
  }
}

void ChildProcess::CloseInput() {
  (void)state_->input.Close();  // a program that already ended has nothing to be told
}

std::optional<int> ChildProcess::WaitForExit(std::uint32_t timeoutMilliseconds,
                                             std::string* output) {
  if (!Started()) return std::nullopt;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  bool ended = state_->Reaped(false);
  while (!ended && Clock::now() < deadline) {
    const int slice = std::min(kExitCheckMilliseconds, MillisecondsLeft(deadline));
    if (state_->output.Valid()) {
      if (state_->AwaitOutput(slice)) state_->Drain();
    } else {
      usleep(static_cast<useconds_t>(slice) * 1000);
    }
    ended = state_->Reaped(false);
  }
  state_->Drain();
  if (output) {
    *output += state_->readAhead;
    state_->readAhead.clear();
  }
  return ended ? state_->exitCode : std::nullopt;
}

int ChildProcess::Kill() {
  if (!Started()) return -1;
  if (!state_->Reaped(false)) {
    kill(state_->pid, SIGKILL);
    (void)state_->Reaped(true);  // SIGKILL ends it: this wait is short
  }
  return *state_->exitCode;
}

}  // namespace Platform
