#include "platform/file_system.h"
#include "platform/process.h"
#include "rtl/case_folding.h"
#include "rtl/io/paths.h"
#include "rtl/text.h"
#include "updater/strings.h"
#include "updater/switches.h"
#include "updater/work.h"

namespace Update::Work {
namespace {

struct TApplication {
  const char* exeName;
  const char* iniName;
};

// The known callers and their settings files, in the order the profile is searched.
constexpr TApplication kApplications[] = {
    {"Tally.exe", "NEBTally.ini"},      {"Quill.exe", "NEBQuill.ini"},
    {"Porta.exe", "NEBTally.ini"},      {"NEBVoyo.exe", "NEBFare.ini"},
    {"NEBHiring.exe", "NEBHiring.ini"},
};

// Executables carry no ".exe" on POSIX, so there a name matches with or without it.
bool SameExecutable(std::string_view tableName, std::string_view exeName) {
  if (RTL::Text::AsciiEqualsIgnoreCase(tableName, exeName)) return true;
  if (Platform::NativePathStyle() != Platform::PathStyle::Posix) return false;
  constexpr std::string_view kSuffix = ".exe";
  return tableName.size() == exeName.size() + kSuffix.size() &&
         RTL::Text::AsciiEqualsIgnoreCase(tableName.substr(0, exeName.size()), exeName);
}

const TApplication* FindApplication(std::string_view exeName) {
  for (const TApplication& application : kApplications) {
    if (SameExecutable(application.exeName, exeName)) return &application;
  }
  return nullptr;
}

}  // namespace

std::string IniFileOfProgram(const std::string& directory, const std::string& exeName) {
  const TApplication* application = FindApplication(exeName);
  if (!application) return {};
  std::string path = directory + application->iniName;
  return Platform::FileExists(path) ? path : std::string();
}

std::string FindIniFile() {
  if (std::string iniFile = Switches::GetIniFile(); !iniFile.empty()) return iniFile;

  const std::string profile = Platform::ProfileDirectory();
  const std::string callerExe = Switches::GetCallerExe();
  const std::string exeName = RTL::Paths::ExtractFileName(callerExe);

  std::string result;
  if (FindApplication(exeName)) result = IniFileOfProgram(profile, exeName);
  for (const TApplication& application : kApplications) {
    if (!result.empty()) break;
    result = IniFileOfProgram(profile, application.exeName);
  }
  if (result.empty()) result = IniFileOfProgram(RTL::Paths::ExtractFilePath(callerExe), exeName);
  if (result.empty()) throw RTL::Exception(Strings::kSettingsFileNotFound);
  return result;
}

}  // namespace Update::Work
