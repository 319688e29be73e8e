#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "reporter/settings/settings_registry.h"

namespace SettingsTest {

// Modules of a made-up process: handles far from any real module, their settings resources in
// memory, and the messages loading them would show collected instead.
class ModuleResourcesFixture : public testing::Test {
 protected:
  ModuleResourcesFixture() {
    hooks_.readResource = [this](Platform::ModuleHandle module) {
      const auto found = resources_.find(module);
      return found == resources_.end() ? std::nullopt
                                       : std::optional<std::vector<std::uint8_t>>(found->second);
    };
    hooks_.showMessage = [this](std::string_view caption, std::string_view text) {
      messages_.push_back(std::string(caption) + ": " + std::string(text));
    };
  }

  Reporter::Settings::SettingsLoadHooks hooks_;
  std::map<Platform::ModuleHandle, std::vector<std::uint8_t>> resources_;
  std::vector<std::string> messages_;
};

}  // namespace SettingsTest
