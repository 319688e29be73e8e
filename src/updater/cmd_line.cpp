#include "updater/cmd_line.h"

#include <cstdint>

#include "rtl/text.h"

namespace Update::CmdLine {
namespace {

constexpr std::int32_t kDefaultConnectType = 6;
constexpr std::int32_t kDefaultDBType = 3;

// A text switch: the switch, the value in double quotes (not escaped), a space.
std::string TextSwitch(std::string_view switchText, std::string_view value) {
  return RTL::Text::Format("%s\"%s\" ", {switchText, value});
}

std::string IntegerSwitch(std::string_view switchText, std::int32_t value) {
  return RTL::Text::Format("%s%d ", {switchText, value});
}

}  // namespace

TCustomCmdLine::TCustomCmdLine(const std::string& AFileName)
    : FIni(std::make_unique<RTL::IniFiles::TMemIniFile>(AFileName)) {}

std::string TCustomCmdLine::CalcParams() const {
  std::string params = GetParams();
  if (params.empty()) return params;
  params += IntegerSwitch("/ct:", FIni->ReadInteger(kSection, "ConnectType", kDefaultConnectType));
  params += IntegerSwitch("/dt:", FIni->ReadInteger(kSection, "DBType", kDefaultDBType));
  return params;
}

std::string TFirebirdCmdLine::GetParams() const {
  std::string params;
  const std::string server = FIni->ReadString(kSection, "InterbaseServer", "");
  if (!server.empty()) params += TextSwitch("/srv:", server);
  params += TextSwitch("/db:", FIni->ReadString(kSection, "InterbaseDatabase", ""));
  params += TextSwitch("/du:", FIni->ReadString(kSection, "InterbaseUser", ""));
  params += TextSwitch("/dp:", FIni->ReadString(kSection, "InterbasePassword", ""));
  const std::string connectionString = FIni->ReadString(kSection, "InterbaseConnStr", "");
  if (!connectionString.empty()) params += TextSwitch("/dcs:", connectionString);
  return params;
}

std::string TOracleCmdLine::GetParams() const {
  std::string params;
  const std::string server = FIni->ReadString(kSection, "OracleServer", "");
  if (!server.empty()) params += TextSwitch("/srv:", server);
  params += TextSwitch("/db:", FIni->ReadString(kSection, "OracleDatabase", ""));
  params += TextSwitch("/du:", FIni->ReadString(kSection, "OracleUser", ""));
  params += TextSwitch("/dp:", FIni->ReadString(kSection, "OraclePassword", ""));
  return params;
}

std::string TMSSQLCmdLine::GetParams() const {
  const std::string connectionString = FIni->ReadString(kSection, "MSSQLConnStr", "");
  if (!connectionString.empty()) return TextSwitch("/dcs:", connectionString);
  std::string params;
  params += TextSwitch("/srv:", FIni->ReadString(kSection, "MSSQLServer", ""));
  params += TextSwitch("/db:", FIni->ReadString(kSection, "MSSQLDatabase", ""));
  params += TextSwitch("/du:", FIni->ReadString(kSection, "MSSQLUser", ""));
  params += TextSwitch("/dp:", FIni->ReadString(kSection, "MSSQLPassword", ""));
  params += IntegerSwitch("/dis:", FIni->ReadInteger(kSection, "MSSQLIntSecurity", 0));
  return params;
}

std::string TRemObjectsCmdLine::GetParams() const {
  return {};
}

std::unique_ptr<TCustomCmdLine> CreateCmdLine(const std::string& AFileName) {
  enum class Kind { Firebird, Oracle, MSSQL, RemObjects };
  Kind kind = Kind::Firebird;
  {
    const RTL::IniFiles::TMemIniFile ini(AFileName);
    if (!ini.ReadString(kSection, "AppServer", "").empty()) {
      kind = Kind::RemObjects;
    } else {
      switch (ini.ReadInteger(kSection, "ConnectType", kDefaultConnectType)) {
        case 1:
          kind = Kind::MSSQL;
          break;
        case 6:
          kind = ini.ReadInteger(kSection, "DBType", kDefaultDBType) == 1 ? Kind::Oracle
                                                                          : Kind::Firebird;
          break;
        case 9:
          kind = Kind::RemObjects;
          break;
        default:
          kind = Kind::Firebird;
      }
    }
  }
  // Each builder reads the file anew through a reader of its own.
  switch (kind) {
    case Kind::Oracle:
      return std::make_unique<TOracleCmdLine>(AFileName);
    case Kind::MSSQL:
      return std::make_unique<TMSSQLCmdLine>(AFileName);
    case Kind::RemObjects:
      return std::make_unique<TRemObjectsCmdLine>(AFileName);
    case Kind::Firebird:
      break;
  }
  return std::make_unique<TFirebirdCmdLine>(AFileName);
}

}  // namespace Update::CmdLine
