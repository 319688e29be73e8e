// Update's entry without the crash reporter: the baseline against which the start-up cost of
// the reporter is measured.
#include "platform/console.h"
#include "updater/console_sink.h"
#include "updater/work.h"

int main() {
  Update::Work::RunUpdate(Update::ConsoleSink());
  Platform::Console::Flush();
  return 0;
}
