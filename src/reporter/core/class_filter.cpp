#include "reporter/core/class_filter.h"

#include <algorithm>

namespace Reporter::Core {
namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// The keys of one rule: the general one, filter 1 and filter 2.
struct TRuleKeys {
  Settings::TKey<bool> noBugReport, noScreenShot, noSuspend, noHandlers;
  Settings::TKey<Settings::TShowSetting> showSetting;
  Settings::TKey<std::string> assistant;
};
namespace Keys = Settings::Keys;
constexpr TRuleKeys kRules[] = {
    {Keys::GnNoBugRep, Keys::GnNoScrShot, Keys::GnNoSuspend, Keys::GnNoHandlers, Keys::GnShowCfg,
     Keys::GnAssis},
    {Keys::F1NoBugRep, Keys::F1NoScrShot, Keys::F1NoSuspend, Keys::F1NoHandlers, Keys::F1ShowCfg,
     Keys::F1Assis},
    {Keys::F2NoBugRep, Keys::F2NoScrShot, Keys::F2NoSuspend, Keys::F2NoHandlers, Keys::F2ShowCfg,
     Keys::F2Assis},
};

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
  TFilterResult result;
  if (ClassListMatches(settings.GetFilter1Classes(), classNames)) {
    result.Rule = 1;
  } else if (ClassListMatches(settings.GetFilter2Classes(), classNames)) {
    result.Rule = 2;
  }
  const TRuleKeys& rule = kRules[result.Rule];
  result.CreateBugReport = !settings.Get(rule.noBugReport);
  result.CreateScreenShot = !settings.Get(rule.noScreenShot) && settings.GetScreenShotDepth() > 0;
  result.SuspendThreads = !settings.Get(rule.noSuspend) && settings.GetSuspendThreads();
  result.CallHandlers = !settings.Get(rule.noHandlers);
  result.ShowSetting = settings.Get(rule.showSetting);
  result.ShowAssistant = settings.Get(rule.assistant);
  return result;
}

}  // namespace Reporter::Core
