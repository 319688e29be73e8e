#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/resources.h"
#include "reporter/settings/attachment_list.h"
#include "reporter/settings/field_list.h"
#include "reporter/settings/list_owners.h"
#include "reporter/settings/placeholders.h"
#include "reporter/settings/settings_keys.h"
#include "reporter/settings/settings_lists.h"
#include "reporter/settings/settings_module.h"
#include "reporter/settings/settings_registry.h"

// The crash reporter's settings objects: every decision of the reporter is read through them.
// A key is looked up in the module's own records, then (for a module other than the main one)
// in the main module's settings, then in the built-in default table.
namespace Reporter::Settings {

class TReporterSettings;

// Access by key name. Names are case-sensitive. Every getter reads the value field of the kind
// it asks for, whatever kind the record was stored as. A setter stores only into a record of
// its own kind (creating one when the key has none) and says whether it did.
class IPropertyAccess {
 public:
  virtual ~IPropertyAccess() = default;

  virtual bool GetPropBool(std::string_view name) = 0;
  virtual std::int32_t GetPropInt(std::string_view name) = 0;
  virtual std::uint32_t GetPropDw(std::string_view name) = 0;
  // Placeholders are expanded, except in "FrozenMsg".
  virtual std::string GetPropStr(std::string_view name) = 0;
  virtual bool SetPropBool(std::string_view name, bool value) = 0;
  virtual bool SetPropInt(std::string_view name, std::int32_t value) = 0;
  virtual bool SetPropDw(std::string_view name, std::uint32_t value) = 0;
  virtual bool SetPropStr(std::string_view name, std::string_view value) = 0;

  // A declared key, read and written as the kind it was declared with.
  template <class T>
  T Get(TKey<T> key) {
    if constexpr (std::is_same_v<T, bool>) {
      return GetPropBool(key.name);
    } else if constexpr (std::is_same_v<T, std::uint32_t>) {
      return GetPropDw(key.name);
    } else if constexpr (std::is_same_v<T, std::string>) {
      return GetPropStr(key.name);
    } else {
      return static_cast<T>(GetPropInt(key.name));
    }
  }
  template <class T>
  bool Set(TKey<T> key, TSetterArg<T> value) {
    if constexpr (std::is_same_v<T, bool>) {
      return SetPropBool(key.name, value);
    } else if constexpr (std::is_same_v<T, std::uint32_t>) {
      return SetPropDw(key.name, value);
    } else if constexpr (std::is_same_v<T, std::string>) {
      return SetPropStr(key.name, value);
    } else {
      return SetPropInt(key.name, static_cast<std::int32_t>(value));
    }
  }

  virtual TReporterSettings* GetSelf() = 0;
  // What the user typed into an assistant's forms, remembered for the next time.
  virtual void FillFormCache(IFieldList& values) = 0;
  virtual void ReadFormCache(IFieldList& values) = 0;
};

// The settings every report reads; the reported exception implements it too.
class IReporterSettings : public IPropertyAccess {
 public:
  virtual Platform::ModuleHandle Module() = 0;
  // The owned lists, built from "AddFields" and "AddAttachs" on first request; they write
  // themselves back there after every change.
  virtual std::shared_ptr<IFieldList> GetAdditionalFields() = 0;
  virtual std::shared_ptr<IAttachmentList> GetAdditionalAttachments() = 0;
  // The text found through the module's "VersionVar"; empty without one.
  virtual std::string VersionVar() = 0;
  // False when the assistant's screenshot form must be left out for want of a screenshot.
  virtual bool HasScreenShot() { return true; }

  // "Plugins": whether the name is one whole item, ignoring case; switching it on or off.
  bool GetPluginEnabled(std::string_view name);
  void SetPluginEnabled(std::string_view name, bool enabled);
  // The first of "Assistant1", "Assistant2" ... (up to the first empty one) whose name equals
  // the given one, ignoring case. Its "ScrShotForm" is dropped without a screenshot.
  std::optional<TAssistantDefinition> GetAssistant(std::string_view name);

  // The accessors of settings_keys.def that belong here.
#define SETTING_IN_Pair SETTING_PAIR
#define SETTING_IN_Getter(key, kind, name) SETTING_GETTER(key, kind, Get##name)
#define SETTING_IN_ModulePair(key, kind, name)
#define SETTING_IN_ModuleValue(key, kind, name)
#include "reporter/settings/settings_accessors.inc"
};

// The settings of one module, as the interception and the exception processing read them.
class IModuleSettings : public IReporterSettings {
 public:
  // False when the module carries no settings resource.
  virtual bool IsValid() = 0;
  // Reads the module's settings resource again; false when it is gone or broken.
  virtual bool Reload() = 0;

  // True when the module's own settings apply ("NoSettings" false).
  bool LinkInSettings() { return !Get(Keys::NoSettings); }
  // True unless the module names a separate debug information file in "MinDebugInfo".
  bool LinkInMapFile() { return Get(Keys::MinDebugInfo).empty(); }
  // Buffer checking is on with "CrashOnBuffer"; "CrashOnUnderrun" picks the side it guards.
  bool CrashOnOverrun() { return Get(Keys::CrashOnBuffer) && !Get(Keys::CrashOnUnderrun); }
  bool CrashOnUnderrun() { return Get(Keys::CrashOnBuffer) && Get(Keys::CrashOnUnderrun); }

  // The accessors of settings_keys.def that belong here.
#define SETTING_IN_Pair(key, kind, name)
#define SETTING_IN_Getter(key, kind, name)
#define SETTING_IN_ModulePair SETTING_PAIR
#define SETTING_IN_ModuleValue SETTING_GETTER
#include "reporter/settings/settings_accessors.inc"
};

// The settings object of one module.
class TReporterSettings : public IModuleSettings, public ISettingsWriteBack {
 public:
  // References the module's settings (loading them on first use); the hooks replace the
  // resource reader and the message box in tests.
  explicit TReporterSettings(Platform::ModuleHandle module, const SettingsLoadHooks& hooks = {});
  ~TReporterSettings() override;
  TReporterSettings(const TReporterSettings&) = delete;
  TReporterSettings& operator=(const TReporterSettings&) = delete;

  bool GetPropBool(std::string_view name) override;
  std::int32_t GetPropInt(std::string_view name) override;
  std::uint32_t GetPropDw(std::string_view name) override;
  std::string GetPropStr(std::string_view name) override;
  bool SetPropBool(std::string_view name, bool value) override;
  bool SetPropInt(std::string_view name, std::int32_t value) override;
  bool SetPropDw(std::string_view name, std::uint32_t value) override;
  bool SetPropStr(std::string_view name, std::string_view value) override;
  TReporterSettings* GetSelf() override { return this; }
  void FillFormCache(IFieldList& values) override;
  void ReadFormCache(IFieldList& values) override;

  Platform::ModuleHandle Module() override { return module_; }
  std::shared_ptr<IFieldList> GetAdditionalFields() override;
  std::shared_ptr<IAttachmentList> GetAdditionalAttachments() override;
  std::string VersionVar() override { return versionVar_; }
  bool IsValid() override { return settings_ != nullptr; }
  bool Reload() override;

  void WriteBack(std::string_view key, const std::string& value) override;

  // The text as stored, before any placeholder is expanded: this module's record, the default
  // table's, or the main settings' text when this module defers to them.
  std::string GetPropStrAsStored(std::string_view name);
  // Expands every placeholder for this module; the exception-dependent ones take the given
  // values, which by default are the placeholders themselves, kept for a later expansion.
  std::string ExpandText(std::string_view text, const TExceptionPlaceholders& exception = {});

 protected:
  // The first record of that name in the module's list, else (when allowed) in the default
  // table; null when neither has one.
  const SettingsProperty* FindProperty(std::string_view name, bool allowDefault) const;
  // Defaults apply to the main module; other modules ask the main settings first.
  bool DefaultsAllowed() const;

 private:
  template <class TValue, class TRead, class TAskMain>
  TValue Read(std::string_view name, TRead read, TAskMain askMain);
  bool CanWrite(std::string_view name, TPropertyType typ) const;

  Platform::ModuleHandle module_;
  SettingsLoadHooks hooks_;
  SettingsModule* settings_ = nullptr;
  std::string versionVar_;
  std::mutex listsLock_;
  std::shared_ptr<TFieldList> fields_;
  std::shared_ptr<TAttachmentList> attachments_;
  std::shared_ptr<TFieldList> formCache_;
};

// False for the keys whose texts are read as stored: the freeze message, and the report file's
// name, whose placeholders only the fallback path in the user's folder expands.
bool ExpandsPlaceholders(std::string_view key);

// The settings object the reporter created for its own module at start-up; null before.
std::shared_ptr<TReporterSettings> MainSettings();
// Installs (or with null removes) the main settings object.
void SetMainSettings(std::shared_ptr<TReporterSettings> settings);

// The module that holds the reporter's code.
Platform::ModuleHandle ReporterModule();

// The settings that apply to a module (0: the executable). A module that carries settings
// but leaves them to another ("NoSettings") gets the reporter module's, when those are valid
// and its own.
std::shared_ptr<IModuleSettings> SettingsForModule(Platform::ModuleHandle module,
                                                   const SettingsLoadHooks& hooks = {});
// The settings of the module whose image contains the address; the reporter module's when
// that module has none of its own.
std::shared_ptr<IModuleSettings> SettingsForAddress(const void* address,
                                                    const SettingsLoadHooks& hooks = {});

// Expands the placeholders of a text for a module and an exception.
std::string ExpandPlaceholders(std::string_view text, Platform::ModuleHandle module,
                               std::string_view exceptClass, std::string_view errorDetails,
                               std::string_view bugReport, std::string_view exceptMsg);

}  // namespace Reporter::Settings
