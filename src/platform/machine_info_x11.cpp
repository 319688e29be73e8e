// The little of the X11 protocol needed to ask a server for its screen: the display name, the
// authority file, the connection setup and its reply. No client library is involved.

#include <charconv>

#include "platform/machine_info.h"

namespace Platform {
namespace {

std::optional<int> Number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) {
    return std::nullopt;
  }
  return value;
}

// Reads the big-endian counted fields of an Xauthority file.
class TAuthorityReader {
 public:
  explicit TAuthorityReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool AtEnd() const { return at_ >= bytes_.size(); }
  bool Short(std::uint16_t& value) {
    if (bytes_.size() - at_ < 2) return false;
    value = static_cast<std::uint16_t>(bytes_[at_] << 8 | bytes_[at_ + 1]);
    at_ += 2;
    return true;
  }
  bool Counted(std::string& text) {
    std::uint16_t length = 0;
    if (!Short(length) || bytes_.size() - at_ < length) return false;
    text.assign(reinterpret_cast<const char*>(bytes_.data() + at_), length);
    at_ += length;
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

constexpr std::uint16_t kFamilyLocal = 256;
constexpr std::uint16_t kFamilyWild = 65535;
constexpr std::string_view kCookieName = "MIT-MAGIC-COOKIE-1";

std::size_t Padded(std::size_t length) {
  return (length + 3) / 4 * 4;
}

std::uint32_t Little(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = size; i-- > 0;) value = value << 8 | bytes[at + i];
  return value;
}

}  // namespace

std::optional<TX11Display> ParseX11Display(std::string_view name) {
  const std::size_t colon = name.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  TX11Display display;
  display.Host = std::string(name.substr(0, colon));
  std::string_view rest = name.substr(colon + 1);
  const std::size_t dot = rest.find('.');
  if (dot != std::string_view::npos) {
    const auto screen = Number(rest.substr(dot + 1));
    if (!screen) return std::nullopt;
    display.Screen = *screen;
    rest = rest.substr(0, dot);
  }
  const auto number = Number(rest);
  if (!number) return std::nullopt;
  display.Display = *number;
  return display;
}

std::string X11CookieOf(std::span<const std::uint8_t> xauthority, std::string_view hostName,
                        int display) {
  TAuthorityReader reader(xauthority);
  const std::string displayText = std::to_string(display);
  while (!reader.AtEnd()) {
    std::uint16_t family = 0;
    std::string address, number, name, data;
    if (!reader.Short(family) || !reader.Counted(address) || !reader.Counted(number) ||
        !reader.Counted(name) || !reader.Counted(data)) {
      return {};
    }
    const bool thisHost = family == kFamilyWild || (family == kFamilyLocal && address == hostName);
    if (thisHost && (number.empty() || number == displayText) && name == kCookieName) return data;
  }
  return {};
}

std::vector<std::uint8_t> X11SetupRequest(std::string_view cookie) {
  const std::string_view name = cookie.empty() ? std::string_view() : kCookieName;
  std::vector<std::uint8_t> request = {'l',
                                       0,
                                       11,
                                       0,
                                       0,
                                       0,  // byte order, unused, protocol 11.0
                                       static_cast<std::uint8_t>(name.size()),
                                       static_cast<std::uint8_t>(name.size() >> 8),
                                       static_cast<std::uint8_t>(cookie.size()),
                                       static_cast<std::uint8_t>(cookie.size() >> 8),
                                       0,
                                       0};
  request.insert(request.end(), name.begin(), name.end());
  request.resize(Padded(request.size()));
  request.insert(request.end(), cookie.begin(), cookie.end());
  request.resize(Padded(request.size()));
  return request;
}

std::optional<TDisplayMode> DisplayModeOfX11Setup(std::span<const std::uint8_t> reply, int screen) {
  constexpr std::size_t kHead = 8;
  constexpr std::size_t kFixed = 32;  // the setup's fixed part after the head
  constexpr std::size_t kFormat = 8;
  constexpr std::size_t kScreen = 40;
  constexpr std::size_t kDepth = 8;
  constexpr std::size_t kVisual = 24;
  if (reply.size() < kHead + kFixed || reply[0] != 1) return std::nullopt;
  const std::size_t vendorLength = Little(reply, kHead + 16, 2);
  const std::size_t screens = reply[kHead + 20];
  const std::size_t formats = reply[kHead + 21];
  const std::size_t formatsAt = kHead + kFixed + Padded(vendorLength);
  std::size_t at = formatsAt + formats * kFormat;
  if (screen < 0 || static_cast<std::size_t>(screen) >= screens) return std::nullopt;
  for (int index = 0;; ++index) {
    if (reply.size() < at + kScreen) return std::nullopt;
    if (index == screen) break;
    // Skip the screen's depths, each with its visuals.
    std::size_t depthAt = at + kScreen;
    for (std::size_t depth = reply[at + 39]; depth > 0; --depth) {
      if (reply.size() < depthAt + kDepth) return std::nullopt;
      depthAt += kDepth + Little(reply, depthAt + 2, 2) * kVisual;
    }
    at = depthAt;
  }
  TDisplayMode mode;
  mode.Width = static_cast<int>(Little(reply, at + 20, 2));
  mode.Height = static_cast<int>(Little(reply, at + 22, 2));
  const std::uint8_t rootDepth = reply[at + 38];
  mode.BitsPerPixel = rootDepth;
  for (std::size_t format = 0; format < formats; ++format) {
    const std::size_t formatAt = formatsAt + format * kFormat;
    if (reply.size() >= formatAt + kFormat && reply[formatAt] == rootDepth) {
      mode.BitsPerPixel = reply[formatAt + 1];
    }
  }
  if (mode.Width <= 0 || mode.Height <= 0) return std::nullopt;
  return mode;
}

}  // namespace Platform
