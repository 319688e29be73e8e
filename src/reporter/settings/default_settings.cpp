#include "reporter/settings/default_settings.h"

#include <array>

namespace Reporter::Settings {
namespace {

struct TDefaultRecord {
  const char* name;
  TPropertyType typ;
  bool vBool;
  std::int32_t vInt;
  const char* vStr;
};

// Read when neither the module nor the main module carries a key.
constexpr std::array<TDefaultRecord, kDefaultSettingsCount> kDefaults = {{
    {"Enabled", ptBoolean, false, 0, ""},
    {"NoSettings", ptBoolean, true, 0, ""},
    {"CheckFileCrc", ptBoolean, true, 0, ""},
    {"CheckFreeze", ptBoolean, false, 0, ""},
    {"FreezeTimeout", ptInteger, false, 60, ""},
    {"WindowsLogo", ptBoolean, false, 0, ""},
    {"ReportLeaks", ptBoolean, false, 0, ""},
    {"CrashOnOverrun", ptBoolean, false, 0, ""},
    {"CrashOnUnderrun", ptBoolean, false, 0, ""},
    {"AutoSave", ptBoolean, true, 0, ""},
    {"AutoSaveIfNotSent", ptBoolean, true, 0, ""},
    {"AutoSend", ptBoolean, false, 0, ""},
    {"AutoSendBox", ptBoolean, false, 0, ""},
    {"AutoClip", ptBoolean, true, 0, ""},
    {"PauseThreads", ptBoolean, false, 0, ""},
    {"PlWaitBox", ptBoolean, true, 0, ""},
    {"AutoContinue", ptBoolean, false, 0, ""},
    {"AutoRestart", ptInteger, false, 0, ""},
    {"AutoClose", ptInteger, false, 0, ""},
    {"AutoDelay", ptInteger, false, 60, ""},
    {"SendBtnVis", ptBoolean, true, 0, ""},
    {"SaveBtnVis", ptBoolean, false, 0, ""},
    {"PrintBtnVis", ptBoolean, false, 0, ""},
    {"ShowBtnVis", ptBoolean, true, 0, ""},
    {"ContinueBtnVis", ptBoolean, true, 0, ""},
    {"RestartBtnVis", ptBoolean, true, 0, ""},
    {"CloseBtnVis", ptBoolean, true, 0, ""},
    {"FocusedBtn", ptInteger, false, 0, ""},
    {"SendAssis", ptString, false, 0, ""},
    {"SaveAssis", ptString, false, 0, ""},
    {"PrintAssis", ptString, false, 0, ""},
    {"AutoShowBugRep", ptBoolean, false, 0, ""},
    {"UglyBtns", ptBoolean, false, 0, ""},
    {"SendInBackgr", ptBoolean, true, 0, ""},
    {"UploadViaHttp", ptBoolean, false, 0, ""},
    {"HttpServer", ptString, false, 0, ""},
    {"HttpSsl", ptBoolean, false, 0, ""},
    {"HttpCheckCert", ptBoolean, true, 0, ""},
    {"HttpTimeout", ptInteger, false, 120000, ""},
    {"HttpPort", ptInteger, false, 0, ""},
    {"HttpAccount", ptString, false, 0, ""},
    {"HttpPassword", ptString, false, 0, ""},
    {"FogBugz", ptBoolean, false, 0, ""},
    {"BugZilla", ptBoolean, false, 0, ""},
    {"Mantis", ptBoolean, false, 0, ""},
    {"BugTrAccount", ptString, false, 0, ""},
    {"BugTrPassword", ptString, false, 0, ""},
    {"BugTrProject", ptString, false, 0, ""},
    {"BugTrArea", ptString, false, 0, ""},
    {"BugTrAssignTo", ptString, false, 0, ""},
    {"MailAsSmtpServer", ptBoolean, false, 0, ""},
    {"MailAsSmtpClient", ptBoolean, false, 0, ""},
    {"SmtpServer", ptString, false, 0, ""},
    {"SmtpSsl", ptBoolean, false, 0, ""},
    {"SmtpTls", ptBoolean, false, 0, ""},
    {"SmtpPort", ptInteger, false, 0, ""},
    {"SmtpAccount", ptString, false, 0, ""},
    {"SmtpPassword", ptString, false, 0, ""},
    {"MailViaMapi", ptBoolean, true, 0, ""},
    {"MailViaMailto", ptBoolean, true, 0, ""},
    {"MailAddr", ptString, false, 0, ""},
    {"AttachBugRep", ptBoolean, true, 0, ""},
    {"AttachBugRepFile", ptBoolean, true, 0, ""},
    {"DelBugRepFile", ptBoolean, true, 0, ""},
    {"BugRepSendAs", ptString, false, 0, "bugreport.ebr"},
    {"BugRepZip", ptString, false, 0, ""},
    {"ScrShotDepth", ptInteger, false, 0, ""},
    {"ScrShotAppOnly", ptBoolean, true, 0, ""},
    {"ScrShotSendAs", ptString, false, 0, "screenshot.png"},
    {"ScrShotZip", ptString, false, 0, ""},
    {"AddAttachs", ptString, false, 0, ""},
    {"MailFrom", ptString, false, 0, ""},
    {"AddFields", ptString, false, 0, ""},
    {"BugRepFile", ptString, false, 0, "bugreport.ebr"},
    {"AppendBugReps", ptBoolean, true, 0, ""},
    {"BugRepFileSize", ptInteger, false, 100000, ""},
    {"NoDupExcepts", ptBoolean, true, 0, ""},
    {"NoDupFreezes", ptBoolean, true, 0, ""},
    {"DupExceptDef", ptInteger, false, 1, ""},
    {"DupFreezeDef", ptInteger, false, 2, ""},
    {"ListThreads", ptBoolean, true, 0, ""},
    {"CpuRegs", ptBoolean, true, 0, ""},
    {"StackDump", ptBoolean, true, 0, ""},
    {"ShowDisAsm", ptBoolean, true, 0, ""},
    {"HideUglyItems", ptBoolean, false, 0, ""},
    {"ShowRelAddrs", ptBoolean, true, 0, ""},
    {"ShowRelLines", ptBoolean, true, 0, ""},
    {"FormatDisAsm", ptBoolean, false, 0, ""},
    {"LimitDisAsm", ptInteger, false, 5, ""},
    {"Plugins", ptString, false, 0, "modules|processes|hardware"},
    {"F1Classes", ptString, false, 0, ""},
    {"F1NoBugRep", ptBoolean, false, 0, ""},
    {"F1NoScrShot", ptBoolean, false, 0, ""},
    {"F1NoHandlers", ptBoolean, false, 0, ""},
    {"F1NoSuspend", ptBoolean, false, 0, ""},
    {"F1ShowCfg", ptInteger, false, 0, ""},
    {"F1Assis", ptString, false, 0, ""},
    {"F2Classes", ptString, false, 0, ""},
    {"F2NoBugRep", ptBoolean, false, 0, ""},
    {"F2NoScrShot", ptBoolean, false, 0, ""},
    {"F2NoHandlers", ptBoolean, false, 0, ""},
    {"F2NoSuspend", ptBoolean, false, 0, ""},
    {"F2ShowCfg", ptInteger, false, 0, ""},
    {"F2Assis", ptString, false, 0, ""},
    {"GnNoBugRep", ptBoolean, false, 0, ""},
    {"GnNoScrShot", ptBoolean, false, 0, ""},
    {"GnNoHandlers", ptBoolean, false, 0, ""},
    {"GnNoSuspend", ptBoolean, false, 0, ""},
    {"GnShowCfg", ptInteger, false, 0, ""},
    {"GnAssis", ptString, false, 0, ""},
    {"TitleBar", ptString, false, 0, "%appname%"},
    {"ExceptMsg", ptString, false, 0, "An error occurred in the application."},
    {"FrozenMsg", ptString, false, 0, "The application seems to be frozen."},
    {"BitFaultMsg", ptString, false, 0, "The file \"%modname%\" seems to be corrupt!"},
    {"SendBtnTxt", ptString, false, 0, "send bug report"},
    {"SaveBtnTxt", ptString, false, 0, "save bug report"},
    {"PrintBtnTxt", ptString, false, 0, "print bug report"},
    {"ShowBtnTxt", ptString, false, 0, "show bug report"},
    {"ContinueBtnTxt", ptString, false, 0, "continue application"},
    {"RestartBtnTxt", ptString, false, 0, "restart application"},
    {"CloseBtnTxt", ptString, false, 0, "close application"},
    {"OkBtnTxt", ptString, false, 0, "&OK"},
    {"DetailsBtnTxt", ptString, false, 0, "&Details"},
    {"PlWaitTitle", ptString, false, 0, "Information"},
    {"PlWaitText", ptString, false, 0, "Please wait a moment..."},
    {"BugTrTitle", ptString, false, 0, "%appname%, %exceptMsg%"},
    {"BugTrDescr", ptString, false, 0, "error details: \r\n%errorDetails%"},
    {"MailSubj", ptString, false, 0, "bug report"},
    {"MailBody", ptString, false, 0, "please find the bug report attached"},
    {"SendBoxTitle", ptString, false, 0, "Sending bug report..."},
    {"PrepAttMsg", ptString, false, 0, "Prepare attachments..."},
    {"MxLookMsg", ptString, false, 0, "Searching for mail server..."},
    {"ConnMsg", ptString, false, 0, "Connecting to server..."},
    {"SendMailMsg", ptString, false, 0, "Sending mail..."},
    {"FieldMsg", ptString, false, 0, "Setting fields..."},
    {"SendAttMsg", ptString, false, 0, "Sending attachments..."},
    {"SendFinalMsg", ptString, false, 0, "Finalizing..."},
    {"SendFailMsg", ptString, false, 0, "Sorry, sending the bug report didn't work."},
    {"VersionVar", ptInteger, false, 0, ""},
}};

}  // namespace

const std::vector<SettingsProperty>& DefaultSettings() {
  static const std::vector<SettingsProperty> table = [] {
    std::vector<SettingsProperty> records;
    records.reserve(kDefaults.size());
    for (const TDefaultRecord& record : kDefaults) {
      records.push_back({record.name, record.typ, record.vBool, record.vInt, record.vStr});
    }
    return records;
  }();
  return table;
}

const SettingsProperty* FindDefaultSetting(std::string_view name) {
  for (const SettingsProperty& property : DefaultSettings()) {
    if (property.name == name) return &property;
  }
  return nullptr;
}

}  // namespace Reporter::Settings
