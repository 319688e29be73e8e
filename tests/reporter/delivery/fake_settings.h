#pragma once

#include <map>
#include <memory>
#include <string>

#include "reporter/settings/reporter_settings.h"

namespace Reporter::Delivery::Testing {

// Settings that answer what a test sets; everything else is false, 0 or "".
class TFakeSettings : public Settings::IReporterSettings {
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
    Numbers[std::string(name)] = value ? 1 : 0;
    return true;
  }
  bool SetPropInt(std::string_view name, std::int32_t value) override {
    Numbers[std::string(name)] = value;
    return true;
  }
  bool SetPropDw(std::string_view name, std::uint32_t value) override {
    Numbers[std::string(name)] = static_cast<std::int32_t>(value);
    return true;
  }
  bool SetPropStr(std::string_view name, std::string_view value) override {
    Texts[std::string(name)] = std::string(value);
    return true;
  }
  Settings::TReporterSettings* GetSelf() override { return nullptr; }
  void FillFormCache(Settings::IFieldList&) override {}
  void ReadFormCache(Settings::IFieldList&) override {}
  Platform::ModuleHandle Module() override { return 0; }
  std::shared_ptr<Settings::IFieldList> GetAdditionalFields() override { return nullptr; }
  std::shared_ptr<Settings::IAttachmentList> GetAdditionalAttachments() override { return nullptr; }
  std::string VersionVar() override { return {}; }
};

}  // namespace Reporter::Delivery::Testing
