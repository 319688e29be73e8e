#include "reporter/report/system_lists/module_list.h"

#include <algorithm>

#include "reporter/report/system_lists/list_columns.h"

namespace Reporter::Report {

std::string FormatModuleList(std::vector<Platform::TModuleRecord> modules) {
  std::stable_sort(modules.begin(), modules.end(),
                   [](const Platform::TModuleRecord& a, const Platform::TModuleRecord& b) {
                     return a.Base < b.Base;
                   });
  // 32-bit addresses always take 8 digits; wider ones share the width of the largest.
  std::size_t baseWidth = 8;
  std::size_t nameWidth = 0;
  std::size_t versionWidth = 0;
  for (const Platform::TModuleRecord& module : modules) {
    baseWidth = std::max(baseWidth, HexDigits(module.Base));
    nameWidth = std::max(nameWidth, TextWidth(module.FileName));
    versionWidth = std::max(versionWidth, TextWidth(module.Version));
  }
  std::vector<std::string> lines;
  lines.reserve(modules.size());
  for (const Platform::TModuleRecord& module : modules) {
    lines.push_back(HexText(module.Base, baseWidth) + " " +
                    PadRight(module.FileName, nameWidth + 1) +
                    PadRight(module.Version, versionWidth + 1) + module.Directory);
  }
  return JoinLines(lines);
}

std::string ModuleListText() {
  return FormatModuleList(Platform::ListModules());
}

}  // namespace Reporter::Report
