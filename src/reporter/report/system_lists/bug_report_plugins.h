#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The registry of bug report plugins: named producers of texts that a report shows as
// sections of their own or as header fields. The report asks for the plugins named in the
// "Plugins" setting, in that setting's order.
namespace Reporter::Report {

// Producers of a plugin's text. The "A" kinds return Windows-1252 text, the "W" kinds UTF-8;
// the "Ex" kinds receive the exception being reported.
using TBugReportPluginA = std::string (*)();
using TBugReportPluginW = std::string (*)();
using TBugReportPluginExA = std::string (*)(const std::exception_ptr& exception);
using TBugReportPluginExW = std::string (*)(const std::exception_ptr& exception);

struct TBugReportPlugin {
  std::string name;         // the section or field name the report looks the plugin up by
  std::string description;  // for people; the report does not show it
  TBugReportPluginA procOldA = nullptr;
  TBugReportPluginW procOldW = nullptr;
  TBugReportPluginExA procNewA = nullptr;
  TBugReportPluginExW procNewW = nullptr;
  bool ownSection = false;  // false: the text becomes a header field
};

// Appends a registration with the producer as procOldW. A name already registered is
// registered once more.
void AddBugReportPlugin(std::string_view name, std::string_view description,
                        TBugReportPluginW producer, bool ownSection);

// Removes the first registration of exactly this name (case matters); later ones move up.
void RemoveBugReportPlugin(std::string_view name);

// Every registration, in registration order.
std::vector<TBugReportPlugin> BugReportPlugins();

// The first registration whose name equals the name, ignoring case.
std::optional<TBugReportPlugin> FindBugReportPlugin(std::string_view name);

// The registrations for the names of a "Plugins" text ("modules|processes|hardware"), in the
// text's order; a name without registration contributes nothing.
std::vector<TBugReportPlugin> PluginsOfSetting(std::string_view plugins);

// Runs the first producer the plugin has, in the order procOldA, procOldW, procNewA,
// procNewW, and returns its text as UTF-8; empty when it has none. What the producer throws
// is passed on.
std::string CallBugReportPlugin(const TBugReportPlugin& plugin,
                                const std::exception_ptr& exception);

}  // namespace Reporter::Report
