// WindowHolder <class> <caption> <ready-file> <release-file>: shows a top-level window with
// that class and caption until <release-file> appears. It writes <ready-file> once the window
// is up ("shown", or "no-display" where none can be shown) and deletes it again when the
// window is gone.
#include <optional>
#include <string>

#include "fakes/ready_release.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/window.h"
#include "rtl/parameters.h"

int main() {
  const auto parameters = RTL::Parameters::Split(Platform::RawCommandLine());
  if (parameters.size() < 5) return 2;
  const std::string& readyFile = parameters[3].text;
  const std::string& releaseFile = parameters[4].text;

  std::optional<Platform::TopLevelWindow> window;
  window.emplace(parameters[1].text, parameters[2].text);
  Fakes::WriteText(readyFile, window->IsShown() ? "shown" : "no-display");
  Fakes::WaitForFile(releaseFile);
  window.reset();
  (void)Platform::DeleteOneFile(readyFile);  // the test's folder goes with it
  return 0;
}
