#pragma once

#include <functional>
#include <string_view>

namespace Update {

// The updater's only output channel: takes one message without line break. May be empty.
using LogSink = std::function<void(std::string_view message)>;

// Passes the message to the sink when there is one.
inline void Log(const LogSink& sink, std::string_view message) {
  if (sink) sink(message);
}

}  // namespace Update
