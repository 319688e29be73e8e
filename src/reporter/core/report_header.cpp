// The report's header: filled once, on the first request, from the header producers.
#include <atomic>

#include "reporter/core/reported_exception_impl.h"
#include "reporter/report/header/header_fields.h"
#include "reporter/report/system_lists/bug_report_plugins.h"

namespace Reporter::Core {

std::uint64_t NextExceptionNumber() {
  static std::atomic<std::uint64_t> counter{0};
  return ++counter;
}

std::shared_ptr<Settings::IFieldList> TReportedException::GetBugReportHeader() {
  bool fill = false;
  {
    std::lock_guard guard(stateLock_);
    if (!header_) {
      header_ = std::make_shared<Settings::TFieldList>();
      header_->SetExcParent(this);
    }
    fill = filter_.CreateBugReport && !headerFilled_;
    headerFilled_ = true;
  }
  if (fill) {
    // One announcement for the whole header, after it is stored.
    BeginUpdate();
    try {
      FillHeader();
    } catch (...) {
    }
    EndUpdate();
  }
  return header_;
}

void TReportedException::FillHeader() {
  Report::THeaderInput input;
  input.Time = time_;
  if (const std::string version = VersionVar(); !version.empty()) input.VersionText = version;
  input.ExceptionNumber = NextExceptionNumber();
  input.Frozen = request_.ExceptType == etFrozen;
  if (input.Frozen) input.FrozenMessage = GetFrozenMsg();
  input.ExceptClass = GetExceptClass();
  input.ExceptMessage = GetExceptMessage();
  // A message that only repeats the class name (the full stop aside) gives no line.
  if (input.ExceptMessage == input.ExceptClass + ".") input.ExceptMessage = input.ExceptClass;
  // Plugins without a section of their own give header fields.
  for (const auto& plugin : Report::PluginsOfSetting(Get(Settings::Keys::Plugins))) {
    if (plugin.ownSection) continue;
    try {
      input.PluginFields.emplace_back(plugin.name,
                                      Report::CallBugReportPlugin(plugin, request_.ExceptObject));
    } catch (...) {
    }
  }
  const Report::THeader header = Report::BuildHeaderFields(input);
  header_->AcceptData();
  header_->Lock();
  for (const auto& [key, value] : header.Fields) header_->Add(key, value);
  header_->SetAddIndex(header.InsertIndex);
  header_->Unlock();
}

}  // namespace Reporter::Core
