#include "updater/cmd_line.h"

#include <gtest/gtest.h>

#include "support/scoped_temp_dir.h"
#include "updater/work.h"

namespace {

using namespace Update::CmdLine;

class CmdLineTest : public ::testing::Test {
 protected:
  // Writes a settings file with these lines and returns its path.
  std::string Settings(const std::string& lines) {
    const std::string path = dir_.Join("NEBQuill.ini");
    TestSupport::WriteFile(path, lines);
    return path;
  }
  std::string Params(const std::string& lines) {
    return CreateCmdLine(Settings(lines))->CalcParams();
  }

  TestSupport::ScopedTempDir dir_;
};

TEST_F(CmdLineTest, EmptySectionGivesFirebirdWithEmptyValuesAndDefaults) {
  const auto builder = CreateCmdLine(Settings("[Other]\nConnectType=1\n"));
  EXPECT_NE(dynamic_cast<TFirebirdCmdLine*>(builder.get()), nullptr);
  EXPECT_EQ(builder->CalcParams(), R"(/db:"" /du:"" /dp:"" /ct:6 /dt:3 )");
}

TEST_F(CmdLineTest, MissingFileGivesFirebirdDefaults) {
  EXPECT_EQ(CreateCmdLine(dir_.Join("none.ini"))->CalcParams(),
            R"(/db:"" /du:"" /dp:"" /ct:6 /dt:3 )");
}

TEST_F(CmdLineTest, FirebirdWritesOptionalSwitchesOnlyWhenSet) {
  EXPECT_EQ(Params("[DBParams]\nConnectType=2\nInterbaseServer=db1\nInterbaseDatabase=C:\\d.fdb\n"
                   "InterbaseUser=SYSDBA\nInterbasePassword=\"pw\"\nInterbaseConnStr=x=1;y=2\n"),
            R"(/srv:"db1" /db:"C:\d.fdb" /du:"SYSDBA" /dp:""pw"" /dcs:"x=1;y=2" /ct:2 /dt:3 )");
}

TEST_F(CmdLineTest, OracleForConnectType6AndDBType1) {
  const auto builder = CreateCmdLine(
      Settings("[DBParams]\nConnectType=6\nDBType=1\nOracleDatabase=ORCL\nOracleUser=u\n"));
  EXPECT_NE(dynamic_cast<TOracleCmdLine*>(builder.get()), nullptr);
  EXPECT_EQ(builder->CalcParams(), R"(/db:"ORCL" /du:"u" /dp:"" /ct:6 /dt:1 )");
}

TEST_F(CmdLineTest, MSSQLConnectionStringStandsAlone) {
  EXPECT_EQ(Params("[DBParams]\nConnectType=1\nMSSQLConnStr=Server=a;Db=b\nMSSQLServer=s\n"),
            R"(/dcs:"Server=a;Db=b" /ct:1 /dt:3 )");
}

TEST_F(CmdLineTest, MSSQLSingleSwitchesIncludeEmptyServerAndSecurity) {
  EXPECT_EQ(Params("[DBParams]\nConnectType=1\nMSSQLDatabase=Quill\n"),
            R"(/srv:"" /db:"Quill" /du:"" /dp:"" /dis:0 /ct:1 /dt:3 )");
  EXPECT_EQ(Params("[DBParams]\nConnectType=1\nMSSQLIntSecurity=1\nDBType=-2\n"),
            R"(/srv:"" /db:"" /du:"" /dp:"" /dis:1 /ct:1 /dt:-2 )");
}

TEST_F(CmdLineTest, ApplicationServerRunsNoTool) {
  const auto byAppServer =
      CreateCmdLine(Settings("[DBParams]\nAppServer=host:8099\nConnectType=1\n"));
  EXPECT_NE(dynamic_cast<TRemObjectsCmdLine*>(byAppServer.get()), nullptr);
  EXPECT_EQ(byAppServer->CalcParams(), "");
  EXPECT_EQ(Params("[DBParams]\nConnectType=9\n"), "");
}

TEST_F(CmdLineTest, ConnectTypeThatIsNoNumberCountsAsSix) {
  EXPECT_EQ(Params("[DBParams]\nConnectType=fast\nDBType=1\n"),
            R"(/db:"" /du:"" /dp:"" /ct:6 /dt:1 )");
  EXPECT_EQ(Params("[DBParams]\nConnectType=0x9\n"), "") << "hexadecimal 9 is the app server";
}

TEST(DatabaseUpdateCommandLine, ProgramPathWithBlankIsQuoted) {
  const std::string params = "/db:\"x\" /ct:6 /dt:3 ";
  const std::string plain = Update::Work::DatabaseUpdateCommandLine("inst", params);
  EXPECT_EQ(plain.substr(0, 4), "inst");
  EXPECT_EQ(plain.substr(plain.size() - params.size() - 1), " " + params);
  const std::string spaced = Update::Work::DatabaseUpdateCommandLine("My App", params);
  EXPECT_EQ(spaced.substr(0, 7), "\"My App") << spaced;
  EXPECT_EQ(spaced.substr(spaced.size() - params.size() - 2), "\" " + params) << spaced;
}

}  // namespace
