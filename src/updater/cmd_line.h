#pragma once

#include <memory>
#include <string>

#include "rtl/io/ini_file.h"

// The switches of the database-update tool, one builder per kind of database connection,
// read from section DBParams of the caller's settings file.
namespace Update::CmdLine {

inline constexpr const char* kSection = "DBParams";

class TCustomEntity {
 public:
  virtual ~TCustomEntity() = default;
};

class TCustomCmdLine : public TCustomEntity {
 public:
  // Reads the settings file; a file that cannot be opened raises EFOpenError.
  explicit TCustomCmdLine(const std::string& AFileName);

  // The complete parameter text: the connection switches, then /ct: and /dt:; empty when the
  // connection needs no database update. Every switch ends with a space.
  std::string CalcParams() const;

 protected:
  // The connection switches of this kind of connection.
  virtual std::string GetParams() const = 0;

  std::unique_ptr<RTL::IniFiles::TMemIniFile> FIni;
};

// Firebird / InterBase.
class TFirebirdCmdLine : public TCustomCmdLine {
 public:
  using TCustomCmdLine::TCustomCmdLine;

 protected:
  std::string GetParams() const override;
};

class TOracleCmdLine : public TCustomCmdLine {
 public:
  using TCustomCmdLine::TCustomCmdLine;

 protected:
  std::string GetParams() const override;
};

class TMSSQLCmdLine : public TCustomCmdLine {
 public:
  using TCustomCmdLine::TCustomCmdLine;

 protected:
  std::string GetParams() const override;
};

// The application server: it updates its database itself, so no switches.
class TRemObjectsCmdLine : public TCustomCmdLine {
 public:
  using TCustomCmdLine::TCustomCmdLine;

 protected:
  std::string GetParams() const override;
};

// Picks the builder from AppServer, ConnectType and DBType of the settings file.
std::unique_ptr<TCustomCmdLine> CreateCmdLine(const std::string& AFileName);

}  // namespace Update::CmdLine
