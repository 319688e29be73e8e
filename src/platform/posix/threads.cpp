#include "platform/threads.h"

#include <dirent.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include "platform/posix/memory_maps.h"
#include "platform/posix/system_files.h"

namespace Platform {

ThreadId CurrentThreadId() {
  return static_cast<ThreadId>(syscall(SYS_gettid));
}

// Linux gives the thread that started the process the process id as its thread id.
ThreadId MainThreadId() {
  return static_cast<ThreadId>(getpid());
}

std::vector<ThreadId> ListThreads() {
  std::vector<ThreadId> threads;
  const ThreadId main = MainThreadId();
  bool mainSeen = false;
  if (DIR* folder = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(folder)) {
      ThreadId id = 0;
      bool number = entry->d_name[0] != '\0';
      for (const char* c = entry->d_name; *c != '\0' && number; ++c) {
        number = *c >= '0' && *c <= '9' && id <= (UINT32_MAX - 9) / 10;
        id = id * 10 + static_cast<ThreadId>(*c - '0');
      }
      if (!number || id == 0) continue;
      if (id == main) {
        mainSeen = true;
      } else {
        threads.push_back(id);
      }
    }
    closedir(folder);
  }
  std::sort(threads.begin(), threads.end());
  if (mainSeen) threads.insert(threads.begin(), main);
  return threads;
}

std::string ThreadName(ThreadId thread) {
  const std::string path = "/proc/self/task/" + std::to_string(thread) + "/comm";
  std::string name = Posix::ReadSystemFile(path);
  while (!name.empty() && (name.back() == '\n' || name.back() == '\0')) name.pop_back();
  return name;
}

bool SetCurrentThreadName(const std::string& name) {
  // The kernel keeps 15 bytes; cut before a UTF-8 continuation byte, not inside a character.
  std::string kept = name.substr(0, 15);
  if (kept.size() < name.size()) {
    std::size_t end = kept.size();
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    kept.resize(end);
  }
  return pthread_setname_np(pthread_self(), kept.c_str()) == 0;
}

}  // namespace Platform
