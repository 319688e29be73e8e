#pragma once

// The hand-shake of the helper programs with the test that started them: a ready file the
// program writes once it holds its resource, and a release file the test writes when the
// program may let go.

#include <cstdint>
#include <string>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace Fakes {

// Whole or not at all: written beside the path and renamed onto it, so that a test that sees
// the file also reads all of it.
inline void WriteText(const std::string& path, const std::string& text) {
  const std::string part = path + ".part";
  {
    auto file = Platform::File::Open(part, Platform::File::Mode::CreateAlwaysReadWrite);
    if (!file || !file->Write(text.data(), text.size())) return;
  }
  // A test that waits for the file then fails on its wait.
  (void)Platform::MoveOverTarget(part, path);
}

// Polls until the file exists; gives up after two minutes (or the time given) so that a test
// that died never leaves a helper behind for long.
inline void WaitForFile(const std::string& path, std::uint32_t giveUpMilliseconds = 120000) {
  constexpr std::uint32_t kPollMilliseconds = 20;
  for (std::uint32_t waited = 0; waited < giveUpMilliseconds && !Platform::FileExists(path);
       waited += kPollMilliseconds) {
    Platform::SleepMilliseconds(kPollMilliseconds);
  }
}

}  // namespace Fakes
