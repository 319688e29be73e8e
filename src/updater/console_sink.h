#pragma once

#include "updater/log_sink.h"

namespace Update {

// The sink that writes each message as one line to standard output.
LogSink ConsoleSink();

}  // namespace Update
