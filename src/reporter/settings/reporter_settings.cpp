#include "reporter/settings/reporter_settings.h"

#include <algorithm>
#include <bit>
#include <iterator>

#include "platform/module_info.h"
#include "reporter/settings/default_settings.h"
#include "reporter/settings/placeholders.h"
#include "reporter/settings/settings_folders.h"
#include "rtl/case_folding.h"

namespace Reporter::Settings {
namespace {

// A report file name with %time% in the program folder is taken as it stands.
constexpr std::string_view kUnexpandedKeys[] = {Keys::FrozenMsg.name, Keys::BugRepFile.name};
constexpr std::string_view kScreenShotForm = "ScrShotForm";

std::mutex& MainLock() {
  static std::mutex lock;
  return lock;
}

std::shared_ptr<TReporterSettings>& MainSlot() {
  static std::shared_ptr<TReporterSettings> main;
  return main;
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The executable's version variable text, known only through the main settings object.
std::optional<std::string> ExecutableVersionVar() {
  const std::shared_ptr<TReporterSettings> main = MainSettings();
  if (!main || main->Module() != Platform::MainModule()) return std::nullopt;
  return main->VersionVar();
}

TPlaceholderValues CollectValues(Platform::ModuleHandle module,
                                 const std::optional<std::string>& moduleVersionVar,
                                 std::string_view exceptClass, std::string_view errorDetails,
                                 std::string_view bugReport, std::string_view exceptMsg) {
  const Platform::ModuleHandle executable = Platform::MainModule();
  TPlaceholderValues values;
  values.appName = FileNameOf(Platform::ModuleFileName(executable));
  values.modName = FileNameOf(Platform::ModuleFileName(module));
  values.appVersion = VersionText(ExecutableVersionVar(), executable);
  values.modVersion = module == executable && !moduleVersionVar
                          ? values.appVersion
                          : VersionText(moduleVersionVar, module);
  values.exceptClass = std::string(exceptClass);
  values.exceptMsg = std::string(exceptMsg);
  values.bugReport = std::string(bugReport);
  values.now = LocalTimeNow();
  values.computerName = Platform::ComputerName();
  values.os = OsDescription();
  values.errorDetails = std::string(errorDetails);
  values.desktop = FolderOrExecutableFolder(Platform::KnownFolder::Desktop);
  values.userAppData = FolderOrExecutableFolder(Platform::KnownFolder::UserAppData);
  values.commonAppData = FolderOrExecutableFolder(Platform::KnownFolder::CommonAppData);
  values.localAppData = FolderOrExecutableFolder(Platform::KnownFolder::LocalAppData);
  return values;
}

}  // namespace

// --- IReporterSettings helpers built on the key access --------------------------------------

bool IReporterSettings::GetPluginEnabled(std::string_view name) {
  return PluginListContains(Get(Keys::Plugins), name);
}

void IReporterSettings::SetPluginEnabled(std::string_view name, bool enabled) {
  const std::string list = Get(Keys::Plugins);
  const std::string changed = PluginListWith(list, name, enabled);
  if (changed != list) Set(Keys::Plugins, changed);
}

std::optional<TAssistantDefinition> IReporterSettings::GetAssistant(std::string_view name) {
  for (int index = 1;; ++index) {
    const std::string text = GetPropStr("Assistant" + std::to_string(index));
    if (text.empty()) return std::nullopt;
    std::optional<TAssistantDefinition> definition = ParseAssistant(text);
    if (!definition || !RTL::Text::SameIgnoreCase(definition->name, name)) continue;
    if (GetScreenShotDepth() == 0 || !HasScreenShot()) {
      std::erase(definition->forms, std::string(kScreenShotForm));
    }
    return definition;
  }
}

// --- TReporterSettings -----------------------------------------------------------------------

TReporterSettings::TReporterSettings(Platform::ModuleHandle module, const SettingsLoadHooks& hooks)
    : module_(module), hooks_(hooks) {
  settings_ = LoadSettingsModule(module, hooks_);
  if (!settings_) return;
  const std::uint32_t offset = Get(Keys::VersionVar);
  if (offset != 0) versionVar_ = Platform::ReadVersionVariable(module_, offset).value_or("");
}

TReporterSettings::~TReporterSettings() {
  if (fields_) fields_->ClearMesParent();
  if (attachments_) attachments_->ClearParent();
  ReleaseSettingsModule(settings_);
}

bool TReporterSettings::DefaultsAllowed() const {
  const std::shared_ptr<TReporterSettings> main = MainSettings();
  return !main || main.get() == this || main->Module() == module_;
}

const SettingsProperty* TReporterSettings::FindProperty(std::string_view name,
                                                        bool allowDefault) const {
  if (settings_) {
    if (const SettingsProperty* own = settings_->Find(name)) return own;
  }
  return allowDefault ? FindDefaultSetting(name) : nullptr;
}

template <class TValue, class TRead, class TAskMain>
TValue TReporterSettings::Read(std::string_view name, TRead read, TAskMain askMain) {
  const bool defaults = DefaultsAllowed();
  if (const SettingsProperty* property = FindProperty(name, defaults)) return read(*property);
  if (defaults) return TValue{};
  const std::shared_ptr<TReporterSettings> main = MainSettings();
  return main ? askMain(*main) : TValue{};
}

bool TReporterSettings::GetPropBool(std::string_view name) {
  return Read<bool>(
      name, [](const SettingsProperty& p) { return p.vBool; },
      [&](TReporterSettings& main) { return main.GetPropBool(name); });
}

std::int32_t TReporterSettings::GetPropInt(std::string_view name) {
  return Read<std::int32_t>(
      name, [](const SettingsProperty& p) { return p.vInt; },
      [&](TReporterSettings& main) { return main.GetPropInt(name); });
}

std::uint32_t TReporterSettings::GetPropDw(std::string_view name) {
  return std::bit_cast<std::uint32_t>(GetPropInt(name));
}

std::string TReporterSettings::GetPropStr(std::string_view name) {
  // The main object expands with its own module; a text it hands over is expanded already.
  bool fromMain = false;
  std::string value = Read<std::string>(
      name, [](const SettingsProperty& p) { return p.vStr; },
      [&](TReporterSettings& main) {
        fromMain = true;
        return main.GetPropStr(name);
      });
  if (fromMain || !ExpandsPlaceholders(name)) return value;
  return ExpandText(value);
}

std::string TReporterSettings::GetPropStrAsStored(std::string_view name) {
  return Read<std::string>(
      name, [](const SettingsProperty& p) { return p.vStr; },
      [&](TReporterSettings& main) { return main.GetPropStrAsStored(name); });
}

bool TReporterSettings::CanWrite(std::string_view name, TPropertyType typ) const {
  if (!settings_) return false;
  const SettingsProperty* existing = settings_->Find(name);
  return existing == nullptr || existing->typ == typ;
}

bool TReporterSettings::SetPropBool(std::string_view name, bool value) {
  if (!CanWrite(name, ptBoolean)) return false;
  settings_->WriteBool(name, value);
  return true;
}

bool TReporterSettings::SetPropInt(std::string_view name, std::int32_t value) {
  if (!CanWrite(name, ptInteger)) return false;
  settings_->WriteInt(name, value);
  return true;
}

bool TReporterSettings::SetPropDw(std::string_view name, std::uint32_t value) {
  return SetPropInt(name, std::bit_cast<std::int32_t>(value));
}

bool TReporterSettings::SetPropStr(std::string_view name, std::string_view value) {
  if (!CanWrite(name, ptString)) return false;
  settings_->WriteStr(name, value);
  return true;
}

std::string TReporterSettings::ExpandText(std::string_view text,
                                          const TExceptionPlaceholders& exception) {
  if (!MayHoldPlaceholders(text)) return std::string(text);
  std::optional<std::string> versionVar;
  if (!versionVar_.empty()) versionVar = versionVar_;
  return ExpandPlaceholders(
      text, CollectValues(module_, versionVar, exception.exceptClass, exception.errorDetails,
                          exception.bugReport, exception.exceptMsg));
}

void TReporterSettings::FillFormCache(IFieldList& values) {
  std::lock_guard guard(listsLock_);
  if (!formCache_) {
    formCache_ = std::make_shared<TFieldList>();
    formCache_->AcceptData();
  }
  values.Lock();
  for (int index = 0; index < values.GetItemCount(); ++index) {
    const std::string name = values.GetItem(index);
    formCache_->SetContent(name, values.GetContent(name));
  }
  values.Unlock();
}

void TReporterSettings::ReadFormCache(IFieldList& values) {
  std::lock_guard guard(listsLock_);
  if (!formCache_) return;
  formCache_->Lock();
  for (int index = 0; index < formCache_->GetItemCount(); ++index) {
    const std::string name = formCache_->GetItem(index);
    values.SetContent(name, formCache_->GetContent(name));
  }
  formCache_->Unlock();
}

std::shared_ptr<IFieldList> TReporterSettings::GetAdditionalFields() {
  std::lock_guard guard(listsLock_);
  if (!fields_) {
    auto fields = std::make_shared<TFieldList>();
    fields->AcceptData();
    for (const auto& [name, content] : ParseFieldItems(Get(Keys::AddFields))) {
      fields->SetContent(name, content);
    }
    fields->SetMesParent(this);
    fields_ = std::move(fields);
  }
  return fields_;
}

std::shared_ptr<IAttachmentList> TReporterSettings::GetAdditionalAttachments() {
  std::lock_guard guard(listsLock_);
  if (!attachments_) {
    auto attachments = std::make_shared<TAttachmentList>();
    for (const auto& parts : ParseAttachmentItems(Get(Keys::AddAttachs))) {
      attachments->Add(parts[0], parts[1], parts[2], parts[3]);
    }
    attachments->SetParent(this);
    attachments_ = std::move(attachments);
  }
  return attachments_;
}

void TReporterSettings::WriteBack(std::string_view key, const std::string& value) {
  SetPropStr(key, value);
}

bool TReporterSettings::Reload() {
  if (!settings_) return false;
  return ReloadSettingsModule(settings_, hooks_);
}

bool ExpandsPlaceholders(std::string_view key) {
  return std::find(std::begin(kUnexpandedKeys), std::end(kUnexpandedKeys), key) ==
         std::end(kUnexpandedKeys);
}

// --- Obtaining settings objects --------------------------------------------------------------

std::shared_ptr<TReporterSettings> MainSettings() {
  std::lock_guard guard(MainLock());
  return MainSlot();
}

void SetMainSettings(std::shared_ptr<TReporterSettings> settings) {
  std::shared_ptr<TReporterSettings> previous;
  {
    std::lock_guard guard(MainLock());
    previous = std::exchange(MainSlot(), std::move(settings));
  }
  // "previous" goes here, outside the lock: its destructor may read other settings.
}

Platform::ModuleHandle ReporterModule() {
  return Platform::ModuleOfAddress(reinterpret_cast<const void*>(&ReporterModule))
      .value_or(Platform::MainModule());
}

std::shared_ptr<IModuleSettings> SettingsForModule(Platform::ModuleHandle module,
                                                   const SettingsLoadHooks& hooks) {
  if (module == 0) module = Platform::MainModule();
  auto own = std::make_shared<TReporterSettings>(module, hooks);
  // Invalid settings read through the main object; never a shared runtime package here.
  if (!own->IsValid() || own->LinkInSettings()) return own;
  // The reporter module's settings stand in for settings that defer to another module. (This
  // program has neither a language module nor a development environment package to ask.)
  const Platform::ModuleHandle reporter = ReporterModule();
  if (reporter != module) {
    auto candidate = std::make_shared<TReporterSettings>(reporter, hooks);
    if (candidate->IsValid() && candidate->LinkInSettings()) return candidate;
  }
  return own;
}

std::shared_ptr<IModuleSettings> SettingsForAddress(const void* address,
                                                    const SettingsLoadHooks& hooks) {
  const Platform::ModuleHandle reporter = ReporterModule();
  const std::optional<Platform::ModuleHandle> module = Platform::ModuleOfAddress(address);
  if (module && *module != reporter) {
    auto own = std::make_shared<TReporterSettings>(*module, hooks);
    if (own->IsValid() && own->LinkInSettings()) return own;
  }
  return std::make_shared<TReporterSettings>(reporter, hooks);
}

std::string ExpandPlaceholders(std::string_view text, Platform::ModuleHandle module,
                               std::string_view exceptClass, std::string_view errorDetails,
                               std::string_view bugReport, std::string_view exceptMsg) {
  if (!MayHoldPlaceholders(text)) return std::string(text);
  std::optional<std::string> versionVar;
  if (const auto main = MainSettings(); main && main->Module() == module) {
    versionVar = main->VersionVar();
  }
  return ExpandPlaceholders(
      text, CollectValues(module, versionVar, exceptClass, errorDetails, bugReport, exceptMsg));
}

}  // namespace Reporter::Settings
