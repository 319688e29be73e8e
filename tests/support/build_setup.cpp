#include "support/build_setup.h"

#include <gtest/gtest.h>

#include <charconv>

#include "platform/process.h"
#include "support/scoped_temp_dir.h"

namespace TestSupport {

std::string BuildSetupValue(std::string_view key) {
  const std::string path = Platform::ExecutableDirectory() + "build_setup.txt";
  const std::string text = ReadFile(path);
  const std::string prefix = std::string(key) + '=';
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + start, end - start);
    if (line.substr(0, prefix.size()) == prefix) return std::string(line.substr(prefix.size()));
    start = end + 1;
  }
  ADD_FAILURE() << "no " << key << " in " << path;
  return {};
}

int BuildSetupPort(std::string_view key) {
  const std::string text = BuildSetupValue(key);
  int port = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (error != std::errc() || end != text.data() + text.size() || port <= 0 || port > 65535) {
    ADD_FAILURE() << key << " is no port: " << text;
    return 0;
  }
  return port;
}

}  // namespace TestSupport
