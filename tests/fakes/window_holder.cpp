// WindowHolder <class> <caption> <ready-file> <release-file>: shows a top-level window with
// that class and caption until <release-file> appears. It writes <ready-file> once the window
// is up ("shown", or "no-display" where none can be shown) and deletes it again when the
// window is gone.
#include <optional>
#include <string>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/window.h"
#include "rtl/parameters.h"

namespace {

constexpr std::uint32_t kPollMilliseconds = 20;
constexpr std::uint32_t kGiveUpMilliseconds = 120000;

void WriteText(const std::string& path, const std::string& text) {
  auto file = Platform::File::Open(path, Platform::File::Mode::CreateAlwaysReadWrite);
  if (file) file->Write(text.data(), text.size());
}

void WaitForFile(const std::string& path) {
  for (std::uint32_t waited = 0; waited < kGiveUpMilliseconds && !Platform::FileExists(path);
       waited += kPollMilliseconds) {
    Platform::SleepMilliseconds(kPollMilliseconds);
  }
}

}  // namespace

int main() {
  const auto parameters = RTL::Parameters::Split(Platform::RawCommandLine());
  if (parameters.size() < 5) return 2;
  const std::string& readyFile = parameters[3].text;
  const std::string& releaseFile = parameters[4].text;

  std::optional<Platform::TopLevelWindow> window;
  window.emplace(parameters[1].text, parameters[2].text);
  WriteText(readyFile, window->IsShown() ? "shown" : "no-display");
  WaitForFile(releaseFile);
  window.reset();
  Platform::DeleteOneFile(readyFile);
  return 0;
}
