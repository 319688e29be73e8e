#include "platform/path_style.h"
#include "rtl/case_folding.h"
#include "rtl/io/paths.h"
#include "rtl/text.h"
#include "updater/cmd_line.h"
#include "updater/switches.h"
#include "updater/work.h"

namespace Update::Work {
namespace {

std::string DatabaseUpdateToolName() {
  return Platform::NativePathStyle() == Platform::PathStyle::Windows ? "DBUpdate.exe" : "DBUpdate";
}

}  // namespace

std::string QuoteProgramPath(const std::string& path) {
  // Unquoted, "C:\Program Files\App\DBUpdate.exe" would first run C:\Program.exe if one
  // were there.
  for (const char c : path) {
    if (static_cast<unsigned char>(c) <= 32) return "\"" + path + "\"";
  }
  return path;
}

std::string DatabaseUpdateCommandLine(const std::string& destDir, const std::string& params) {
  const std::string tool = RTL::Paths::IncludeTrailingSeparator(destDir) + DatabaseUpdateToolName();
  return QuoteProgramPath(tool) + " " + params;
}

void RunDatabaseUpdate(const TJobServices& services) {
  const std::string iniFile = FindIniFile();
  const std::string params = CmdLine::CreateCmdLine(iniFile)->CalcParams();
  if (params.empty()) return;
  RunCommand(DatabaseUpdateCommandLine(Switches::GetDestDir(), params), /*wait=*/true, services);
}

void RunCommand(const std::string& commandLine, bool wait, const TJobServices& services) {
  if (!commandLine.empty()) {
    // The caller's own restart command stays exactly as written.
    services.StartProgram(commandLine, wait);
    return;
  }
  const std::string callerExe = Switches::GetCallerExe();
  if (callerExe.empty()) return;
  services.StartProgram(QuoteProgramPath(callerExe), wait);
}

std::string GetRestartCommand() {
  // Upper-casing keeps positions, and no letter but l upper-cases to L, so an ASCII
  // search without regard to case finds what a locale-aware one finds.
  const std::string raw = Switches::RawCommandLine();
  const std::size_t position = RTL::Text::AsciiUpper(raw).find("L:/");
  if (position == std::string::npos) return {};
  return RTL::Text::Trim(std::string_view(raw).substr(position + 3));
}

}  // namespace Update::Work
