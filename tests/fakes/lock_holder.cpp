// LockHolder <file> [briefly]: holds <file> open for writing, as another process that uses it
// would, until its standard input ends (briefly: lets go at once, silently). It says "locked" once
// the file is held, or "failed: <reason>".
#include <string>

#include "fakes/ready_release.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "rtl/parameters.h"

int main() {
  const auto parameters = RTL::Parameters::Split(Platform::RawCommandLine());
  const bool briefly = parameters.size() == 3 && parameters[2].text == "briefly";
  if (parameters.size() != (briefly ? 3u : 2u)) return 2;
  const std::string& path = parameters[1].text;

  auto held = Platform::File::Open(path, Platform::FileExists(path)
                                             ? Platform::File::Mode::OpenExistingReadWrite
                                             : Platform::File::Mode::CreateAlwaysReadWrite);
  if (briefly) return held ? 0 : 1;
  Fakes::SayReady(held ? "locked" : "failed: " + held.error());
  Fakes::WaitForRelease();
  return held ? 0 : 1;
}
