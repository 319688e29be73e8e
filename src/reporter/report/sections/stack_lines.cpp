#include "reporter/report/sections/stack_lines.h"

#include <algorithm>
#include <vector>

#include "reporter/report/sections/section_format.h"

namespace Reporter::Report {
namespace {

std::string PadLeft(const std::string& text, std::size_t width) {
  const std::size_t used = TextWidth(text);
  return used >= width ? text : std::string(width - used, ' ') + text;
}

bool HasRelLineColumn(const Tracer::TStackItem& item) {
  return item.Line > 0 || item.relLine > 0;
}

std::string RelLineText(const Tracer::TStackItem& item, const TSectionOptions& options) {
  if (!HasRelLineColumn(item)) return {};
  const std::string number = std::to_string(item.relLine);
  return options.ShowRelLines && item.Line > 0 ? "+" + number : number;
}

}  // namespace

TStackLines FormatStackLines(const Tracer::TStackTrace& items, const TSectionOptions& options) {
  std::vector<const Tracer::TStackItem*> shown;
  for (const auto& item : items) {
    if (!shown.empty() && shown.back()->Addr == item.Addr) continue;
    shown.push_back(&item);
  }

  bool relColumn = false;
  std::size_t relDigits = 0, moduleWidth = 0, unitWidth = 0, lineWidth = 0, relLineWidth = 0;
  bool lineColumn = false, relLineColumn = false;
  for (const auto* item : shown) {
    if (item->relAddr > 0) {
      relColumn = true;
      relDigits = std::max(relDigits, HexNumber(item->relAddr).size());
    }
    moduleWidth = std::max(moduleWidth, TextWidth(item->ModuleName));
    unitWidth = std::max(unitWidth, TextWidth(item->UnitName));
    if (item->Line > 0) {
      lineColumn = true;
      lineWidth = std::max(lineWidth, std::to_string(item->Line).size());
    }
    if (HasRelLineColumn(*item)) {
      relLineColumn = true;
      relLineWidth = std::max(relLineWidth, RelLineText(*item, options).size());
    }
  }
  relColumn = relColumn && options.ShowRelAddrs;

  TStackLines result;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const auto& item = *shown[i];
    std::string line = HexAddress(item.Addr) + " ";
    // Zero-padded to the widest offset: "+4a " and "+0d " stand in one column.
    if (relColumn) line += "+" + HexNumber(item.relAddr, static_cast<int>(relDigits)) + " ";
    line += PadRight(item.ModuleName, moduleWidth + 1);
    line += PadRight(item.UnitName, unitWidth + 1);
    if (lineColumn) {
      line += PadLeft(item.Line > 0 ? std::to_string(item.Line) : std::string(), lineWidth) + " ";
    }
    if (relLineColumn) line += PadLeft(RelLineText(item, options), relLineWidth) + " ";
    line += item.FunctionName;

    if (i > 0) result.Text += "\r\n";
    result.Text += line;

    const std::uint32_t value = StackLineValue(item);
    if (i == 0) {
      result.FirstCrc = value;
      result.RunningCrc = value;
    } else {
      result.RunningCrc = CrcAbsorb(result.RunningCrc, value);
    }
    if (item.relLine > 0) result.AnyRelLine = true;
  }
  return result;
}

std::string InsertCreatorLine(const std::string& text, const std::string& creatorTitle) {
  if (text.empty() || text.front() == '>') return text;
  const std::string line = ">> created by " + creatorTitle + " at:";
  const std::size_t lastBreak = text.rfind("\r\n");
  if (lastBreak == std::string::npos) return line + "\r\n" + text;
  return text.substr(0, lastBreak + 2) + line + "\r\n" + text.substr(lastBreak + 2);
}

}  // namespace Reporter::Report
