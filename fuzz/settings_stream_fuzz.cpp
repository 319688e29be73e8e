// libFuzzer target: the settings stream parser and the password decipherer take any bytes
// without reading outside them, crashing or hanging. Built and run by scripts/fuzz.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "reporter/settings/cipher.h"
#include "reporter/settings/settings_stream.h"
#include "rtl/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto content = Reporter::Settings::ReadSettingsStream(bytes);
  if (content.invalidTag) Reporter::Settings::InvalidSettingsResourceMessage(*content.invalidTag);

  // The same bytes as a stored password: the first two bytes split off the account and
  // server texts, the rest is the stored text.
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t accountLength = size > 0 ? data[0] % 16 : 0;
  const std::size_t serverLength = size > 1 ? data[1] % 16 : 0;
  std::string_view rest = text.substr(std::min<std::size_t>(2, size));
  const std::string_view account = rest.substr(0, std::min(accountLength, rest.size()));
  rest.remove_prefix(account.size());
  const std::string_view server = rest.substr(0, std::min(serverLength, rest.size()));
  rest.remove_prefix(server.size());
  Reporter::Settings::Cipher::DecipherPassword(rest, account, server);
  // Enciphering and deciphering give back every valid UTF-8 password.
  if (RTL::Text::Utf16ToUtf8(RTL::Text::Utf8ToUtf16(rest)) == rest) {
    const std::string stored = Reporter::Settings::Cipher::EncipherPassword(rest, account, server);
    if (Reporter::Settings::Cipher::DecipherPassword(stored, account, server) != rest) {
      __builtin_trap();
    }
  }
  return 0;
}
