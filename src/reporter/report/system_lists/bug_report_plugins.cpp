#include "reporter/report/system_lists/bug_report_plugins.h"

#include <mutex>

#include "reporter/settings/settings_lists.h"
#include "rtl/case_folding.h"
#include "rtl/text.h"

namespace Reporter::Report {
namespace {

// Registration happens on the main thread at start and end, lookups on whichever thread
// builds a report.
struct TPluginRegistry {
  std::mutex lock;
  std::vector<TBugReportPlugin> plugins;
};

TPluginRegistry& Registry() {
  static TPluginRegistry registry;
  return registry;
}

}  // namespace

void AddBugReportPlugin(std::string_view name, std::string_view description,
                        TBugReportPluginW producer, bool ownSection) {
  TBugReportPlugin plugin;
  plugin.name = name;
  plugin.description = description;
  plugin.procOldW = producer;
  plugin.ownSection = ownSection;
  TPluginRegistry& registry = Registry();
  std::lock_guard guard(registry.lock);
  registry.plugins.push_back(std::move(plugin));
}

void RemoveBugReportPlugin(std::string_view name) {
  TPluginRegistry& registry = Registry();
  std::lock_guard guard(registry.lock);
  for (auto plugin = registry.plugins.begin(); plugin != registry.plugins.end(); ++plugin) {
    if (plugin->name == name) {
      registry.plugins.erase(plugin);
      return;
    }
  }
}

std::vector<TBugReportPlugin> BugReportPlugins() {
  TPluginRegistry& registry = Registry();
  std::lock_guard guard(registry.lock);
  return registry.plugins;
}

std::optional<TBugReportPlugin> FindBugReportPlugin(std::string_view name) {
  TPluginRegistry& registry = Registry();
  std::lock_guard guard(registry.lock);
  for (const TBugReportPlugin& plugin : registry.plugins) {
    if (RTL::Text::SameIgnoreCase(plugin.name, name)) return plugin;
  }
  return std::nullopt;
}

std::vector<TBugReportPlugin> PluginsOfSetting(std::string_view plugins) {
  std::vector<TBugReportPlugin> found;
  for (const std::string& name : Settings::SplitItems(plugins, '|')) {
    if (std::optional<TBugReportPlugin> plugin = FindBugReportPlugin(name)) {
      found.push_back(std::move(*plugin));
    }
  }
  return found;
}

std::string CallBugReportPlugin(const TBugReportPlugin& plugin,
                                const std::exception_ptr& exception) {
  if (plugin.procOldA != nullptr) return RTL::Text::Cp1252ToUtf8(plugin.procOldA());
  if (plugin.procOldW != nullptr) return plugin.procOldW();
  if (plugin.procNewA != nullptr) return RTL::Text::Cp1252ToUtf8(plugin.procNewA(exception));
  if (plugin.procNewW != nullptr) return plugin.procNewW(exception);
  return {};
}

}  // namespace Reporter::Report
