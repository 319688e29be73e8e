#include "rtl/io/ini_file.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/path_style.h"
#include "platform/text_encoding.h"
#include "rtl/exceptions.h"
#include "rtl/io/paths.h"
#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace {

using RTL::IniFiles::TMemIniFile;
using RTL::IniFiles::TryStrToInt;

constexpr const char* kMissing = "<missing>";

std::string Read(const TMemIniFile& ini, std::string_view key) {
  return ini.ReadString("DBParams", key, kMissing);
}

TEST(MemIniFile, NamesIgnoreCaseInEveryScript) {
  const auto ini =
      TMemIniFile::FromBytes("\xEF\xBB\xBF[dbparams]\nconnecttype=1\n[Größe]\nÄrger=ja\n");
  EXPECT_EQ(ini.ReadInteger("DBParams", "ConnectType", 0), 1);
  EXPECT_EQ(ini.ReadString("GRÖßE", "äRGER", ""), "ja");
}

TEST(MemIniFile, TrimsLinesAndTheBlanksAroundTheEqualsSign) {
  const auto ini = TMemIniFile::FromBytes(
      "  [ DBParams ]  \n\tConnectType = 1\t\nServer =  db host  \nPath=C:\\a=b\n");
  EXPECT_EQ(Read(ini, "ConnectType"), "1");
  EXPECT_EQ(Read(ini, "Server"), "db host");
  EXPECT_EQ(Read(ini, "Path"), "C:\\a=b");
}

TEST(MemIniFile, LaterEntriesAndRepeatedSectionsWin) {
  const auto ini = TMemIniFile::FromBytes(
      "[DBParams]\nDBType=1\nUser=a\n[Other]\nDBType=5\n[DBPARAMS]\nDBType=0\n");
  EXPECT_EQ(Read(ini, "DBType"), "0");
  EXPECT_EQ(Read(ini, "User"), "a");
  EXPECT_EQ(ini.ReadString("Other", "DBType", ""), "5");
}

TEST(MemIniFile, EntriesWithoutValueOrSectionGiveTheDefault) {
  const auto ini = TMemIniFile::FromBytes(
      "Early=1\n[DBParams]\nAppServer\nEmpty=\n;Comment=1\n[Broken\nName=\"a;b\"\n");
  EXPECT_EQ(Read(ini, "Early"), kMissing);
  EXPECT_EQ(Read(ini, "AppServer"), kMissing);
  EXPECT_EQ(Read(ini, "Empty"), "");
  EXPECT_EQ(Read(ini, ";Comment"), kMissing);
  EXPECT_EQ(Read(ini, "[Broken"), kMissing);  // a key without value, still in DBParams
  EXPECT_EQ(Read(ini, "Name"), "\"a;b\"");
  EXPECT_EQ(ini.ReadString("Nowhere", "Name", "d"), "d");
}

TEST(MemIniFile, SplitsLinesAtEveryKindOfLineEnd) {
  const auto ini = TMemIniFile::FromBytes("[DBParams]\r\nA=1\rB=2\nC=3\r\n\r\nD=4");
  EXPECT_EQ(Read(ini, "A") + Read(ini, "B") + Read(ini, "C") + Read(ini, "D"), "1234");
}

TEST(MemIniFile, DecodesByTheByteOrderMark) {
  EXPECT_EQ(Read(TMemIniFile::FromBytes("\xEF\xBB\xBF[DBParams]\nUser=Jürgen\n"), "User"),
            "Jürgen");
  const std::string utf16le("\xFF\xFE[\0D\0B\0P\0a\0r\0a\0m\0s\0]\0\n\0U\0=\0\xFC\0", 30);
  EXPECT_EQ(Read(TMemIniFile::FromBytes(utf16le), "U"), "ü");
  const std::string utf16be("\xFE\xFF\0[\0D\0B\0P\0a\0r\0a\0m\0s\0]\0\n\0U\0=\0\xFC", 30);
  EXPECT_EQ(Read(TMemIniFile::FromBytes(utf16be), "U"), "ü");
  EXPECT_EQ(Read(TMemIniFile::FromBytes("[DBParams]\nUser=J\xFCrgen\n"), "User"),
            Platform::AnsiToUtf8("J\xFCrgen"));
  // Broken UTF-8 never fails the reader.
  EXPECT_EQ(Read(TMemIniFile::FromBytes("\xEF\xBB\xBF[DBParams]\nU=\xFF\n"), "U"), "\xEF\xBF\xBD");
}

TEST(MemIniFile, ReadsAFileAndTreatsAMissingOneAsEmpty) {
  TestSupport::ScopedTempDir dir;
  const std::string path = dir.Join("NEBTally.ini");
  TestSupport::WriteFile(path, "[DBParams]\nConnectType=2\n");
  EXPECT_EQ(TMemIniFile(path).ReadInteger("DBParams", "ConnectType", 0), 2);

  EXPECT_EQ(Read(TMemIniFile(dir.Join("missing.ini")), "ConnectType"), kMissing);
  EXPECT_EQ(Read(TMemIniFile(dir.Path()), "ConnectType"), kMissing);  // a folder
  EXPECT_EQ(Read(TMemIniFile(""), "ConnectType"), kMissing);
}

TEST(MemIniFile, FailsWhileAnotherProcessWritesTheFile) {
  TestSupport::ScopedTempDir dir;
  const std::string path = dir.Join("NEBTally.ini");
  TestSupport::WriteFile(path, "[DBParams]\n");
  TestSupport::HelperProcess holder("LockHolder", {path});
  ASSERT_EQ(holder.ReadyText(), "locked");
  try {
    TMemIniFile ini(path);
    FAIL() << "no exception";
  } catch (const RTL::EFOpenError& e) {
    const std::string expected = "Datei " + RTL::Paths::ExpandFileName(path) + " kann nicht ge";
    EXPECT_EQ(e.Message().substr(0, expected.size()), expected);
    EXPECT_GT(e.Message().size(), expected.size() + 20) << "the platform's reason is missing";
  }
}

// Nothing but a regular file of sane size is read: a FIFO would hang the job while it holds
// the lock, and a device or a huge file would eat the memory.
TEST(MemIniFile, RefusesWhatIsNoRegularFileOfAtMostOneMebibyte) {
  TestSupport::ScopedTempDir dir;
  const auto expectRefused = [](const std::string& path, const std::string& reason) {
    try {
      TMemIniFile ini(path);
      ADD_FAILURE() << "read " << path;
    } catch (const RTL::EFOpenError& e) {
      EXPECT_NE(e.Message().find(reason), std::string::npos) << e.Message();
    }
  };
  std::string content = "[DBParams]\nConnectType=1\n";
  content.resize(TMemIniFile::kMaxFileSize, ' ');
  TestSupport::WriteFile(dir.Join("full.ini"), content);
  EXPECT_EQ(TMemIniFile(dir.Join("full.ini")).ReadInteger("DBParams", "ConnectType", 0), 1);
  TestSupport::WriteFile(dir.Join("over.ini"), content + " ");
  expectRefused(dir.Join("over.ini"), "1 MiB");

  if (Platform::NativePathStyle() != Platform::PathStyle::Posix) return;
  const std::string fifo = dir.Join("fifo.ini");
  ASSERT_EQ(std::system(("mkfifo '" + fifo + "'").c_str()), 0);
  expectRefused(fifo, "Datei " + fifo);
  expectRefused("/dev/zero", "Datei /dev/zero");
}

TEST(ReadInteger, AcceptsDecimalAndHexadecimal) {
  const auto ini = TMemIniFile::FromBytes(
      "[S]\na=0x1A\nb=$1A\nc=x1A\nd=-7\ne=0X1a\nf=$FFFFFFFF\ng= +12\nh=-$10\n");
  const std::pair<const char*, std::int32_t> cases[] = {
      {"a", 26}, {"b", 26}, {"c", 26}, {"d", -7}, {"e", 26}, {"f", -1}, {"g", 12}, {"h", -16}};
  for (const auto& [key, expected] : cases)
    EXPECT_EQ(ini.ReadInteger("S", key, 99), expected) << key;
}

TEST(ReadInteger, GivesTheDefaultForWhatDoesNotParse) {
  const auto ini = TMemIniFile::FromBytes(
      "[S]\na=12abc\nb=\nc=12345678901\nd=-\ne=$\nf=$123456789\ng=0x\nh=2147483648\ni=1 2\n");
  for (const char* key : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "missing"}) {
    EXPECT_EQ(ini.ReadInteger("S", key, 99), 99) << key;
  }
}

TEST(TryStrToInt, CoversTheWhole32BitRange) {
  EXPECT_EQ(TryStrToInt("2147483647"), 2147483647);
  EXPECT_EQ(TryStrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(TryStrToInt("-2147483649"), std::nullopt);
  EXPECT_EQ(TryStrToInt("$80000000"), INT32_MIN);
  EXPECT_EQ(TryStrToInt("  0x7fffffff"), INT32_MAX);
  EXPECT_EQ(TryStrToInt("00000000000000000042"), 42);
  EXPECT_EQ(TryStrToInt("42 "), std::nullopt);
  EXPECT_EQ(TryStrToInt("\t42"), std::nullopt);
}

}  // namespace
