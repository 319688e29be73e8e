#include "reporter/settings/settings_module.h"

#include <algorithm>
#include <string>

namespace Reporter::Settings {
namespace {

// Room for the program's own records plus a few set at run time before the list must grow.
constexpr std::size_t kInitialCapacity = 147;
constexpr std::size_t kCapacityStep = 20;

}  // namespace

SettingsModule::SettingsModule(Platform::ModuleHandle module) : module_(module) {
  properties_.reserve(kInitialCapacity);
}

const SettingsProperty* SettingsModule::Find(std::string_view name) const {
  for (const SettingsProperty& property : properties_) {
    if (property.name == name) return &property;
  }
  return nullptr;
}

std::optional<bool> SettingsModule::ReadBool(std::string_view name) const {
  const SettingsProperty* property = Find(name);
  if (!property) return std::nullopt;
  return property->vBool;
}

std::optional<std::int32_t> SettingsModule::ReadInt(std::string_view name) const {
  const SettingsProperty* property = Find(name);
  if (!property) return std::nullopt;
  return property->vInt;
}

std::optional<std::string> SettingsModule::ReadStr(std::string_view name) const {
  const SettingsProperty* property = Find(name);
  if (!property) return std::nullopt;
  return property->vStr;
}

SettingsProperty& SettingsModule::FindOrAdd(std::string_view name) {
  for (SettingsProperty& property : properties_) {
    if (property.name == name) return property;
  }
  if (properties_.size() == properties_.capacity()) {
    properties_.reserve(properties_.capacity() + kCapacityStep);
  }
  SettingsProperty& added = properties_.emplace_back();
  added.name = std::string(name);
  return added;
}

void SettingsModule::WriteBool(std::string_view name, bool value) {
  SettingsProperty& property = FindOrAdd(name);
  property.typ = ptBoolean;
  property.vBool = value;
}

void SettingsModule::WriteInt(std::string_view name, std::int32_t value) {
  SettingsProperty& property = FindOrAdd(name);
  property.typ = ptInteger;
  property.vInt = value;
}

void SettingsModule::WriteStr(std::string_view name, std::string_view value) {
  SettingsProperty& property = FindOrAdd(name);
  property.typ = ptString;
  property.vStr = std::string(value);
}

void SettingsModule::Assign(std::vector<SettingsProperty> properties) {
  properties_.clear();
  std::size_t capacity = std::max(properties_.capacity(), kInitialCapacity);
  while (capacity < properties.size()) capacity += kCapacityStep;
  properties_.reserve(capacity);
  std::move(properties.begin(), properties.end(), std::back_inserter(properties_));
}

}  // namespace Reporter::Settings
