#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/resources.h"
#include "reporter/settings/attachment_list.h"
#include "reporter/settings/field_list.h"
#include "reporter/settings/list_owners.h"
#include "reporter/settings/placeholders.h"
#include "reporter/settings/settings_lists.h"
#include "reporter/settings/settings_module.h"
#include "reporter/settings/settings_registry.h"

// The crash reporter's settings objects: every decision of the reporter is read through them.
// A key is looked up in the module's own records, then (for a module other than the main one)
// in the main module's settings, then in the built-in default table.
namespace Reporter::Settings {

enum TShowSetting : std::int32_t { ssFullBox, ssAssistant, ssDetailBox, ssSimpleBox, ssNothing };
enum TReportButton : std::int32_t {
  bSendBugReport,
  bSaveBugReport,
  bPrintBugReport,
  bShowBugReport,
  bContinueApplication,
  bRestartApplication,
  bCloseApplication
};
enum TDuplicateRule : std::int32_t {
  ddExceptAddrIdentical,
  ddCrashStackIdentical,
  ddAllStacksIdentical
};

class TReporterSettings;

// Access by key name. Names are case-sensitive. Every getter reads the value field of the kind
// it asks for, whatever kind the record was stored as. A setter stores only into a record of
// its own kind (creating one when the key has none) and says whether it did.
class IPropertyAccess {
 public:
  virtual ~IPropertyAccess() = default;

  virtual bool GetPropBool(std::string_view name) = 0;
  virtual std::int32_t GetPropInt(std::string_view name) = 0;
  virtual std::uint32_t GetPropDw(std::string_view name) = 0;
  // Placeholders are expanded, except in "FrozenMsg".
  virtual std::string GetPropStr(std::string_view name) = 0;
  virtual bool SetPropBool(std::string_view name, bool value) = 0;
  virtual bool SetPropInt(std::string_view name, std::int32_t value) = 0;
  virtual bool SetPropDw(std::string_view name, std::uint32_t value) = 0;
  virtual bool SetPropStr(std::string_view name, std::string_view value) = 0;

  virtual TReporterSettings* GetSelf() = 0;
  // What the user typed into an assistant's forms, remembered for the next time.
  virtual void FillFormCache(IFieldList& values) = 0;
  virtual void ReadFormCache(IFieldList& values) = 0;
};

// The settings every report reads; the reported exception implements it too.
class IReporterSettings : public IPropertyAccess {
 public:
  virtual Platform::ModuleHandle Module() = 0;
  // The owned lists, built from "AddFields" and "AddAttachs" on first request; they write
  // themselves back there after every change.
  virtual std::shared_ptr<IFieldList> GetAdditionalFields() = 0;
  virtual std::shared_ptr<IAttachmentList> GetAdditionalAttachments() = 0;
  // The text found through the module's "VersionVar"; empty without one.
  virtual std::string VersionVar() = 0;
  // False when the assistant's screenshot form must be left out for want of a screenshot.
  virtual bool HasScreenShot() { return true; }

  // "Plugins": whether the name is one whole item, ignoring case; switching it on or off.
  bool GetPluginEnabled(std::string_view name);
  void SetPluginEnabled(std::string_view name, bool enabled);
  // The first of "Assistant1", "Assistant2" ... (up to the first empty one) whose name equals
  // the given one, ignoring case. Its "ScrShotForm" is dropped without a screenshot.
  std::optional<TAssistantDefinition> GetAssistant(std::string_view name);

  bool GetAutoSave() { return GetPropBool("AutoSave"); }
  void SetAutoSave(bool value) { SetPropBool("AutoSave", value); }
  bool GetAutoSaveIfNotSent() { return GetPropBool("AutoSaveIfNotSent"); }
  void SetAutoSaveIfNotSent(bool value) { SetPropBool("AutoSaveIfNotSent", value); }
  bool GetAutoSend() { return GetPropBool("AutoSend"); }
  void SetAutoSend(bool value) { SetPropBool("AutoSend", value); }
  bool GetAutoSendPrgrBox() { return GetPropBool("AutoSendBox"); }
  void SetAutoSendPrgrBox(bool value) { SetPropBool("AutoSendBox", value); }
  bool GetAutoClipboard() { return GetPropBool("AutoClip"); }
  void SetAutoClipboard(bool value) { SetPropBool("AutoClip", value); }
  bool GetSuspendThreads() { return GetPropBool("PauseThreads"); }
  void SetSuspendThreads(bool value) { SetPropBool("PauseThreads", value); }
  bool GetShowPleaseWaitBox() { return GetPropBool("PlWaitBox"); }
  void SetShowPleaseWaitBox(bool value) { SetPropBool("PlWaitBox", value); }
  bool GetAutoContinue() { return GetPropBool("AutoContinue"); }
  void SetAutoContinue(bool value) { SetPropBool("AutoContinue", value); }
  std::int32_t GetAutoRestart() { return GetPropInt("AutoRestart"); }
  void SetAutoRestart(std::int32_t value) { SetPropInt("AutoRestart", value); }
  std::int32_t GetAutoClose() { return GetPropInt("AutoClose"); }
  void SetAutoClose(std::int32_t value) { SetPropInt("AutoClose", value); }
  std::uint32_t GetAutoDelay() { return GetPropDw("AutoDelay"); }
  void SetAutoDelay(std::uint32_t value) { SetPropDw("AutoDelay", value); }
  bool GetSendBtnVisible() { return GetPropBool("SendBtnVis"); }
  void SetSendBtnVisible(bool value) { SetPropBool("SendBtnVis", value); }
  bool GetSaveBtnVisible() { return GetPropBool("SaveBtnVis"); }
  void SetSaveBtnVisible(bool value) { SetPropBool("SaveBtnVis", value); }
  bool GetPrintBtnVisible() { return GetPropBool("PrintBtnVis"); }
  void SetPrintBtnVisible(bool value) { SetPropBool("PrintBtnVis", value); }
  bool GetShowBtnVisible() { return GetPropBool("ShowBtnVis"); }
  void SetShowBtnVisible(bool value) { SetPropBool("ShowBtnVis", value); }
  bool GetContinueBtnVisible() { return GetPropBool("ContinueBtnVis"); }
  void SetContinueBtnVisible(bool value) { SetPropBool("ContinueBtnVis", value); }
  bool GetRestartBtnVisible() { return GetPropBool("RestartBtnVis"); }
  void SetRestartBtnVisible(bool value) { SetPropBool("RestartBtnVis", value); }
  bool GetCloseBtnVisible() { return GetPropBool("CloseBtnVis"); }
  void SetCloseBtnVisible(bool value) { SetPropBool("CloseBtnVis", value); }
  TReportButton GetFocusedButton() { return static_cast<TReportButton>(GetPropInt("FocusedBtn")); }
  void SetFocusedButton(TReportButton value) {
    SetPropInt("FocusedBtn", static_cast<std::int32_t>(value));
  }
  std::string GetSendAssistant() { return GetPropStr("SendAssis"); }
  void SetSendAssistant(std::string_view value) { SetPropStr("SendAssis", value); }
  std::string GetSaveAssistant() { return GetPropStr("SaveAssis"); }
  void SetSaveAssistant(std::string_view value) { SetPropStr("SaveAssis", value); }
  std::string GetPrintAssistant() { return GetPropStr("PrintAssis"); }
  void SetPrintAssistant(std::string_view value) { SetPropStr("PrintAssis", value); }
  bool GetAutoShowBugReport() { return GetPropBool("AutoShowBugRep"); }
  void SetAutoShowBugReport(bool value) { SetPropBool("AutoShowBugRep", value); }
  bool GetNoOwnerDrawButtons() { return GetPropBool("UglyBtns"); }
  void SetNoOwnerDrawButtons(bool value) { SetPropBool("UglyBtns", value); }
  bool GetSendInBackground() { return GetPropBool("SendInBackgr"); }
  void SetSendInBackground(bool value) { SetPropBool("SendInBackgr", value); }
  std::string GetMailAddr() { return GetPropStr("MailAddr"); }
  void SetMailAddr(std::string_view value) { SetPropStr("MailAddr", value); }
  bool GetUploadToFogBugz() { return GetPropBool("FogBugz"); }
  void SetUploadToFogBugz(bool value) { SetPropBool("FogBugz", value); }
  bool GetUploadToBugZilla() { return GetPropBool("BugZilla"); }
  void SetUploadToBugZilla(bool value) { SetPropBool("BugZilla", value); }
  bool GetUploadToMantis() { return GetPropBool("Mantis"); }
  void SetUploadToMantis(bool value) { SetPropBool("Mantis", value); }
  bool GetUploadToCustomScript() { return GetPropBool("UploadViaHttp"); }
  void SetUploadToCustomScript(bool value) { SetPropBool("UploadViaHttp", value); }
  std::string GetHttpServer() { return GetPropStr("HttpServer"); }
  void SetHttpServer(std::string_view value) { SetPropStr("HttpServer", value); }
  bool GetHttpSsl() { return GetPropBool("HttpSsl"); }
  void SetHttpSsl(bool value) { SetPropBool("HttpSsl", value); }
  bool GetHttpCheckCertificate() { return GetPropBool("HttpCheckCert"); }
  // Milliseconds that one upload may take, all its requests together.
  std::int32_t GetHttpTimeout() { return GetPropInt("HttpTimeout"); }
  std::int32_t GetHttpPort() { return GetPropInt("HttpPort"); }
  void SetHttpPort(std::int32_t value) { SetPropInt("HttpPort", value); }
  std::string GetHttpAccount() { return GetPropStr("HttpAccount"); }
  void SetHttpAccount(std::string_view value) { SetPropStr("HttpAccount", value); }
  std::string GetHttpPassword() { return GetPropStr("HttpPassword"); }
  void SetHttpPassword(std::string_view value) { SetPropStr("HttpPassword", value); }
  std::string GetBugTrackerAccount() { return GetPropStr("BugTrAccount"); }
  void SetBugTrackerAccount(std::string_view value) { SetPropStr("BugTrAccount", value); }
  std::string GetBugTrackerPassword() { return GetPropStr("BugTrPassword"); }
  void SetBugTrackerPassword(std::string_view value) { SetPropStr("BugTrPassword", value); }
  std::string GetBugTrackerProject() { return GetPropStr("BugTrProject"); }
  void SetBugTrackerProject(std::string_view value) { SetPropStr("BugTrProject", value); }
  std::string GetBugTrackerArea() { return GetPropStr("BugTrArea"); }
  void SetBugTrackerArea(std::string_view value) { SetPropStr("BugTrArea", value); }
  std::string GetBugTrackerAssignTo() { return GetPropStr("BugTrAssignTo"); }
  void SetBugTrackerAssignTo(std::string_view value) { SetPropStr("BugTrAssignTo", value); }
  bool GetMailAsSmtpServer() { return GetPropBool("MailAsSmtpServer"); }
  void SetMailAsSmtpServer(bool value) { SetPropBool("MailAsSmtpServer", value); }
  bool GetMailAsSmtpClient() { return GetPropBool("MailAsSmtpClient"); }
  void SetMailAsSmtpClient(bool value) { SetPropBool("MailAsSmtpClient", value); }
  std::string GetSmtpServer() { return GetPropStr("SmtpServer"); }
  void SetSmtpServer(std::string_view value) { SetPropStr("SmtpServer", value); }
  bool GetSmtpSsl() { return GetPropBool("SmtpSsl"); }
  void SetSmtpSsl(bool value) { SetPropBool("SmtpSsl", value); }
  bool GetSmtpTls() { return GetPropBool("SmtpTls"); }
  void SetSmtpTls(bool value) { SetPropBool("SmtpTls", value); }
  std::int32_t GetSmtpPort() { return GetPropInt("SmtpPort"); }
  void SetSmtpPort(std::int32_t value) { SetPropInt("SmtpPort", value); }
  std::string GetSmtpAccount() { return GetPropStr("SmtpAccount"); }
  void SetSmtpAccount(std::string_view value) { SetPropStr("SmtpAccount", value); }
  std::string GetSmtpPassword() { return GetPropStr("SmtpPassword"); }
  void SetSmtpPassword(std::string_view value) { SetPropStr("SmtpPassword", value); }
  bool GetMailViaMapi() { return GetPropBool("MailViaMapi"); }
  void SetMailViaMapi(bool value) { SetPropBool("MailViaMapi", value); }
  bool GetMailViaMailto() { return GetPropBool("MailViaMailto"); }
  void SetMailViaMailto(bool value) { SetPropBool("MailViaMailto", value); }
  std::string GetMailFrom() { return GetPropStr("MailFrom"); }
  void SetMailFrom(std::string_view value) { SetPropStr("MailFrom", value); }
  bool GetAttachBugReport() { return GetPropBool("AttachBugRep"); }
  void SetAttachBugReport(bool value) { SetPropBool("AttachBugRep", value); }
  bool GetAttachBugReportFile() { return GetPropBool("AttachBugRepFile"); }
  void SetAttachBugReportFile(bool value) { SetPropBool("AttachBugRepFile", value); }
  bool GetDeleteBugReportFile() { return GetPropBool("DelBugRepFile"); }
  void SetDeleteBugReportFile(bool value) { SetPropBool("DelBugRepFile", value); }
  std::string GetBugReportSendAs() { return GetPropStr("BugRepSendAs"); }
  void SetBugReportSendAs(std::string_view value) { SetPropStr("BugRepSendAs", value); }
  std::string GetBugReportZip() { return GetPropStr("BugRepZip"); }
  void SetBugReportZip(std::string_view value) { SetPropStr("BugRepZip", value); }
  std::int32_t GetScreenShotDepth() { return GetPropInt("ScrShotDepth"); }
  void SetScreenShotDepth(std::int32_t value) { SetPropInt("ScrShotDepth", value); }
  bool GetScreenShotAppOnly() { return GetPropBool("ScrShotAppOnly"); }
  void SetScreenShotAppOnly(bool value) { SetPropBool("ScrShotAppOnly", value); }
  std::string GetScreenShotSendAs() { return GetPropStr("ScrShotSendAs"); }
  void SetScreenShotSendAs(std::string_view value) { SetPropStr("ScrShotSendAs", value); }
  std::string GetScreenShotZip() { return GetPropStr("ScrShotZip"); }
  void SetScreenShotZip(std::string_view value) { SetPropStr("ScrShotZip", value); }
  std::string GetBugReportFile() { return GetPropStr("BugRepFile"); }
  void SetBugReportFile(std::string_view value) { SetPropStr("BugRepFile", value); }
  bool GetAppendBugReports() { return GetPropBool("AppendBugReps"); }
  void SetAppendBugReports(bool value) { SetPropBool("AppendBugReps", value); }
  std::uint32_t GetBugReportFileSize() { return GetPropDw("BugRepFileSize"); }
  void SetBugReportFileSize(std::uint32_t value) { SetPropDw("BugRepFileSize", value); }
  bool GetNoDupExcepts() { return GetPropBool("NoDupExcepts"); }
  void SetNoDupExcepts(bool value) { SetPropBool("NoDupExcepts", value); }
  bool GetNoDupFreezes() { return GetPropBool("NoDupFreezes"); }
  void SetNoDupFreezes(bool value) { SetPropBool("NoDupFreezes", value); }
  TDuplicateRule GetDupExceptDef() {
    return static_cast<TDuplicateRule>(GetPropInt("DupExceptDef"));
  }
  void SetDupExceptDef(TDuplicateRule value) {
    SetPropInt("DupExceptDef", static_cast<std::int32_t>(value));
  }
  TDuplicateRule GetDupFreezeDef() {
    return static_cast<TDuplicateRule>(GetPropInt("DupFreezeDef"));
  }
  void SetDupFreezeDef(TDuplicateRule value) {
    SetPropInt("DupFreezeDef", static_cast<std::int32_t>(value));
  }
  bool GetListThreads() { return GetPropBool("ListThreads"); }
  void SetListThreads(bool value) { SetPropBool("ListThreads", value); }
  bool GetShowCpuRegisters() { return GetPropBool("CpuRegs"); }
  void SetShowCpuRegisters(bool value) { SetPropBool("CpuRegs", value); }
  bool GetShowStackDump() { return GetPropBool("StackDump"); }
  void SetShowStackDump(bool value) { SetPropBool("StackDump", value); }
  bool GetShowDisAsm() { return GetPropBool("ShowDisAsm"); }
  void SetShowDisAsm(bool value) { SetPropBool("ShowDisAsm", value); }
  bool GetHideUglyItems() { return GetPropBool("HideUglyItems"); }
  void SetHideUglyItems(bool value) { SetPropBool("HideUglyItems", value); }
  bool GetShowRelativeAddrs() { return GetPropBool("ShowRelAddrs"); }
  void SetShowRelativeAddrs(bool value) { SetPropBool("ShowRelAddrs", value); }
  bool GetShowRelativeLines() { return GetPropBool("ShowRelLines"); }
  void SetShowRelativeLines(bool value) { SetPropBool("ShowRelLines", value); }
  bool GetFormatDisassembly() { return GetPropBool("FormatDisAsm"); }
  void SetFormatDisassembly(bool value) { SetPropBool("FormatDisAsm", value); }
  std::int32_t GetLimitDisassembly() { return GetPropInt("LimitDisAsm"); }
  void SetLimitDisassembly(std::int32_t value) { SetPropInt("LimitDisAsm", value); }
  std::string GetTitleBar() { return GetPropStr("TitleBar"); }
  void SetTitleBar(std::string_view value) { SetPropStr("TitleBar", value); }
  std::string GetExceptMsg() { return GetPropStr("ExceptMsg"); }
  void SetExceptMsg(std::string_view value) { SetPropStr("ExceptMsg", value); }
  std::string GetFrozenMsg() { return GetPropStr("FrozenMsg"); }
  void SetFrozenMsg(std::string_view value) { SetPropStr("FrozenMsg", value); }
  std::string GetBitFaultMsg() { return GetPropStr("BitFaultMsg"); }
  void SetBitFaultMsg(std::string_view value) { SetPropStr("BitFaultMsg", value); }
  std::string GetSendBtnCaption() { return GetPropStr("SendBtnTxt"); }
  void SetSendBtnCaption(std::string_view value) { SetPropStr("SendBtnTxt", value); }
  std::string GetSaveBtnCaption() { return GetPropStr("SaveBtnTxt"); }
  void SetSaveBtnCaption(std::string_view value) { SetPropStr("SaveBtnTxt", value); }
  std::string GetPrintBtnCaption() { return GetPropStr("PrintBtnTxt"); }
  void SetPrintBtnCaption(std::string_view value) { SetPropStr("PrintBtnTxt", value); }
  std::string GetShowBtnCaption() { return GetPropStr("ShowBtnTxt"); }
  void SetShowBtnCaption(std::string_view value) { SetPropStr("ShowBtnTxt", value); }
  std::string GetContinueBtnCaption() { return GetPropStr("ContinueBtnTxt"); }
  void SetContinueBtnCaption(std::string_view value) { SetPropStr("ContinueBtnTxt", value); }
  std::string GetRestartBtnCaption() { return GetPropStr("RestartBtnTxt"); }
  void SetRestartBtnCaption(std::string_view value) { SetPropStr("RestartBtnTxt", value); }
  std::string GetCloseBtnCaption() { return GetPropStr("CloseBtnTxt"); }
  void SetCloseBtnCaption(std::string_view value) { SetPropStr("CloseBtnTxt", value); }
  std::string GetOkBtnCaption() { return GetPropStr("OkBtnTxt"); }
  void SetOkBtnCaption(std::string_view value) { SetPropStr("OkBtnTxt", value); }
  std::string GetDetailsBtnCaption() { return GetPropStr("DetailsBtnTxt"); }
  void SetDetailsBtnCaption(std::string_view value) { SetPropStr("DetailsBtnTxt", value); }
  std::string GetPleaseWaitTitle() { return GetPropStr("PlWaitTitle"); }
  void SetPleaseWaitTitle(std::string_view value) { SetPropStr("PlWaitTitle", value); }
  std::string GetPleaseWaitText() { return GetPropStr("PlWaitText"); }
  void SetPleaseWaitText(std::string_view value) { SetPropStr("PlWaitText", value); }
  std::string GetBugTrackerTitle() { return GetPropStr("BugTrTitle"); }
  void SetBugTrackerTitle(std::string_view value) { SetPropStr("BugTrTitle", value); }
  std::string GetBugTrackerDescription() { return GetPropStr("BugTrDescr"); }
  void SetBugTrackerDescription(std::string_view value) { SetPropStr("BugTrDescr", value); }
  std::string GetMailSubject() { return GetPropStr("MailSubj"); }
  void SetMailSubject(std::string_view value) { SetPropStr("MailSubj", value); }
  std::string GetMailBody() { return GetPropStr("MailBody"); }
  void SetMailBody(std::string_view value) { SetPropStr("MailBody", value); }
  std::string GetSendBoxTitle() { return GetPropStr("SendBoxTitle"); }
  void SetSendBoxTitle(std::string_view value) { SetPropStr("SendBoxTitle", value); }
  std::string GetPrepareAttachMsg() { return GetPropStr("PrepAttMsg"); }
  void SetPrepareAttachMsg(std::string_view value) { SetPropStr("PrepAttMsg", value); }
  std::string GetMxLookupMsg() { return GetPropStr("MxLookMsg"); }
  void SetMxLookupMsg(std::string_view value) { SetPropStr("MxLookMsg", value); }
  std::string GetConnectMsg() { return GetPropStr("ConnMsg"); }
  void SetConnectMsg(std::string_view value) { SetPropStr("ConnMsg", value); }
  std::string GetSendMailMsg() { return GetPropStr("SendMailMsg"); }
  void SetSendMailMsg(std::string_view value) { SetPropStr("SendMailMsg", value); }
  std::string GetFieldsMsg() { return GetPropStr("FieldMsg"); }
  void SetFieldsMsg(std::string_view value) { SetPropStr("FieldMsg", value); }
  std::string GetSendAttachMsg() { return GetPropStr("SendAttMsg"); }
  void SetSendAttachMsg(std::string_view value) { SetPropStr("SendAttMsg", value); }
  std::string GetSendFinalizeMsg() { return GetPropStr("SendFinalMsg"); }
  void SetSendFinalizeMsg(std::string_view value) { SetPropStr("SendFinalMsg", value); }
  std::string GetSendFailureMsg() { return GetPropStr("SendFailMsg"); }
  void SetSendFailureMsg(std::string_view value) { SetPropStr("SendFailMsg", value); }
};

// The settings of one module, as the interception and the exception processing read them.
class IModuleSettings : public IReporterSettings {
 public:
  // False when the module carries no settings resource.
  virtual bool IsValid() = 0;
  // Reads the module's settings resource again; false when it is gone or broken.
  virtual bool Reload() = 0;

  bool Enabled() { return GetPropBool("Enabled"); }
  bool LinkInSettings() { return !GetPropBool("NoSettings"); }
  bool LinkInMapFile() { return GetPropStr("MinDebugInfo").empty(); }
  bool CheckFileCrc() { return GetPropBool("CheckFileCrc"); }
  bool CheckForFreeze() { return GetPropBool("CheckFreeze"); }
  std::uint32_t FreezeTimeout() { return GetPropDw("FreezeTimeout"); }
  bool ReportLeaks() { return GetPropBool("ReportLeaks"); }
  bool CrashOnOverrun() { return GetPropBool("CrashOnBuffer") && !GetPropBool("CrashOnUnderrun"); }
  bool CrashOnUnderrun() { return GetPropBool("CrashOnBuffer") && GetPropBool("CrashOnUnderrun"); }

  std::string GetFilter1Classes() { return GetPropStr("F1Classes"); }
  void SetFilter1Classes(std::string_view value) { SetPropStr("F1Classes", value); }
  std::string GetFilter2Classes() { return GetPropStr("F2Classes"); }
  void SetFilter2Classes(std::string_view value) { SetPropStr("F2Classes", value); }
  bool GetFilter1NoBugReport() { return GetPropBool("F1NoBugRep"); }
  void SetFilter1NoBugReport(bool value) { SetPropBool("F1NoBugRep", value); }
  bool GetFilter1NoScreenShot() { return GetPropBool("F1NoScrShot"); }
  void SetFilter1NoScreenShot(bool value) { SetPropBool("F1NoScrShot", value); }
  bool GetFilter1NoSuspend() { return GetPropBool("F1NoSuspend"); }
  void SetFilter1NoSuspend(bool value) { SetPropBool("F1NoSuspend", value); }
  bool GetFilter1NoHandlers() { return GetPropBool("F1NoHandlers"); }
  void SetFilter1NoHandlers(bool value) { SetPropBool("F1NoHandlers", value); }
  TShowSetting GetFilter1ShowSetting() {
    return static_cast<TShowSetting>(GetPropInt("F1ShowCfg"));
  }
  void SetFilter1ShowSetting(TShowSetting value) {
    SetPropInt("F1ShowCfg", static_cast<std::int32_t>(value));
  }
  std::string GetFilter1Assistant() { return GetPropStr("F1Assis"); }
  void SetFilter1Assistant(std::string_view value) { SetPropStr("F1Assis", value); }
  bool GetFilter2NoBugReport() { return GetPropBool("F2NoBugRep"); }
  void SetFilter2NoBugReport(bool value) { SetPropBool("F2NoBugRep", value); }
  bool GetFilter2NoScreenShot() { return GetPropBool("F2NoScrShot"); }
  void SetFilter2NoScreenShot(bool value) { SetPropBool("F2NoScrShot", value); }
  bool GetFilter2NoSuspend() { return GetPropBool("F2NoSuspend"); }
  void SetFilter2NoSuspend(bool value) { SetPropBool("F2NoSuspend", value); }
  bool GetFilter2NoHandlers() { return GetPropBool("F2NoHandlers"); }
  void SetFilter2NoHandlers(bool value) { SetPropBool("F2NoHandlers", value); }
  TShowSetting GetFilter2ShowSetting() {
    return static_cast<TShowSetting>(GetPropInt("F2ShowCfg"));
  }
  void SetFilter2ShowSetting(TShowSetting value) {
    SetPropInt("F2ShowCfg", static_cast<std::int32_t>(value));
  }
  std::string GetFilter2Assistant() { return GetPropStr("F2Assis"); }
  void SetFilter2Assistant(std::string_view value) { SetPropStr("F2Assis", value); }
  bool GetGeneralNoBugReport() { return GetPropBool("GnNoBugRep"); }
  void SetGeneralNoBugReport(bool value) { SetPropBool("GnNoBugRep", value); }
  bool GetGeneralNoScreenShot() { return GetPropBool("GnNoScrShot"); }
  void SetGeneralNoScreenShot(bool value) { SetPropBool("GnNoScrShot", value); }
  bool GetGeneralNoSuspend() { return GetPropBool("GnNoSuspend"); }
  void SetGeneralNoSuspend(bool value) { SetPropBool("GnNoSuspend", value); }
  bool GetGeneralNoHandlers() { return GetPropBool("GnNoHandlers"); }
  void SetGeneralNoHandlers(bool value) { SetPropBool("GnNoHandlers", value); }
  TShowSetting GetGeneralShowSetting() {
    return static_cast<TShowSetting>(GetPropInt("GnShowCfg"));
  }
  void SetGeneralShowSetting(TShowSetting value) {
    SetPropInt("GnShowCfg", static_cast<std::int32_t>(value));
  }
  std::string GetGeneralAssistant() { return GetPropStr("GnAssis"); }
  void SetGeneralAssistant(std::string_view value) { SetPropStr("GnAssis", value); }
  bool GetWindowsLogo() { return GetPropBool("WindowsLogo"); }
  void SetWindowsLogo(bool value) { SetPropBool("WindowsLogo", value); }
};

// The settings object of one module.
class TReporterSettings : public IModuleSettings, public ISettingsWriteBack {
 public:
  // References the module's settings (loading them on first use); the hooks replace the
  // resource reader and the message box in tests.
  explicit TReporterSettings(Platform::ModuleHandle module, const SettingsLoadHooks& hooks = {});
  ~TReporterSettings() override;
  TReporterSettings(const TReporterSettings&) = delete;
  TReporterSettings& operator=(const TReporterSettings&) = delete;

  bool GetPropBool(std::string_view name) override;
  std::int32_t GetPropInt(std::string_view name) override;
  std::uint32_t GetPropDw(std::string_view name) override;
  std::string GetPropStr(std::string_view name) override;
  bool SetPropBool(std::string_view name, bool value) override;
  bool SetPropInt(std::string_view name, std::int32_t value) override;
  bool SetPropDw(std::string_view name, std::uint32_t value) override;
  bool SetPropStr(std::string_view name, std::string_view value) override;
  TReporterSettings* GetSelf() override { return this; }
  void FillFormCache(IFieldList& values) override;
  void ReadFormCache(IFieldList& values) override;

  Platform::ModuleHandle Module() override { return module_; }
  std::shared_ptr<IFieldList> GetAdditionalFields() override;
  std::shared_ptr<IAttachmentList> GetAdditionalAttachments() override;
  std::string VersionVar() override { return versionVar_; }
  bool IsValid() override { return settings_ != nullptr; }
  bool Reload() override;

  void WriteBack(std::string_view key, const std::string& value) override;

  // The text as stored, before any placeholder is expanded: this module's record, the default
  // table's, or the main settings' text when this module defers to them.
  std::string GetPropStrAsStored(std::string_view name);
  // Expands every placeholder for this module; the exception-dependent ones take the given
  // values, which by default are the placeholders themselves, kept for a later expansion.
  std::string ExpandText(std::string_view text, const TExceptionPlaceholders& exception = {});

 protected:
  // The first record of that name in the module's list, else (when allowed) in the default
  // table; null when neither has one.
  const SettingsProperty* FindProperty(std::string_view name, bool allowDefault) const;
  // Defaults apply to the main module; other modules ask the main settings first.
  bool DefaultsAllowed() const;

 private:
  template <class TValue, class TRead, class TAskMain>
  TValue Read(std::string_view name, TRead read, TAskMain askMain);
  bool CanWrite(std::string_view name, TPropertyType typ) const;

  Platform::ModuleHandle module_;
  SettingsLoadHooks hooks_;
  SettingsModule* settings_ = nullptr;
  std::string versionVar_;
  std::mutex listsLock_;
  std::shared_ptr<TFieldList> fields_;
  std::shared_ptr<TAttachmentList> attachments_;
  std::shared_ptr<TFieldList> formCache_;
};

// False for the keys whose texts are read as stored: the freeze message, and the report file's
// name, whose placeholders only the fallback path in the user's folder expands.
bool ExpandsPlaceholders(std::string_view key);

// The settings object the reporter created for its own module at start-up; null before.
std::shared_ptr<TReporterSettings> MainSettings();
// Installs (or with null removes) the main settings object.
void SetMainSettings(std::shared_ptr<TReporterSettings> settings);

// The module that holds the reporter's code.
Platform::ModuleHandle ReporterModule();

// The settings that apply to a module (0: the executable). A module that carries settings
// but leaves them to another ("NoSettings") gets the reporter module's, when those are valid
// and its own.
std::shared_ptr<IModuleSettings> SettingsForModule(Platform::ModuleHandle module,
                                                   const SettingsLoadHooks& hooks = {});
// The settings of the module whose image contains the address; the reporter module's when
// that module has none of its own.
std::shared_ptr<IModuleSettings> SettingsForAddress(const void* address,
                                                    const SettingsLoadHooks& hooks = {});

// Expands the placeholders of a text for a module and an exception.
std::string ExpandPlaceholders(std::string_view text, Platform::ModuleHandle module,
                               std::string_view exceptClass, std::string_view errorDetails,
                               std::string_view bugReport, std::string_view exceptMsg);

}  // namespace Reporter::Settings
