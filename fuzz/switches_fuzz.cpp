// libFuzzer target: any raw command line splits into parameters that lie inside it, and the
// switches read from it (value switches, window switches, the restart tail after l:/) are
// pieces of it by their rules; texts joined with blanks, quoted where they hold one, split back
// into the same texts. Nothing crashes, hangs or reads outside the line. Built and run by
// scripts/fuzz and the linux-asan preset's tests.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/case_folding.h"
#include "rtl/parameters.h"
#include "rtl/text.h"
#include "updater/switches.h"
#include "updater/work.h"

namespace {

using RTL::Parameters::Parameter;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

bool IsTrimmed(std::string_view text) {
  return text.empty() || (!IsBlank(text.front()) && !IsBlank(text.back()));
}

void CheckSplit(std::string_view line, const std::vector<Parameter>& parameters) {
  std::size_t previousEnd = 0;
  for (const Parameter& parameter : parameters) {
    Check(!parameter.text.empty());
    Check(previousEnd <= parameter.begin && parameter.begin < parameter.end &&
          parameter.end <= line.size());
    const std::string_view raw = line.substr(parameter.begin, parameter.end - parameter.begin);
    if (parameter.quoted) {
      Check(parameter.text.size() < raw.size());
    } else {
      Check(parameter.text == raw);
      for (const char c : parameter.text) Check(!IsBlank(c));
    }
    previousEnd = parameter.end;
  }
}

// A value switch's value is the rest of a parameter 1..n that starts with "-" or "/" and the
// switch text.
void CheckValueSwitch(const std::vector<Parameter>& parameters, std::string_view switchText,
                      const std::string& value) {
  if (value.empty()) return;
  for (std::size_t i = 1; i < parameters.size(); ++i) {
    const std::string& text = parameters[i].text;
    if ((text[0] == '-' || text[0] == '/') && text.ends_with(value) &&
        RTL::Text::AsciiEqualsIgnoreCase(std::string_view(text).substr(1, switchText.size()),
                                         switchText)) {
      return;
    }
  }
  Check(false);
}

// A window switch's value is a trimmed rest of a parameter that holds the switch text.
void CheckWindowSwitch(const std::vector<Parameter>& parameters, const std::string& value) {
  Check(IsTrimmed(value));
  if (value.empty()) return;
  for (std::size_t i = 1; i < parameters.size(); ++i) {
    if (parameters[i].text.find(value) != std::string::npos) return;
  }
  Check(false);
}

// Texts without quotes and NULs, cut from the input at its double quotes, joined into a
// command line, quoted where they hold a blank.
void CheckJoinedTexts(std::string_view bytes) {
  std::vector<std::string> texts = {"Update"};
  std::string piece;
  for (const char c : std::string(bytes) + '"') {
    if (c == '"') {
      if (!piece.empty()) texts.push_back(piece);
      piece.clear();
    } else if (c != '\0') {
      piece += c;
    }
  }
  std::string line;
  for (const std::string& text : texts) {
    bool blank = false;
    for (const char c : text) blank = blank || IsBlank(c);
    line += (line.empty() ? "" : " ") + (blank ? '"' + text + '"' : text);
  }
  const std::vector<Parameter> parameters = RTL::Parameters::Split(line);
  Check(parameters.size() == texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) Check(parameters[i].text == texts[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string raw(reinterpret_cast<const char*>(data), size);
  const std::string_view line = std::string_view(raw).substr(0, raw.find('\0'));
  const std::vector<Parameter> parameters = RTL::Parameters::Split(raw);
  CheckSplit(line, parameters);

  Update::Switches::SetRawCommandLineForTesting(raw);
  CheckValueSwitch(parameters, "s:", Update::Switches::GetSourceDir());
  CheckValueSwitch(parameters, "d:", Update::Switches::GetDestDir());
  CheckValueSwitch(parameters, "p:", Update::Switches::GetCallerExe());
  CheckValueSwitch(parameters, "i:", Update::Switches::GetIniFile());
  Update::Switches::ParseWindowSwitches();
  CheckWindowSwitch(parameters, Update::Switches::GetCallerClass());
  CheckWindowSwitch(parameters, Update::Switches::GetCallerCaption());

  // The tail after the first l:/ of the whole raw line, trimmed.
  const std::string restart = Update::Work::GetRestartCommand();
  const std::size_t tail = RTL::Text::AsciiUpper(raw).find("L:/");
  Check(IsTrimmed(restart));
  Check(tail == std::string::npos ? restart.empty() : raw.find(restart, tail + 3) != raw.npos);

  // A switch text taken from the input itself.
  std::string value;
  const std::string_view switchText = std::string_view(raw).substr(0, 3);
  if (Update::Switches::ExtractSwitchValue(raw, switchText, value)) {
    Check(IsTrimmed(value) && value.size() + switchText.size() <= raw.size());
  } else {
    Check(value.empty());
  }

  CheckJoinedTexts(raw);
  Update::Switches::SetRawCommandLineForTesting(std::nullopt);
  return 0;
}
