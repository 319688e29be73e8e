#include "reporter/settings/reporter_settings.h"

#include <gtest/gtest.h>

#include <set>

#include "module_resources_fixture.h"
#include "platform/process.h"
#include "reporter/settings/default_settings.h"
#include "reporter/settings/settings_stream_writer.h"

namespace {

using namespace Reporter::Settings;

std::string ExecutableFileName() {
  const std::string path = Platform::ExecutablePath();
  return path.substr(path.find_last_of("\\/") + 1);
}

// The test program carries tests/reporter/data/sample_settings.txt as its own settings; other
// modules are made up, with their resources in memory.
class ReporterSettingsTest : public SettingsTest::ModuleResourcesFixture {
 protected:
  static constexpr Platform::ModuleHandle kPlugin = 0x5E790000;
  static constexpr Platform::ModuleHandle kBare = 0x5E7A0000;

  ~ReporterSettingsTest() override { SetMainSettings(nullptr); }

  std::shared_ptr<TReporterSettings> Module(const TSettingsStreamWriter& writer) {
    resources_[kPlugin] = writer.Finish();
    return std::make_shared<TReporterSettings>(kPlugin, hooks_);
  }
  std::shared_ptr<TReporterSettings> Executable() {
    return std::make_shared<TReporterSettings>(Platform::MainModule());
  }
};

TEST_F(ReporterSettingsTest, ExecutableReadsItsResourceThenTheDefaultTable) {
  const auto settings = Executable();
  ASSERT_TRUE(settings->IsValid());
  EXPECT_TRUE(settings->Enabled());
  EXPECT_TRUE(settings->GetAutoSend());  // the build's override
  EXPECT_EQ(settings->GetHttpPort(), 443);
  EXPECT_EQ(settings->GetSmtpPort(), 25);  // the first of two records
  EXPECT_EQ(settings->GetBugTrackerProject(), "Sample Größe");
  EXPECT_EQ(settings->FreezeTimeout(), 4294907296u);  // -60000 read unsigned
  // Absent from the resource: the default table.
  EXPECT_EQ(settings->GetAutoDelay(), 60u);
  EXPECT_EQ(settings->GetBugReportFile(), "bugreport.ebr");
  EXPECT_TRUE(settings->GetSendInBackground());
  EXPECT_FALSE(settings->LinkInSettings());
  // Absent from both.
  EXPECT_EQ(settings->GetPropStr("MinDebugInfo"), "");
  EXPECT_TRUE(settings->LinkInMapFile());
  EXPECT_FALSE(settings->GetPropBool("CrashOnBuffer"));
  EXPECT_FALSE(settings->CrashOnOverrun());
  EXPECT_EQ(settings->VersionVar(), "");
}

TEST_F(ReporterSettingsTest, KeyNamesAreCaseSensitiveInTheResourceAndTheDefaultTable) {
  const auto settings = Executable();
  EXPECT_FALSE(settings->GetPropBool("autosend"));
  EXPECT_EQ(settings->GetPropInt("autoDelay"), 0);
  EXPECT_EQ(settings->GetPropStr("bugRepFile"), "");
}

TEST_F(ReporterSettingsTest, GettersReadTheirOwnFieldWhateverTheRecordKind) {
  TSettingsStreamWriter writer;
  writer.AddInt32("Enabled", 7);
  writer.AddBool("HttpPort", true);
  const auto settings = Module(writer);
  EXPECT_FALSE(settings->GetPropBool("Enabled"));
  EXPECT_EQ(settings->GetPropInt("Enabled"), 7);
  EXPECT_EQ(settings->GetPropInt("HttpPort"), 0);
  EXPECT_EQ(settings->GetPropStr("HttpPort"), "");
  // A default-table integer read as a flag.
  EXPECT_FALSE(settings->GetPropBool("AutoDelay"));
}

TEST_F(ReporterSettingsTest, SetterStoresOnlyIntoARecordOfItsOwnKind) {
  TSettingsStreamWriter writer;
  writer.AddBool("AutoSend", true);
  writer.AddUtf8Long("MailFrom", "a@example.com");
  const auto settings = Module(writer);

  EXPECT_FALSE(settings->SetPropStr("AutoSend", "no"));
  EXPECT_FALSE(settings->SetPropInt("AutoSend", 0));
  EXPECT_TRUE(settings->GetPropBool("AutoSend"));
  EXPECT_TRUE(settings->SetPropBool("AutoSend", false));
  EXPECT_FALSE(settings->GetAutoSend());

  EXPECT_TRUE(settings->SetPropStr("MailFrom", ""));
  EXPECT_EQ(settings->GetMailFrom(), "");

  // A missing key gets a record of the setter's kind, which then refuses other kinds.
  EXPECT_TRUE(settings->SetPropDw("AutoDelay", 0xFFFFFFFFu));
  EXPECT_EQ(settings->GetAutoDelay(), 0xFFFFFFFFu);
  EXPECT_EQ(settings->GetPropInt("AutoDelay"), -1);
  EXPECT_FALSE(settings->SetPropBool("AutoDelay", true));
}

TEST_F(ReporterSettingsTest, ModuleWithoutResourceIsInvalidRefusesWritesAndReadsTheMainSettings) {
  SetMainSettings(Executable());
  TReporterSettings bare(kBare, hooks_);
  EXPECT_FALSE(bare.IsValid());
  EXPECT_FALSE(bare.SetPropBool("AutoSend", false));
  EXPECT_FALSE(bare.Reload());
  EXPECT_EQ(bare.GetHttpPort(), 443);
  EXPECT_EQ(bare.GetAutoDelay(), 60u);
}

TEST_F(ReporterSettingsTest, OtherModuleAsksTheMainSettingsForWhatItLacks) {
  TSettingsStreamWriter writer;
  writer.AddInt32("HttpPort", 8080);
  writer.AddBool("NoSettings", false);
  const auto plugin = Module(writer);
  // Without main settings the default table answers.
  EXPECT_FALSE(plugin->GetAutoSend());
  EXPECT_EQ(plugin->GetSmtpPort(), 0);

  SetMainSettings(Executable());
  EXPECT_EQ(plugin->GetHttpPort(), 8080);
  EXPECT_TRUE(plugin->GetAutoSend());
  EXPECT_EQ(plugin->GetSmtpPort(), 25);
  EXPECT_EQ(plugin->GetAutoDelay(), 60u);
}

TEST_F(ReporterSettingsTest, TextsExpandPlaceholdersButKeepExceptionOnesAndTheFrozenMessage) {
  TSettingsStreamWriter writer;
  writer.AddUtf8Long("FrozenMsg", "%appname% hangs");
  writer.AddUtf8Long("BugRepFile", "crash-%time%.txt");
  writer.AddUtf8Long("ExceptMsg", "%APPNAME%: %exceptMsg% (%exceptClass%)%LF%%bugReport%");
  const auto settings = Module(writer);
  EXPECT_EQ(settings->GetFrozenMsg(), "%appname% hangs");
  // The report file's name is expanded only where it falls back to the user's folder.
  EXPECT_EQ(settings->GetBugReportFile(), "crash-%time%.txt");
  EXPECT_EQ(settings->GetExceptMsg(),
            ExecutableFileName() + ": %exceptMsg% (%exceptClass%)\r\n%bugReport%");
  EXPECT_EQ(settings->GetTitleBar(), ExecutableFileName());
  EXPECT_EQ(Executable()->GetBugTrackerDescription(),
            "Details zum Fehler: \r\n%errorDetails% \"Größe\" \\");
}

TEST_F(ReporterSettingsTest, PluginListMatchesWholeItemsIgnoringCaseAndRewritesItself) {
  TSettingsStreamWriter writer;
  writer.AddBool("Enabled", true);
  const auto settings = Module(writer);
  EXPECT_TRUE(settings->GetPluginEnabled("Modules"));
  EXPECT_TRUE(settings->GetPluginEnabled("HARDWARE"));
  EXPECT_FALSE(settings->GetPluginEnabled("module"));

  settings->SetPluginEnabled("PROCESSES", true);  // already there
  EXPECT_EQ(settings->GetPropStr("Plugins"), "modules|processes|hardware");
  settings->SetPluginEnabled("Modules", false);
  EXPECT_EQ(settings->GetPropStr("Plugins"), "processes|hardware");
  settings->SetPluginEnabled("threads", true);
  EXPECT_EQ(settings->GetPropStr("Plugins"), "processes|hardware|threads");
}

TEST_F(ReporterSettingsTest, AssistantIsFoundByNameUntilTheFirstEmptyDefinition) {
  TSettingsStreamWriter writer;
  writer.AddUtf8Long("Assistant1", "SendAssistant|Fehlerbericht senden|ContactForm|ScrShotForm");
  writer.AddUtf8Long("Assistant2", "SaveAssistant|Fehlerbericht speichern|ContactForm");
  writer.AddUtf8Long("Assistant4", "PrintAssistant|Fehlerbericht drucken|ContactForm");
  const auto settings = Module(writer);

  const auto send = settings->GetAssistant("sendassistant");
  ASSERT_TRUE(send);
  EXPECT_EQ(send->name, "SendAssistant");
  EXPECT_EQ(send->title, "Fehlerbericht senden");
  // No screenshot without a screenshot depth.
  EXPECT_EQ(send->forms, std::vector<std::string>{"ContactForm"});
  settings->SetScreenShotDepth(24);
  EXPECT_EQ(settings->GetAssistant("SendAssistant")->forms,
            (std::vector<std::string>{"ContactForm", "ScrShotForm"}));

  EXPECT_TRUE(settings->GetAssistant("SaveAssistant"));
  EXPECT_FALSE(settings->GetAssistant("PrintAssistant"));  // after the gap at Assistant3
}

TEST_F(ReporterSettingsTest, AdditionalListsAreBuiltOnceAndWriteThemselvesBack) {
  TSettingsStreamWriter writer;
  writer.AddUtf8Long("AddFields", "Customer=Acme=ignored|Seat=  12 ");
  writer.AddUtf8Long("AddAttachs", "C:\\log.txt>log.txt|C:\\db.fdb>db.bin>data.zip>Db");
  const auto settings = Module(writer);

  const auto fields = settings->GetAdditionalFields();
  EXPECT_EQ(fields, settings->GetAdditionalFields());
  ASSERT_EQ(fields->GetItemCount(), 2);
  EXPECT_EQ(fields->GetContent("customer"), "Acme");
  EXPECT_EQ(fields->GetContent("Seat"), "12");
  fields->SetContent("Build", "42");
  EXPECT_EQ(settings->GetPropStr("AddFields"), "Customer=Acme|Seat=12|Build=42");

  const auto attachments = settings->GetAdditionalAttachments();
  ASSERT_EQ(attachments->GetItemCount(), 2);
  EXPECT_EQ(attachments->GetItem(1), (TAttachment{"C:\\db.fdb", "db.bin", "data.zip", "Db"}));
  EXPECT_TRUE(attachments->Delete("c:\\LOG.txt"));
  EXPECT_EQ(settings->GetPropStr("AddAttachs"), "C:\\db.fdb>db.bin>data.zip>Db");
}

TEST_F(ReporterSettingsTest, ListsOutlivingTheirSettingsNoLongerWriteBack) {
  TSettingsStreamWriter writer;
  writer.AddBool("Enabled", true);
  auto settings = Module(writer);
  const auto fields = settings->GetAdditionalFields();
  settings.reset();
  fields->SetContent("Late", "value");  // must not touch the freed settings object
  EXPECT_EQ(fields->GetContent("Late"), "value");
}

TEST_F(ReporterSettingsTest, NoSettingsModuleTakesTheValidReporterModuleSettings) {
  TSettingsStreamWriter writer;
  writer.AddBool("NoSettings", false);
  writer.AddInt32("HttpPort", 8080);
  EXPECT_FALSE(SettingsForModule(kPlugin, hooks_)->IsValid());
  resources_[kPlugin] = writer.Finish();
  const auto linked = SettingsForModule(kPlugin, hooks_);
  EXPECT_EQ(linked->Module(), kPlugin);
  EXPECT_EQ(linked->GetHttpPort(), 8080);
  // The executable's own settings carry no NoSettings record, so the default (true) sends
  // the search on, which finds nothing better and keeps them.
  EXPECT_EQ(SettingsForModule(0)->Module(), Platform::MainModule());
  EXPECT_EQ(SettingsForAddress(reinterpret_cast<const void*>(&ExecutableFileName))->Module(),
            ReporterModule());
}

TEST(DefaultSettings, HoldEveryDefaultedKeyOnceInTableOrder) {
  const auto& table = DefaultSettings();
  ASSERT_EQ(table.size(), kDefaultSettingsCount);
  std::set<std::string> names;
  for (const SettingsProperty& property : table) names.insert(property.name);
  EXPECT_EQ(names.size(), table.size());
  EXPECT_EQ(table.front().name, "Enabled");
  EXPECT_EQ(table.back().name, "VersionVar");
  for (const char* missing : {"MinDebugInfo", "CrashOnBuffer", "Assistant1", "Assistant3"}) {
    EXPECT_EQ(FindDefaultSetting(missing), nullptr) << missing;
  }
  EXPECT_EQ(FindDefaultSetting("CrashOnOverrun")->typ, ptBoolean);
  EXPECT_EQ(FindDefaultSetting("FreezeTimeout")->vInt, 60);
  EXPECT_EQ(FindDefaultSetting("BugTrDescr")->vStr, "error details: \r\n%errorDetails%");
}

// The table's order is part of its contract: a key moved in the declaration shows up here.
TEST(DefaultSettings, KeepTheDocumentedOrder) {
  constexpr std::string_view kOrder =
      "Enabled NoSettings CheckFileCrc CheckFreeze FreezeTimeout WindowsLogo ReportLeaks "
      "CrashOnOverrun CrashOnUnderrun AutoSave AutoSaveIfNotSent AutoSend AutoSendBox AutoClip "
      "PauseThreads PlWaitBox AutoContinue AutoRestart AutoClose AutoDelay SendBtnVis "
      "SaveBtnVis PrintBtnVis ShowBtnVis ContinueBtnVis RestartBtnVis CloseBtnVis FocusedBtn "
      "SendAssis SaveAssis PrintAssis AutoShowBugRep UglyBtns SendInBackgr UploadViaHttp "
      "HttpServer HttpSsl HttpCheckCert HttpTimeout HttpPort HttpAccount HttpPassword FogBugz "
      "BugZilla Mantis BugTrAccount BugTrPassword BugTrProject BugTrArea BugTrAssignTo "
      "MailAsSmtpServer MailAsSmtpClient SmtpServer SmtpSsl SmtpTls SmtpPort SmtpAccount "
      "SmtpPassword MailViaMapi MailViaMailto MailAddr AttachBugRep AttachBugRepFile "
      "DelBugRepFile BugRepSendAs BugRepZip ScrShotDepth ScrShotAppOnly ScrShotSendAs "
      "ScrShotZip AddAttachs MailFrom AddFields BugRepFile AppendBugReps BugRepFileSize "
      "NoDupExcepts NoDupFreezes DupExceptDef DupFreezeDef ListThreads CpuRegs StackDump "
      "ShowDisAsm HideUglyItems ShowRelAddrs ShowRelLines FormatDisAsm LimitDisAsm Plugins "
      "F1Classes F1NoBugRep F1NoScrShot F1NoHandlers F1NoSuspend F1ShowCfg F1Assis F2Classes "
      "F2NoBugRep F2NoScrShot F2NoHandlers F2NoSuspend F2ShowCfg F2Assis GnNoBugRep "
      "GnNoScrShot GnNoHandlers GnNoSuspend GnShowCfg GnAssis TitleBar ExceptMsg FrozenMsg "
      "BitFaultMsg SendBtnTxt SaveBtnTxt PrintBtnTxt ShowBtnTxt ContinueBtnTxt RestartBtnTxt "
      "CloseBtnTxt OkBtnTxt DetailsBtnTxt PlWaitTitle PlWaitText BugTrTitle BugTrDescr "
      "MailSubj MailBody SendBoxTitle PrepAttMsg MxLookMsg ConnMsg SendMailMsg FieldMsg "
      "SendAttMsg SendFinalMsg SendFailMsg VersionVar";
  std::string names;
  for (const SettingsProperty& property : DefaultSettings()) {
    names += (names.empty() ? "" : " ") + property.name;
  }
  EXPECT_EQ(names, kOrder);
}

}  // namespace
