#include "updater/console_sink.h"

#include "platform/console.h"

namespace Update {

LogSink ConsoleSink() {
  return [](std::string_view message) { Platform::Console::WriteLine(message); };
}

}  // namespace Update
