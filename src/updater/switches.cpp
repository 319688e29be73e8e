#include "updater/switches.h"

#include "platform/process.h"
#include "rtl/case_folding.h"
#include "rtl/text.h"

namespace Update::Switches {
namespace {

std::optional<std::string>& RawCommandLineOverride() {
  static std::optional<std::string> value;
  return value;
}

struct WindowSwitchStore {
  std::string callerClass;
  std::string callerCaption;
};

WindowSwitchStore& WindowSwitches() {
  static WindowSwitchStore store;
  return store;
}

std::string ValueSwitch(std::string_view switchText) {
  return FindCmdLineSwitch(RTL::Parameters::Split(RawCommandLine()), switchText);
}

}  // namespace

std::string RawCommandLine() {
  if (RawCommandLineOverride()) return *RawCommandLineOverride();
  return Platform::RawCommandLine();
}

void SetRawCommandLineForTesting(std::optional<std::string> rawCommandLine) {
  RawCommandLineOverride() = std::move(rawCommandLine);
  WindowSwitches() = {};
}

std::string FindCmdLineSwitch(const std::vector<RTL::Parameters::Parameter>& parameters,
                              std::string_view switchText) {
  for (std::size_t i = 1; i < parameters.size(); ++i) {
    const std::string& parameter = parameters[i].text;
    if (parameter.empty() || (parameter[0] != '-' && parameter[0] != '/')) continue;
    if (!RTL::Text::AsciiEqualsIgnoreCase(std::string_view(parameter).substr(1, switchText.size()),
                                          switchText)) {
      continue;
    }
    std::string value = parameter.substr(1 + switchText.size());
    if (!value.empty() && value[0] == ':') value.erase(0, 1);
    return value;
  }
  return {};
}

std::string GetSourceDir() {
  return ValueSwitch("s:");
}
std::string GetDestDir() {
  return ValueSwitch("d:");
}
std::string GetCallerExe() {
  return ValueSwitch("p:");
}
std::string GetIniFile() {
  return ValueSwitch("i:");
}

bool ExtractSwitchValue(std::string_view AParam, std::string_view ASwitch, std::string& AValue) {
  const std::size_t position = RTL::Text::AsciiUpper(AParam).find(RTL::Text::AsciiUpper(ASwitch));
  if (ASwitch.empty() || position == std::string::npos) {
    AValue.clear();
    return false;
  }
  AValue = RTL::Text::Trim(AParam.substr(position + ASwitch.size()));
  return true;
}

void ParseWindowSwitches() {
  const auto parameters = RTL::Parameters::Split(RawCommandLine());
  WindowSwitchStore& store = WindowSwitches();
  std::string value;
  for (std::size_t i = 1; i < parameters.size(); ++i) {
    if (ExtractSwitchValue(parameters[i].text, "c:/", value)) {
      store.callerClass = value;
    } else if (ExtractSwitchValue(parameters[i].text, "w:/", value)) {
      store.callerCaption = value;
    }
  }
}

std::string GetCallerClass() {
  return WindowSwitches().callerClass;
}
std::string GetCallerCaption() {
  return WindowSwitches().callerCaption;
}

}  // namespace Update::Switches
