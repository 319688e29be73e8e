#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reporter/settings/reporter_settings.h"

// The class filters: which rule (filter 1, filter 2 or the general one) applies to an
// exception, by the names of its class and its ancestors.
namespace Reporter::Core {

// "EDBEditError , EFoo" -> {"EDBEditError", "EFoo"}; blanks and control characters around
// the commas are dropped, empty items too.
std::vector<std::string> SplitClassList(std::string_view list);

// True when the class or an ancestor is named in the list exactly (letter case counts).
bool ClassListMatches(std::string_view list, const std::vector<std::string>& classNames);

struct TFilterResult {
  int Rule = 0;  // 1, 2, or 0 for the general values
  bool CreateBugReport = true;
  bool CreateScreenShot = false;
  bool SuspendThreads = false;
  bool CallHandlers = true;
  Settings::TShowSetting ShowSetting = Settings::ssFullBox;
  std::string ShowAssistant;
};

// Filter 1 first, then filter 2, else the general values.
TFilterResult ApplyClassFilter(Settings::IModuleSettings& settings,
                               const std::vector<std::string>& classNames);

}  // namespace Reporter::Core
