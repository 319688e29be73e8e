#include "platform/posix/child_start.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

namespace Platform::Posix {
namespace {

// Where the descriptor loop stops when the kernel has no close_range.
int HighestDescriptorBound() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 65536;
  return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 65536));
}

// Everything from here on runs in the forked child of a possibly multi-threaded process:
// async-signal-safe calls only, no allocation.

[[noreturn]] void ReportAndExit(int pipe, int error) {
  while (write(pipe, &error, sizeof(error)) < 0 && errno == EINTR) {
  }
  _exit(127);
}

// Descriptors beyond 0, 1 and 2 do not reach the program.
void CloseOnExecAbove2(int bound) {
#ifdef SYS_close_range
  constexpr unsigned kCloseRangeCloexec = 1u << 2;
  if (syscall(SYS_close_range, 3u, ~0u, kCloseRangeCloexec) == 0) return;
#endif
  for (int fd = 3; fd < bound; ++fd) {
    const int flags = fcntl(fd, F_GETFD);
    if (flags >= 0 && !(flags & FD_CLOEXEC)) fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
  }
}

// A detached program gets none of our descriptors, the standard ones included: our standard
// output may be a pipe whose reader waits for its end, and it would wait for the program.
void StandardStreamsToNull(int pipe) {
  const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null < 0) ReportAndExit(pipe, errno);
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    // dup2 onto itself would keep the close-on-exec flag.
    const int result = fd == null ? fcntl(fd, F_SETFD, 0) : dup2(null, fd);
    if (result < 0) ReportAndExit(pipe, errno);
  }
  if (null > STDERR_FILENO) close(null);
}

// The descriptor becomes the standard one; both are above 2 or the standard one itself.
void UseAsStandard(int descriptor, int standard, int pipe) {
  if (descriptor < 0) return;
  // dup2 onto itself would keep the close-on-exec flag.
  const int result =
      descriptor == standard ? fcntl(standard, F_SETFD, 0) : dup2(descriptor, standard);
  if (result < 0) ReportAndExit(pipe, errno);
}

[[noreturn]] void ExecChild(const char* program, char* const* argv, char* const* environment,
                            int standardInput, int standardOutput, int descriptorBound, int pipe) {
  // The console ignores SIGPIPE; the program starts with the defaults and no blocked signals.
  signal(SIGPIPE, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  UseAsStandard(standardInput, STDIN_FILENO, pipe);
  UseAsStandard(standardOutput, STDOUT_FILENO, pipe);
  CloseOnExecAbove2(descriptorBound);
  execve(program, argv, environment);
  ReportAndExit(pipe, errno);
}

}  // namespace

pid_t StartChild(const ResolvedCommand& command, bool detached, int standardInput,
                 int standardOutput) {
  // Everything the child needs is prepared before fork.
  std::vector<char*> argv;
  for (const std::string& argument : command.argv) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  char* const* environment = environ;
  const int descriptorBound = HighestDescriptorBound();

  // Closed by a successful exec; an exec failure sends its errno through it instead.
  int reportPipe[2];
  if (pipe2(reportPipe, O_CLOEXEC) != 0) return -1;
  const pid_t child = fork();
  if (child < 0) {
    close(reportPipe[0]);
    close(reportPipe[1]);
    return -1;
  }
  if (child == 0) {
    close(reportPipe[0]);
    if (detached) {
      // The grandchild runs the program; its parent ends at once, so init adopts and reaps it.
      const pid_t grandchild = fork();
      if (grandchild < 0) ReportAndExit(reportPipe[1], errno);
      if (grandchild > 0) _exit(0);
      setsid();
      StandardStreamsToNull(reportPipe[1]);
    }
    ExecChild(command.file.c_str(), argv.data(), environment, standardInput, standardOutput,
              descriptorBound, reportPipe[1]);
  }

  close(reportPipe[1]);
  int childError = 0;
  ssize_t count;
  do {
    count = read(reportPipe[0], &childError, sizeof(childError));
  } while (count < 0 && errno == EINTR);
  close(reportPipe[0]);
  if (count == 0) return child;
  WaitForChild(child);
  return -1;
}

int WaitForChild(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace Platform::Posix
