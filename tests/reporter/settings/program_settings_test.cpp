// Update's own settings source (src/reporter/settings/Update.settings), compiled here the way
// the build compiles it into Update, with a deployment override of the tests' own.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "kProgramSettingsOverride.h"
#include "kProgramSettingsSource.h"
#include "module_resources_fixture.h"
#include "platform/process.h"
#include "reporter/settings/cipher.h"
#include "reporter/settings/default_settings.h"
#include "reporter/settings/reporter_settings.h"
#include "reporter/settings/settings_stream.h"
#include "settings_source.h"

namespace {

using namespace Reporter::Settings;
using SettingsCompiler::ApplyOverrides;
using SettingsCompiler::CompileSettings;
using SettingsCompiler::ParseSettingsSource;
using SettingsCompiler::SourceError;

// The program's resource as the build compiles it with these overrides.
std::vector<std::uint8_t> CompileProgramSettings(std::string_view overrides) {
  auto records = ParseSettingsSource(kProgramSettingsSource);
  ApplyOverrides(records, overrides);
  return CompileSettings(records);
}

SettingsStreamContent Compile(std::string_view overrides) {
  return ReadSettingsStream(CompileProgramSettings(overrides));
}

// The first record of the name, as the settings lookup finds it.
const SettingsProperty* Find(const SettingsStreamContent& content, std::string_view name) {
  for (const SettingsProperty& property : content.properties) {
    if (property.name == name) return &property;
  }
  return nullptr;
}

std::string Text(const SettingsStreamContent& content, std::string_view name) {
  const SettingsProperty* property = Find(content, name);
  EXPECT_NE(property, nullptr) << name;
  if (!property) return {};
  EXPECT_EQ(property->typ, ptString) << name;
  return property->vStr;
}

TEST(ProgramSettings, HoldTheProgramsRecordsWithOnlySmtpPortTwice) {
  const SettingsStreamContent content = Compile(kProgramSettingsOverride);
  ASSERT_TRUE(content.headerValid);
  EXPECT_FALSE(content.invalidTag);
  // 137 records of the reporter, HttpCheckCert, which keeps the tracker's certificate checked,
  // HttpTimeout, which bounds the time of an upload, and BugRepDump, the crash dump beside the
  // report.
  ASSERT_EQ(content.properties.size(), 140u);
  EXPECT_EQ(content.properties.front().name, "Enabled");
  EXPECT_EQ(content.properties.back().name, "SendFailMsg");

  std::map<std::string, std::vector<const SettingsProperty*>> byName;
  for (const SettingsProperty& property : content.properties) {
    byName[property.name].push_back(&property);
  }
  for (const auto& [name, records] : byName) {
    if (name != "SmtpPort") {
      EXPECT_EQ(records.size(), 1u) << name << " occurs more than once";
    }
  }
  const auto& smtpPorts = byName["SmtpPort"];
  ASSERT_EQ(smtpPorts.size(), 2u);
  EXPECT_EQ(smtpPorts[0]->typ, ptInteger);
  EXPECT_EQ(smtpPorts[0]->vInt, 25);
  EXPECT_EQ(smtpPorts[1]->vInt, 0);

  // Keys that take their value from the built-in defaults carry no record.
  for (const char* absent :
       {"MinDebugInfo", "CrashOnOverrun", "VersionVar", "AutoDelay", "MailFrom", "AddFields"}) {
    EXPECT_EQ(Find(content, absent), nullptr) << absent;
  }
}

TEST(ProgramSettings, CarryTheirValuesWithTheirKinds) {
  const SettingsStreamContent content = Compile(kProgramSettingsOverride);
  EXPECT_EQ(Text(content, "BugRepFile"), "bugreport.txt");
  EXPECT_EQ(Text(content, "ExceptMsg"), "In der Applikation ist ein Fehler aufgetreten.");
  EXPECT_EQ(Text(content, "FrozenMsg"), "Die Applikation reagiert nicht.");
  EXPECT_EQ(Text(content, "BitFaultMsg"), "Datei \"%modname%\" scheint fehlerhaft zu sein!");
  EXPECT_EQ(Text(content, "BugTrDescr"), "Details zum Fehler: \r\n%errorDetails%");
  EXPECT_EQ(Text(content, "Plugins"), "modules|processes|hardware");
  EXPECT_EQ(Text(content, "Assistant1"),
            "SendAssistant|Fehlerbericht senden|ContactForm|DetailsForm|ScrShotForm");
  EXPECT_EQ(Text(content, "F1Classes"), "EDBEditError");

  const struct {
    const char* name;
    TPropertyType kind;
    int value;
  } numbers[] = {{"AutoSend", ptBoolean, 1},
                 {"AutoSaveIfNotSent", ptBoolean, 0},
                 {"FreezeTimeout", ptInteger, 60000},
                 {"F1ShowCfg", ptInteger, 3}};
  for (const auto& [name, kind, value] : numbers) {
    const SettingsProperty* property = Find(content, name);
    ASSERT_NE(property, nullptr) << name;
    EXPECT_EQ(property->typ, kind) << name;
    EXPECT_EQ(kind == ptBoolean ? int(property->vBool) : property->vInt, value) << name;
  }
}

TEST(ProgramSettings, OverrideGivesTheTrackerAndAPasswordOnlyItsKeysOpen) {
  const SettingsStreamContent content = Compile(kProgramSettingsOverride);
  const std::string server = Text(content, "HttpServer");
  const std::string account = Text(content, "BugTrAccount");
  EXPECT_EQ(server, "https://tracker.example.net/");
  EXPECT_EQ(account, "crashes@example.net");

  // The override's value is trimmed and keeps everything after its first "=".
  const std::string plain = "Zugang f\xC3\xBCr Berichte = 42";
  const std::string stored = Text(content, "BugTrPassword");
  EXPECT_EQ(stored.find("Zugang"), std::string::npos);
  EXPECT_TRUE(Cipher::Base64Decode(stored));
  EXPECT_EQ(Cipher::DecipherPassword(stored, account, server), plain);
  EXPECT_NE(Cipher::DecipherPassword(stored, account, "https://other.example.net/"), plain);

  // The passwords nobody set stay empty, and so undeciphered.
  EXPECT_EQ(Text(content, "HttpPassword"), "");
  EXPECT_EQ(Text(content, "SmtpPassword"), "");
}

TEST(ProgramSettings, WithoutOverrideNameNoTrackerToSendTo) {
  const SettingsStreamContent content = Compile("");
  ASSERT_EQ(content.properties.size(), 140u);
  EXPECT_EQ(Text(content, "HttpServer"), "");
  EXPECT_EQ(Text(content, "BugTrAccount"), "");
  EXPECT_EQ(Text(content, "BugTrPassword"), "");
  EXPECT_EQ(Text(content, "SmtpServer"), "");
  EXPECT_EQ(Text(content, "MailAddr"), "");
}

// The crash dump is on for this program and a deployment can switch it off.
TEST(ProgramSettings, CrashDumpIsOnUnlessTheDeploymentSwitchesItOff) {
  for (const auto& [overrides, expected] :
       {std::pair{"", true}, std::pair{"BugRepDump=false\n", false}}) {
    const SettingsStreamContent content = Compile(overrides);
    const SettingsProperty* property = Find(content, "BugRepDump");
    ASSERT_NE(property, nullptr) << overrides;
    EXPECT_EQ(property->typ, ptBoolean);
    EXPECT_EQ(property->vBool, expected) << overrides;
  }
  EXPECT_EQ(FindDefaultSetting("BugRepDump"), nullptr) << "the default table stays as it was";
}

TEST(ProgramSettings, OverrideRefusesKeysTheSourceDoesNotHold) {
  auto records = ParseSettingsSource(kProgramSettingsSource);
  // A misspelt key (names are case-sensitive) must fail the build, not be dropped silently.
  for (const char* overrides : {"httpserver=https://x/", "HttpServer=https://x/\nAutoDelay=5"}) {
    try {
      ApplyOverrides(records, overrides);
      ADD_FAILURE() << "accepted: " << overrides;
    } catch (const SourceError& error) {
      EXPECT_NE(std::string(error.what()).find("no record named"), std::string::npos)
          << error.what();
    }
  }
  EXPECT_THROW(ApplyOverrides(records, "HttpPort=https"), SourceError);
}

// The program's resource read through the settings object, as the reporter reads it.
using ProgramSettingsResource = SettingsTest::ModuleResourcesFixture;

TEST_F(ProgramSettingsResource, ReadsBackThroughTheAccessors) {
  constexpr Platform::ModuleHandle kProgram = 0x0E0D0000;
  resources_[kProgram] = CompileProgramSettings(kProgramSettingsOverride);
  TReporterSettings settings(kProgram, hooks_);
  ASSERT_TRUE(settings.IsValid());
  EXPECT_TRUE(messages_.empty());

  EXPECT_EQ(settings.GetBugReportFile(), "bugreport.txt");
  EXPECT_EQ(settings.GetExceptMsg(), "In der Applikation ist ein Fehler aufgetreten.");
  EXPECT_EQ(settings.GetFrozenMsg(), "Die Applikation reagiert nicht.");
  const std::string executable = Platform::ExecutablePath();
  EXPECT_EQ(settings.GetTitleBar(), executable.substr(executable.find_last_of("\\/") + 1));
  EXPECT_EQ(settings.GetSmtpPort(), 25);
  EXPECT_TRUE(settings.GetAutoSend());
}

}  // namespace
