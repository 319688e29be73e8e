// LockHolder <file> <ready-file> <release-file> [seconds]: holds <file> open for writing, as
// another process that uses it would, until <release-file> appears (or the seconds, two
// minutes by default, have passed). It writes <ready-file> once the file is held ("locked", or
// "failed: <reason>") and deletes it again when it has let go.
#include <charconv>
#include <cstdint>
#include <string>

#include "fakes/ready_release.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "rtl/parameters.h"

int main() {
  const auto parameters = RTL::Parameters::Split(Platform::RawCommandLine());
  if (parameters.size() < 4) return 2;
  const std::string& path = parameters[1].text;
  const std::string& readyFile = parameters[2].text;
  const std::string& releaseFile = parameters[3].text;
  std::uint32_t seconds = 120;
  if (parameters.size() > 4) {
    const std::string& text = parameters[4].text;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (parsed.ec != std::errc() || seconds == 0 || seconds > 3600) return 2;
  }

  auto held = Platform::File::Open(path, Platform::FileExists(path)
                                             ? Platform::File::Mode::OpenExistingReadWrite
                                             : Platform::File::Mode::CreateAlwaysReadWrite);
  Fakes::WriteText(readyFile, held ? "locked" : "failed: " + held.error());
  Fakes::WaitForFile(releaseFile, seconds * 1000);
  if (held) held->Close();
  (void)Platform::DeleteOneFile(readyFile);  // the test's folder goes with it
  return held ? 0 : 1;
}
