#pragma once

#include <map>
#include <memory>
#include <string>

#include "reporter/settings/reporter_settings.h"

namespace TestSupport {

// Module settings made up in a test: it sets what it needs (directly or through the setters);
// every other key reads as false, 0 or "".
class TFakeSettings : public Reporter::Settings::IModuleSettings {
 public:
  std::map<std::string, std::string, std::less<>> Texts;
  std::map<std::string, std::int32_t, std::less<>> Numbers;

  bool GetPropBool(std::string_view name) override { return GetPropInt(name) != 0; }
  std::int32_t GetPropInt(std::string_view name) override {
    const auto it = Numbers.find(name);
    return it == Numbers.end() ? 0 : it->second;
  }
  std::uint32_t GetPropDw(std::string_view name) override {
    return static_cast<std::uint32_t>(GetPropInt(name));
  }
  std::string GetPropStr(std::string_view name) override {
    const auto it = Texts.find(name);
    return it == Texts.end() ? std::string() : it->second;
  }
  bool SetPropBool(std::string_view name, bool value) override {
    return SetPropInt(name, value ? 1 : 0);
  }
  bool SetPropInt(std::string_view name, std::int32_t value) override {
    Numbers[std::string(name)] = value;
    return true;
  }
  bool SetPropDw(std::string_view name, std::uint32_t value) override {
    return SetPropInt(name, static_cast<std::int32_t>(value));
  }
  bool SetPropStr(std::string_view name, std::string_view value) override {
    Texts[std::string(name)] = std::string(value);
    return true;
  }
  Reporter::Settings::TReporterSettings* GetSelf() override { return nullptr; }
  void FillFormCache(Reporter::Settings::IFieldList&) override {}
  void ReadFormCache(Reporter::Settings::IFieldList&) override {}
  Platform::ModuleHandle Module() override { return 0; }
  std::shared_ptr<Reporter::Settings::IFieldList> GetAdditionalFields() override { return nullptr; }
  std::shared_ptr<Reporter::Settings::IAttachmentList> GetAdditionalAttachments() override {
    return nullptr;
  }
  std::string VersionVar() override { return {}; }
  bool IsValid() override { return true; }
  bool Reload() override { return true; }
};

}  // namespace TestSupport
