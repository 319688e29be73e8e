#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/parameters.h"

// The switches the caller hands over on the command line:
//   value switches     -s: -d: -p: -i:  (or with "/"), value appended: /d:C:\App
//   contained switches c:/ w:/          anywhere in a parameter: c:/TMainForm
//   the tail switch    l:/              everything after it in the raw command line
// Every accessor gives the empty text for an absent switch and never fails.
namespace Update::Switches {

// The raw command line the accessors read: the process's own, unless a test replaced it.
std::string RawCommandLine();
void SetRawCommandLineForTesting(std::optional<std::string> rawCommandLine);

std::string GetSourceDir();
std::string GetDestDir();
std::string GetCallerExe();
std::string GetIniFile();

// Reads c:/ and w:/ into the window switch store; the last matching parameter wins.
void ParseWindowSwitches();
std::string GetCallerClass();
std::string GetCallerCaption();

// Whether ASwitch occurs in AParam (ASCII letters in either case); the value is the text
// after it, trimmed.
bool ExtractSwitchValue(std::string_view AParam, std::string_view ASwitch, std::string& AValue);

// The value of a value switch among parameters 1..n (the first match counts), or empty.
std::string FindCmdLineSwitch(const std::vector<RTL::Parameters::Parameter>& parameters,
                              std::string_view switchText);

}  // namespace Update::Switches
