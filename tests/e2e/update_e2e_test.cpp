#include <gtest/gtest.h>

#include "e2e/update_fixture.h"
#include "platform/file_system.h"

namespace {

using TestSupport::Quoted;
using Lines = std::vector<std::string>;

class UpdateProgram : public E2E::UpdateWorld {
 protected:
  // The caller's window is named: without a class and caption any window would match, and
  // a Windows desktop always has some.
  std::string Switches(const std::string& extra = "") const {
    return "/s:" + Quoted(staging) + " /d:" + Quoted(installation) + " /p:" + Quoted(CallerExe()) +
           " c:/TQuillMainForm w:/Quill " + extra;
  }
  void WriteSettings(const std::string& text) {
    TestSupport::WriteFile(Installed("NEBQuill.ini"), text);
  }
};

TEST_F(UpdateProgram, CompleteUpdateMovesFilesRunsTheToolAndRestartsTheCaller) {
  TestSupport::WriteFile(Staged("Quill.dat"), "new data");
  TestSupport::WriteFile(Staged("readonly.txt"), "new read-only");
  TestSupport::WriteFile(Staged(".hidden.cfg"), "new hidden");
  ASSERT_TRUE(Platform::SetReadOnly(Staged("readonly.txt"), true));
  TestSupport::WriteFile(Installed("Quill.dat"), "old data");
  ASSERT_TRUE(Platform::SetReadOnly(Installed("Quill.dat"), true));
  WriteSettings(
      "[DBParams]\r\nConnectType=1\r\nMSSQLServer=db\\sql\r\nMSSQLDatabase=Quill Daten\r\n");

  const Lines lines = RunUpdate(Switches("/i:" + Quoted(Installed("NEBQuill.ini")) + " l:/ " +
                                         Quoted(CallerExe()) + " --restarted"));

  EXPECT_EQ(exitCode, 0);
  ASSERT_GE(lines.size(), 9u) << rawOutput;
  const Lines head(lines.begin(), lines.begin() + 4);
  EXPECT_EQ(head, (Lines{"Parse die Parameter!", "Überprüfe das Quell- und das Zielverzeichnis!",
                         "Warte auf den Aufrufer!", "Ermittle zu kopierende Dateien!"}));
  const Lines tail(lines.end() - 2, lines.end());
  EXPECT_EQ(tail, (Lines{"Führe das Datenbank-Update aus!", "Führe den Aufrufer wieder aus!"}));
  for (const char* name : {"Quill.dat", "readonly.txt", ".hidden.cfg"}) {
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "Kopiere Datei [" + Staged(name) + "] (1 Versuch)"),
        lines.end())
        << name;
  }
  EXPECT_EQ(rawOutput, ExpectedOutput(lines)) << "line ends and encoding of a redirect";

  EXPECT_EQ(TestSupport::ReadFile(Installed("Quill.dat")), "new data");
  EXPECT_EQ(TestSupport::ReadFile(Installed(".hidden.cfg")), "new hidden");
  EXPECT_TRUE(Platform::IsReadOnly(Installed("readonly.txt")));
  EXPECT_FALSE(Platform::IsReadOnly(Installed("Quill.dat")));
  EXPECT_FALSE(Platform::DirectoryExists(staging));
  EXPECT_FALSE(Platform::FileExists(Installed("update.neb")));

  const Lines records = Records(2);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0],
            "DBUpdate\t/srv:db\\sql\t/db:Quill Daten\t/du:\t/dp:\t/dis:0\t/ct:1\t/dt:3");
  EXPECT_EQ(records[1], "Quill\t--restarted");
}

TEST_F(UpdateProgram, MissingStagingFolderEndsQuietlyWithStatusZero) {
  const Lines lines = RunUpdate("/s:" + Quoted(root.Join("none")) + " /d:" + Quoted(installation));
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(lines,
            (Lines{"Parse die Parameter!", "Überprüfe das Quell- und das Zielverzeichnis!"}));
  EXPECT_TRUE(Records().empty());
}

TEST_F(UpdateProgram, WithoutRestartCommandTheCallerIsStartedByItsPath) {
  WriteSettings("[DBParams]\nAppServer=apps:8099\n");
  const Lines lines = RunUpdate(Switches("/i:" + Quoted(Installed("NEBQuill.ini"))));
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(lines.back(), "Führe den Aufrufer wieder aus!");
  const Lines records = Records(1);
  EXPECT_EQ(records, (Lines{"Quill"})) << "no database update for the application server";
}

TEST_F(UpdateProgram, MissingSettingsFileFailsWithStatusOneAndNoRestart) {
  TestSupport::WriteFile(Staged("Quill.dat"), "new data");
  const Lines lines = RunUpdate("/s:" + Quoted(staging) + " /d:" + Quoted(installation) +
                                " /p:" + Quoted(root.Join("Unknown")));
  EXPECT_EQ(exitCode, 1);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "In der Applikation ist ein Fehler aufgetreten."),
            lines.end())
      << rawOutput;
  // The report ends every message with exactly one full stop.
  EXPECT_NE(rawOutput.find("Datei nicht gefunden! Bitte wenden Sie sich an die NEB."),
            std::string::npos);
  EXPECT_EQ(TestSupport::ReadFile(Installed("Quill.dat")), "new data") << "moved before the lookup";
  EXPECT_FALSE(Platform::FileExists(Installed("update.neb")));
  EXPECT_TRUE(Records().empty());
}

}  // namespace
