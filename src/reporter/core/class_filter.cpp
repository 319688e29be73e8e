#include "reporter/core/class_filter.h"

#include <algorithm>

namespace Reporter::Core {
namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

std::vector<std::string> SplitClassList(std::string_view list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(',', start);
    if (end == std::string_view::npos) end = list.size();
    std::string_view item = list.substr(start, end - start);
    while (!item.empty() && IsBlank(item.front())) item.remove_prefix(1);
    while (!item.empty() && IsBlank(item.back())) item.remove_suffix(1);
    if (!item.empty()) items.emplace_back(item);
    start = end + 1;
  }
  return items;
}

bool ClassListMatches(std::string_view list, const std::vector<std::string>& classNames) {
  const std::vector<std::string> items = SplitClassList(list);
  return std::any_of(classNames.begin(), classNames.end(), [&](const std::string& name) {
    return std::find(items.begin(), items.end(), name) != items.end();
  });
}

TFilterResult ApplyClassFilter(Settings::IModuleSettings& settings,
                               const std::vector<std::string>& classNames) {
  // The keys of each rule share their names after a prefix: "F1", "F2" or "Gn".
  std::string prefix = "Gn";
  TFilterResult result;
  if (ClassListMatches(settings.GetFilter1Classes(), classNames)) {
    prefix = "F1";
    result.Rule = 1;
  } else if (ClassListMatches(settings.GetFilter2Classes(), classNames)) {
    prefix = "F2";
    result.Rule = 2;
  }
  const auto key = [&](const char* name) { return prefix + name; };
  result.CreateBugReport = !settings.GetPropBool(key("NoBugRep"));
  result.CreateScreenShot =
      !settings.GetPropBool(key("NoScrShot")) && settings.GetScreenShotDepth() > 0;
  result.SuspendThreads = !settings.GetPropBool(key("NoSuspend")) && settings.GetSuspendThreads();
  result.CallHandlers = !settings.GetPropBool(key("NoHandlers"));
  result.ShowSetting = static_cast<Settings::TShowSetting>(settings.GetPropInt(key("ShowCfg")));
  result.ShowAssistant = settings.GetPropStr(key("Assis"));
  return result;
}

}  // namespace Reporter::Core
