#include "platform/restart_handover.h"

#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/system_files.h"
#include "platform/process.h"
#include "platform/process_exit.h"

namespace Platform {
namespace {

// The block: old process id, handle (always 0 here), payload.
constexpr std::size_t kPidOffset = 0;
constexpr std::size_t kHandleOffset = 4;
constexpr std::size_t kPayloadOffset = 8;
constexpr std::size_t kBlockSize = kPayloadOffset + sizeof(TRestartPayload);
constexpr useconds_t kPollMicroseconds = 10000;
constexpr int kRestartExitCode = 2;
// How long the new process waits for the old one to end, and the old one for the new one to
// take its block: both move on at once in a sound restart, so these only bound a stuck one.
constexpr int kEndWaitPolls = 5 * 100;
constexpr int kTakeWaitPolls = 30 * 100;

std::string BlockName(pid_t pid) {
  std::string hex;
  auto value = static_cast<std::uint32_t>(pid);
  do {
    hex.insert(hex.begin(), "0123456789abcdef"[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return "/ExvoraRestart$" + hex;
}

bool WriteBlock(pid_t newProcess, const TRestartPayload& payload) {
  const std::string name = BlockName(newProcess);
  int fd = shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0 && errno == EEXIST) {
    // Left behind by an earlier process of the same id that never came to read it.
    shm_unlink(name.c_str());
    fd = shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
  }
  if (fd < 0) return false;
  void* view = ftruncate(fd, kBlockSize) == 0
                   ? mmap(nullptr, kBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                   : MAP_FAILED;
  close(fd);
  if (view == MAP_FAILED) {
    shm_unlink(name.c_str());
    return false;
  }
  auto* bytes = static_cast<unsigned char*>(view);
  const auto oldPid = static_cast<std::uint32_t>(getpid());
  const std::uint32_t handle = 0;
  std::memcpy(bytes + kPidOffset, &oldPid, sizeof(oldPid));
  std::memcpy(bytes + kHandleOffset, &handle, sizeof(handle));
  std::memcpy(bytes + kPayloadOffset, payload.data(), payload.size());
  munmap(view, kBlockSize);
  return true;
}

// Ended, or a zombie: that one is gone too, only its parent has not collected it yet.
bool ProcessEnded(pid_t pid) {
  if (kill(pid, 0) != 0) return errno == ESRCH;
  const std::string stat = Posix::ReadSystemFile("/proc/" + std::to_string(pid) + "/stat");
  const std::size_t nameEnd = stat.rfind(')');
  return nameEnd != std::string::npos && nameEnd + 2 < stat.size() && stat[nameEnd + 2] == 'Z';
}

// A block this process may trust: one this user made for this user alone, of the right size.
// Anyone can create a block under any name in /dev/shm.
bool IsOwnBlock(const struct stat& status) {
  return S_ISREG(status.st_mode) && status.st_uid == geteuid() &&
         (status.st_mode & 07777) == (S_IRUSR | S_IWUSR) &&
         status.st_size >= static_cast<off_t>(kBlockSize);
}

bool BlockExists(const std::string& name) {
  const int fd = shm_open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
  if (fd >= 0) close(fd);
  return fd >= 0 || errno != ENOENT;
}

// The old process ends right after the new one has taken the block, and the new one checks
// that the block names its parent: so the old one waits for that, unless the new one is
// gone or never comes to it.
void WaitUntilTaken(pid_t newProcess) {
  const std::string name = BlockName(newProcess);
  for (int poll = 0; poll < kTakeWaitPolls && BlockExists(name); ++poll) {
    if (waitpid(newProcess, nullptr, WNOHANG) == newProcess) return;
    usleep(kPollMicroseconds);
  }
}

// Writes the one byte that lets the child go on. A child that is already gone must not end
// this process by SIGPIPE: the signal is held back and, if raised, taken away again.
ssize_t Signal(int gate) {
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  const char go = 1;
  ssize_t written;
  do {
    written = write(gate, &go, 1);
  } while (written < 0 && errno == EINTR);
  if (written < 0 && errno == EPIPE && !sigismember(&previous, SIGPIPE)) {
    const timespec now{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &now) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return written;
}

}  // namespace

std::optional<TRestartPayload> TakeRestartHandover() {
  const std::string name = BlockName(getpid());
  const int fd = shm_open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
  if (fd < 0) return std::nullopt;
  struct stat status {};
  const bool known = fstat(fd, &status) == 0;
  void* view = known && IsOwnBlock(status) ? mmap(nullptr, kBlockSize, PROT_READ, MAP_SHARED, fd, 0)
                                           : MAP_FAILED;
  close(fd);
  std::uint32_t oldPid = 0;
  TRestartPayload payload;
  if (view != MAP_FAILED) {
    const auto* bytes = static_cast<const unsigned char*>(view);
    std::memcpy(&oldPid, bytes + kPidOffset, sizeof(oldPid));
    std::memcpy(payload.data(), bytes + kPayloadOffset, payload.size());
    munmap(view, kBlockSize);
  }
  // Only the process that started this one hands over to it. That one waits until its block
  // is gone, so it is still our parent before the removal below.
  const auto old = static_cast<pid_t>(oldPid);
  const bool fromStarter = old > 0 && old == getppid();
  // A block of ours goes in any case: one of no use now never will be. Another user's stays.
  if (known && status.st_uid == geteuid()) shm_unlink(name.c_str());
  if (!fromStarter) return std::nullopt;
  // It is not ours to wait() for.
  for (int poll = 0; poll < kEndWaitPolls && !ProcessEnded(old); ++poll) usleep(kPollMicroseconds);
  return payload;
}

bool RestartOwnProcess(const TRestartPayload& payload) {
  // Everything the child needs is made before fork: after it, only async-signal-safe calls.
  const std::string program = ExecutablePath();
  std::vector<std::string> arguments = Posix::OwnArguments();
  if (program.empty() || arguments.empty()) return false;
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  // The child waits on this pipe until its block is there; it is named after the child's id,
  // which the parent learns only from fork.
  int gate[2];
  if (pipe2(gate, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    close(gate[0]);
    close(gate[1]);
    return false;
  }
  if (child == 0) {
    close(gate[1]);
    // A restart from a signal handler must not leave the new program with signals blocked.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    char go = 0;
    ssize_t count;
    do {
      count = read(gate[0], &go, 1);
    } while (count < 0 && errno == EINTR);
    // No byte: the parent gave up (or ended) before the block was ready.
    if (count == 1) execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(gate[0]);
  ssize_t written = -1;
  if (WriteBlock(child, payload)) {
    written = Signal(gate[1]);
    if (written != 1) shm_unlink(BlockName(child).c_str());
  }
  if (written == 1) {
    WaitUntilTaken(child);
    ExitProcessNow(kRestartExitCode);
  }
  close(gate[1]);
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  return false;
}

}  // namespace Platform
