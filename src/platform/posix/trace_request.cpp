#include "platform/trace_request.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include "platform/posix/descriptor.h"
#include "platform/posix/system_files.h"
#include "platform/process.h"

// The request is a real-time signal whose value is the limit. Its handler only writes the
// limit into a pipe; a listener thread reads it and runs the entry on a thread of its own, as a
// remote thread would. The answer goes into the shared-memory object the tool made: a word
// that turns from 0 to 1 when the text is complete, then the text and its zero byte.
namespace Platform {
namespace {

constexpr std::size_t kHeaderSize = 8;

int RequestSignal() {
  return SIGRTMIN + 6;
}

std::string BlockName(std::uint32_t processId) {
  return "/OrloTraceProcessMap." + std::to_string(processId);
}

std::atomic<TTraceTextSource> gSource{nullptr};
int gPipe[2] = {-1, -1};
std::atomic<bool> gInstalled{false};
std::atomic<bool> gListening{false};

void OnRequest(int, siginfo_t* info, void*) {
  const int savedErrno = errno;
  const std::int32_t limit = info->si_value.sival_int;
  if (write(gPipe[1], &limit, sizeof limit) < 0) {
    // A full pipe drops the request: the tool times out.
  }
  errno = savedErrno;
}

void WriteAnswer(const std::string& text, std::int32_t limit) {
  const int file = shm_open(BlockName(static_cast<std::uint32_t>(getpid())).c_str(), O_RDWR, 0);
  if (file < 0) return;
  const std::size_t size = kHeaderSize + static_cast<std::size_t>(limit);
  void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
  close(file);
  if (view == MAP_FAILED) return;
  auto* bytes = static_cast<char*>(view);
  const std::size_t length = std::min(text.size(), static_cast<std::size_t>(limit) - 1);
  std::memcpy(bytes + kHeaderSize, text.data(), length);
  bytes[kHeaderSize + length] = '\0';
  reinterpret_cast<std::atomic<std::uint32_t>*>(bytes)->store(1);
  munmap(view, size);
}

// Whether the process has a handler for the signal: its status lists the caught signals as a
// hexadecimal mask, bit n - 1 for signal n. None when the status cannot be read.
std::optional<bool> CatchesSignal(pid_t process, int signal) {
  const std::string status = Posix::ReadSystemFile("/proc/" + std::to_string(process) + "/status");
  constexpr std::string_view kField = "\nSigCgt:";
  const std::size_t field = status.find(kField);
  if (field == std::string::npos) return std::nullopt;
  std::size_t begin = field + kField.size();
  while (begin < status.size() && (status[begin] == ' ' || status[begin] == '\t')) ++begin;
  const std::size_t end = status.find('\n', begin);
  const char* last = end == std::string::npos ? status.data() + status.size() : status.data() + end;
  std::uint64_t mask = 0;
  const auto [stop, error] = std::from_chars(status.data() + begin, last, mask, 16);
  if (error != std::errc() || stop != last || signal < 1 || signal > 64) return std::nullopt;
  return (mask >> (signal - 1) & 1) != 0;
}

// A process descriptor where the kernel has them (Linux 5.3): a signal sent through it reaches
// the process it was opened for or none. Elsewhere signals go by id.
class TProcessHandle {
 public:
  explicit TProcessHandle(pid_t process)
      : process_(process), descriptor_(static_cast<int>(syscall(SYS_pidfd_open, process, 0))) {
    gone_ = !descriptor_.Valid() && errno == ESRCH;
  }

  bool Gone() const { return gone_; }

  bool Queue(int signal, sigval value) const {
    if (descriptor_.Valid()) {
      siginfo_t info{};
      info.si_signo = signal;
      info.si_code = SI_QUEUE;
      info.si_pid = getpid();
      info.si_uid = getuid();
      info.si_value = value;
      if (syscall(SYS_pidfd_send_signal, descriptor_.Get(), signal, &info, 0) == 0) return true;
      // Gone. Any other refusal comes from an emulator that does not translate the call
      // (qemu-user): then the signal goes by id after all.
      if (errno == ESRCH) return false;
    }
    return sigqueue(process_, signal, value) == 0;
  }

 private:
  pid_t process_;
  Posix::Descriptor descriptor_;
  bool gone_ = false;
};

std::uint32_t RunTraceEntry(std::int32_t limit) {
  const TTraceTextSource source = gSource.load();
  if (source == nullptr) return 1;
  const std::string text = source(limit);
  // POSIX has no clipboard of its own; a limit below 1 asks for nothing else.
  if (limit >= 1) WriteAnswer(text, limit);
  return 0;
}

void Listen() {
  std::int32_t limit = 0;
  for (;;) {
    const ssize_t got = read(gPipe[0], &limit, sizeof limit);
    if (got == sizeof limit) {
      std::thread(RunTraceEntry, limit).join();
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      return;  // the write end was closed
    }
  }
}

}  // namespace
}  // namespace Platform

// The entry under the name the Windows build exports.
extern "C" std::uint32_t OrloTraceProcess(std::int32_t limit) {
  return Platform::RunTraceEntry(limit);
}

namespace Platform {

bool InstallTraceEntry(TTraceTextSource source) {
  gSource.store(source);
  if (gInstalled.load()) return true;
  if (pipe2(gPipe, O_CLOEXEC) != 0) return false;
  fcntl(gPipe[1], F_SETFL, O_NONBLOCK);
  struct sigaction action {};
  action.sa_sigaction = OnRequest;
  action.sa_flags = SA_SIGINFO | SA_RESTART;
  sigemptyset(&action.sa_mask);
  if (sigaction(RequestSignal(), &action, nullptr) != 0) {
    close(gPipe[0]);
    close(gPipe[1]);
    return false;
  }
  gInstalled.store(true);
  return true;
}

void RemoveTraceEntry() {
  gSource.store(nullptr);
}

bool StartTraceListener() {
  if (!gInstalled.load()) return false;
  if (gListening.exchange(true)) return true;
  try {
    std::thread(Listen).detach();
  } catch (const std::system_error&) {
    gListening.store(false);
    return false;
  }
  return true;
}

TTraceAnswer RequestTrace(std::uint32_t processId, std::int32_t limit,
                          std::uint32_t timeoutMilliseconds) {
  TTraceAnswer answer;
  // 0 and the negative ids would signal whole process groups, or every process there is.
  if (processId == 0 || processId > static_cast<std::uint32_t>(INT32_MAX)) return answer;
  const auto process = static_cast<pid_t>(processId);
  // Holds on to the process, so that its id cannot pass to another one before the signal.
  const TProcessHandle handle(process);
  if (handle.Gone()) return answer;
  const std::optional<bool> catches = CatchesSignal(process, RequestSignal());
  if (!catches) return answer;
  if (!*catches) {
    answer.Outcome = TTraceOutcome::NotListening;
    return answer;
  }
  if (limit < 1) limit = 1;
  const std::string name = BlockName(processId);
  shm_unlink(name.c_str());  // left over from a tool that died
  const int file = shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
  if (file < 0) return answer;
  const std::size_t size = kHeaderSize + static_cast<std::size_t>(limit);
  void* view = ftruncate(file, static_cast<off_t>(size)) == 0
                   ? mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0)
                   : MAP_FAILED;
  close(file);
  if (view != MAP_FAILED) {
    const auto* done = reinterpret_cast<const std::atomic<std::uint32_t>*>(view);
    sigval value{};
    value.sival_int = limit;
    if (handle.Queue(RequestSignal(), value)) {
      answer.Outcome = TTraceOutcome::NoAnswer;
      constexpr std::uint32_t kPoll = 10;
      for (std::uint32_t waited = 0; waited <= timeoutMilliseconds; waited += kPoll) {
        if (done->load() == 1) {
          answer.Outcome = TTraceOutcome::Answered;
          answer.Text = std::string(static_cast<const char*>(view) + kHeaderSize);
          break;
        }
        SleepMilliseconds(kPoll);
      }
    }
    munmap(view, size);
  }
  shm_unlink(name.c_str());
  return answer;
}

}  // namespace Platform
