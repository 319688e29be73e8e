#include "platform/console_device.h"

#include <errno.h>
#include <signal.h>
#include <unistd.h>

namespace Platform::ConsoleDevice {

bool Open() {
  // A reader that went away must not end the update: the write fails with EPIPE instead.
  // Children get the default back (see StartProcess).
  signal(SIGPIPE, SIG_IGN);
  return isatty(STDOUT_FILENO) == 1;
}

void WriteTerminalLine(std::string_view utf8Text) {
  const std::string line = RedirectedLine(utf8Text);
  Write(line.data(), line.size());
}

// UTF-8 with LF, as on the terminal.
std::string RedirectedLine(std::string_view utf8Text) {
  std::string line(utf8Text);
  line += '\n';
  return line;
}

void Write(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(STDOUT_FILENO, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

}  // namespace Platform::ConsoleDevice
