#include "platform/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>

#include "platform/posix/child_start.h"
#include "platform/posix/program_lookup.h"

namespace Platform {
namespace {

// Appends what the pipe holds now; false once it is at its end or broken.
bool Drain(int fd, std::string& output) {
  char buffer[4096];
  for (;;) {
    const ssize_t count = read(fd, buffer, sizeof(buffer));
    if (count > 0) {
      output.append(buffer, static_cast<std::size_t>(count));
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    return count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

int ExitCode(int status) {
  if (status == -1) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

CapturedRun RunCaptured(const std::string& commandLine, std::uint32_t timeoutMilliseconds) {
  CapturedRun run;
  try {
    const std::optional<Posix::ResolvedCommand> command = Posix::ResolveCommandLine(commandLine);
    if (!command) return run;
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) return run;
    const pid_t child = Posix::StartChild(*command, false, output[1]);
    close(output[1]);
    if (child < 0) {
      close(output[0]);
      return run;
    }
    run.started = true;
    fcntl(output[0], F_SETFL, fcntl(output[0], F_GETFL) | O_NONBLOCK);

    // Ends with the child, not with the pipe: programs the child started may inherit the
    // pipe and keep it open long after the child has ended.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    bool open = true;
    int status = -1;  // stays so if the child cannot be waited for
    for (;;) {
      if (open) {
        pollfd readable{output[0], POLLIN, 0};
        poll(&readable, 1, 10);
        open = Drain(output[0], run.output);
      } else {
        usleep(10000);
      }
      const pid_t ended = waitpid(child, &status, WNOHANG);
      if (ended == child) break;
      if (ended < 0 && errno != EINTR) {
        status = -1;
        break;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        run.timedOut = true;
        kill(child, SIGKILL);
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        break;
      }
    }
    if (open) Drain(output[0], run.output);
    close(output[0]);
    run.exitCode = ExitCode(status);
  } catch (...) {
  }
  return run;
}

}  // namespace Platform
