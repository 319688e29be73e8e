#include "platform/posix/system_files.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace Platform::Posix {

std::string ReadSystemFile(const std::string& path) {
  std::string content;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return content;
  char buffer[4096];
  for (;;) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    content.append(buffer, static_cast<std::size_t>(count));
  }
  close(fd);
  return content;
}

std::string ReadSystemValue(const std::string& path) {
  std::string value = ReadSystemFile(path);
  if (const std::size_t end = value.find('\n'); end != std::string::npos) value.resize(end);
  const std::size_t first = value.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const std::size_t last = value.find_last_not_of(" \t\r");
  return value.substr(first, last - first + 1);
}

std::string ReadLinkTarget(const std::string& path) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    if (buffer.size() >= 65536) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string LastPathComponent(const std::string& path) {
  const std::size_t separator = path.rfind('/');
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

std::vector<std::string> OwnArguments() {
  const std::string arguments = ReadSystemFile("/proc/self/cmdline");
  std::vector<std::string> argv;
  for (std::size_t begin = 0; begin < arguments.size();) {
    std::size_t end = arguments.find('\0', begin);
    if (end == std::string::npos) end = arguments.size();
    argv.push_back(arguments.substr(begin, end - begin));
    begin = end + 1;
  }
  return argv;
}

}  // namespace Platform::Posix
