// The reported exception as a settings object: a value set on it holds for this exception only;
// every other value is the module's.
#include <bit>
#include <optional>

#include "reporter/core/reported_exception_impl.h"

namespace Reporter::Core {

bool TReportedException::GetPropBool(std::string_view name) {
  {
    std::lock_guard guard(overridesLock_);
    if (const auto value = overrides_.ReadBool(name)) return *value;
  }
  return settings_ ? settings_->GetPropBool(name) : false;
}

std::int32_t TReportedException::GetPropInt(std::string_view name) {
  {
    std::lock_guard guard(overridesLock_);
    if (const auto value = overrides_.ReadInt(name)) return *value;
  }
  return settings_ ? settings_->GetPropInt(name) : 0;
}

std::uint32_t TReportedException::GetPropDw(std::string_view name) {
  return std::bit_cast<std::uint32_t>(GetPropInt(name));
}

std::string TReportedException::GetPropStr(std::string_view name) {
  std::optional<std::string> own;
  {
    std::lock_guard guard(overridesLock_);
    own = overrides_.ReadStr(name);
  }
  Settings::TReporterSettings* module = settings_ ? settings_->GetSelf() : nullptr;
  if (module == nullptr)
    return own ? *own : settings_ ? settings_->GetPropStr(name) : std::string();
  std::string text = own ? *own : module->GetPropStrAsStored(name);
  if (!Settings::ExpandsPlaceholders(name) || !Settings::MayHoldPlaceholders(text)) return text;
  // The exception's own values go in; the report stays a placeholder for whoever holds the
  // whole text (the mail body of a later sending step).
  Settings::TExceptionPlaceholders values;
  values.exceptClass = GetExceptClass();
  values.exceptMsg = GetExceptMessage();
  if (std::optional<std::string> details = ErrorDetails()) values.errorDetails = *details;
  return module->ExpandText(text, values);
}

std::optional<std::string> TReportedException::ErrorDetails() {
  std::shared_ptr<Settings::TFieldList> sections;
  {
    std::lock_guard guard(stateLock_);
    sections = sections_;
  }
  if (!sections || sections->GetItemCount() == 0) return std::nullopt;
  return sections->GetContent("Error Details");
}

bool TReportedException::SetPropBool(std::string_view name, bool value) {
  std::lock_guard guard(overridesLock_);
  overrides_.WriteBool(name, value);
  return true;
}

bool TReportedException::SetPropInt(std::string_view name, std::int32_t value) {
  std::lock_guard guard(overridesLock_);
  overrides_.WriteInt(name, value);
  return true;
}

bool TReportedException::SetPropDw(std::string_view name, std::uint32_t value) {
  return SetPropInt(name, std::bit_cast<std::int32_t>(value));
}

bool TReportedException::SetPropStr(std::string_view name, std::string_view value) {
  std::lock_guard guard(overridesLock_);
  overrides_.WriteStr(name, value);
  return true;
}

Settings::TReporterSettings* TReportedException::GetSelf() {
  return settings_ ? settings_->GetSelf() : nullptr;
}

void TReportedException::FillFormCache(Settings::IFieldList& values) {
  if (settings_) settings_->FillFormCache(values);
}

void TReportedException::ReadFormCache(Settings::IFieldList& values) {
  if (settings_) settings_->ReadFormCache(values);
}

Platform::ModuleHandle TReportedException::Module() {
  return settings_ ? settings_->Module() : 0;
}

std::shared_ptr<Settings::IFieldList> TReportedException::GetAdditionalFields() {
  return settings_ ? settings_->GetAdditionalFields() : nullptr;
}

std::shared_ptr<Settings::IAttachmentList> TReportedException::GetAdditionalAttachments() {
  return settings_ ? settings_->GetAdditionalAttachments() : nullptr;
}

std::string TReportedException::VersionVar() {
  return settings_ ? settings_->VersionVar() : std::string();
}

}  // namespace Reporter::Core
