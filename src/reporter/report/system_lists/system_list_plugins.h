#pragma once

// Start-up and shutdown of the three system lists as bug report plugins, each with a section
// of its own: "hardware", "processes" and "modules", registered in that order.
namespace Reporter::Report {

void RegisterSystemListPlugins();
// Removes the three registrations by name.
void UnregisterSystemListPlugins();

// Registered for the object's lifetime.
class TSystemListPlugins {
 public:
  TSystemListPlugins() { RegisterSystemListPlugins(); }
  ~TSystemListPlugins() { UnregisterSystemListPlugins(); }
  TSystemListPlugins(const TSystemListPlugins&) = delete;
  TSystemListPlugins& operator=(const TSystemListPlugins&) = delete;
};

}  // namespace Reporter::Report
