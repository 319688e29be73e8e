#include "platform/message_box.h"

#include <cstdio>
#include <string>

namespace Platform {

void ShowMessage(std::string_view caption, std::string_view text) {
  const std::string line = std::string(caption) + ": " + std::string(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace Platform
