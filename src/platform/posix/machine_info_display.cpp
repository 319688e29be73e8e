// The screen of the X display that DISPLAY names, asked over the X protocol's own connection
// setup, so that no client library is needed. Only displays of this machine are asked: a
// remote server could keep the report waiting.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/known_folders.h"
#include "platform/machine_info.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/system_files.h"

namespace Platform {
namespace {

// An X server that accepts but never answers must not hold the report up for long.
constexpr int kTimeoutMilliseconds = 500;

class TSocket {
 public:
  explicit TSocket(int domain) : fd_(socket(domain, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    if (!fd_.Valid()) return;
    timeval timeout{};
    timeout.tv_usec = kTimeoutMilliseconds * 1000;
    setsockopt(fd_.Get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd_.Get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  }
  int Fd() const { return fd_.Get(); }

 private:
  Posix::Descriptor fd_;
};

bool ConnectLocal(const TSocket& socket, int display, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = "/tmp/.X11-unix/X" + std::to_string(display);
  // The abstract name has a leading zero byte and no terminator.
  const std::size_t offset = abstract ? 1 : 0;
  if (path.size() + offset >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                             path.size() + (abstract ? 0 : 1));
  return connect(socket.Fd(), reinterpret_cast<const sockaddr*>(&address), length) == 0;
}

bool ConnectLoopback(const TSocket& socket, int display) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(6000 + display));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return connect(socket.Fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

bool SendAll(int fd, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t sent = 0; sent < bytes.size();) {
    const ssize_t count = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    sent += static_cast<std::size_t>(count);
  }
  return true;
}

bool ReceiveAll(int fd, std::uint8_t* buffer, std::size_t size) {
  for (std::size_t received = 0; received < size;) {
    const ssize_t count = recv(fd, buffer + received, size - received, 0);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    received += static_cast<std::size_t>(count);
  }
  return true;
}

std::string AuthorityFile() {
  if (const char* file = std::getenv("XAUTHORITY"); file != nullptr && *file != '\0') return file;
  const char* home = std::getenv("HOME");
  return home != nullptr ? std::string(home) + "/.Xauthority" : std::string();
}

std::string Cookie(int display) {
  const std::string file = AuthorityFile();
  if (file.empty()) return {};
  const std::string content = Posix::ReadSystemFile(file);
  return X11CookieOf({reinterpret_cast<const std::uint8_t*>(content.data()), content.size()},
                     ComputerName(), display);
}

std::optional<TDisplayMode> AskServer(int fd, const TX11Display& display) {
  if (!SendAll(fd, X11SetupRequest(Cookie(display.Display)))) return std::nullopt;
  std::vector<std::uint8_t> reply(8);
  if (!ReceiveAll(fd, reply.data(), reply.size())) return std::nullopt;
  const std::size_t rest = (static_cast<std::size_t>(reply[7]) << 8 | reply[6]) * 4;
  reply.resize(reply.size() + rest);
  if (!ReceiveAll(fd, reply.data() + 8, rest)) return std::nullopt;
  return DisplayModeOfX11Setup(reply, display.Screen);
}

}  // namespace

std::optional<TDisplayMode> QueryDisplayMode() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr) return std::nullopt;
  const auto display = ParseX11Display(name);
  if (!display) return std::nullopt;
  if (display->Host.empty() || display->Host == "unix") {
    for (const bool abstract : {true, false}) {
      TSocket socket(AF_UNIX);
      if (socket.Fd() >= 0 && ConnectLocal(socket, display->Display, abstract)) {
        return AskServer(socket.Fd(), *display);
      }
    }
    return std::nullopt;
  }
  if (display->Host == "localhost" || display->Host == "127.0.0.1") {
    TSocket socket(AF_INET);
    if (socket.Fd() >= 0 && ConnectLoopback(socket, display->Display)) {
      return AskServer(socket.Fd(), *display);
    }
  }
  return std::nullopt;
}

}  // namespace Platform
