// WindowHolder <class> <caption>: shows a top-level window with that class and caption until
// its standard input ends. It says "shown" once the window is up, or "no-display" where none
// can be shown.
#include <string>

#include "fakes/ready_release.h"
#include "platform/process.h"
#include "platform/window.h"
#include "rtl/parameters.h"

int main() {
  const auto parameters = RTL::Parameters::Split(Platform::RawCommandLine());
  if (parameters.size() != 3) return 2;
  const Platform::TopLevelWindow window(parameters[1].text, parameters[2].text);
  Fakes::SayReady(window.IsShown() ? "shown" : "no-display");
  Fakes::WaitForRelease();
  return 0;
}
