#include "reporter/delivery/deliver_bug_report.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/known_folders.h"
#include "platform/path_style.h"
#include "platform/private_folder.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "reporter/delivery/http_options.h"
#include "reporter/delivery/report_text.h"
#include "reporter/report/file/bug_report_file.h"
#include "reporter/settings/attachment_list.h"
#include "reporter/settings/field_list.h"

namespace Reporter::Delivery {
namespace {

std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

char Separator() {
  return Platform::NativePathStyle() == Platform::PathStyle::Windows ? '\\' : '/';
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '/' || last == '\\' ? folder + name : folder + Separator() + name;
}

// The file name after the last separator of either kind.
std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ProgramStem() {
  std::string name = FileNameOf(Platform::ExecutablePath());
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

bool IsAbsolute(const std::string& path) {
  return (!path.empty() && (path[0] == '/' || path[0] == '\\')) ||
         (path.size() > 1 && path[1] == ':');
}

bool MakeFolders(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(FsPath(folder), error);
  return Platform::DirectoryExists(folder);
}

std::string TickCount() {
  const auto ticks = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return std::to_string(static_cast<std::uint32_t>(ticks.count()));
}

// The sender: MailFrom, else the first recipient's address part behind the product's name.
std::string Sender(const std::string& mailFrom, const std::string& mailAddr) {
  if (!mailFrom.empty()) return mailFrom;
  if (mailAddr.empty()) return {};
  std::string first = mailAddr.substr(0, mailAddr.find_first_of(",;"));
  const auto open = first.find('<');
  return "Exvora " + (open != std::string::npos ? first.substr(open) : "<" + first + ">");
}

struct TAttachmentArrays {
  std::vector<std::string> files, sendAs, fields;
};

class TDelivery {
 public:
  explicit TDelivery(TDeliveryRequest& request) : request_(request), settings_(*request.settings) {}

  bool Run();

 private:
  void AttachBugReportFile(Settings::IAttachmentList& list);
  void AttachDumpFile(Settings::IAttachmentList& list);
  void PrepareAttachments(Settings::IAttachmentList& list, TAttachmentArrays& arrays);

  TDeliveryRequest& request_;
  Settings::IReporterSettings& settings_;
  std::string savedFile_;
  bool deleteSaved_ = false;
  std::string attachmentFolder_;
};

void TDelivery::AttachBugReportFile(Settings::IAttachmentList& list) {
  const std::string configured = settings_.GetBugReportFile();
  savedFile_ = request_.savedReportFile;
  if (savedFile_.empty()) {
    savedFile_ = Report::ResolveReportPath(configured);
    if (!Platform::FileExists(savedFile_) && configured.find('\\') == std::string::npos) {
      const auto appData = Platform::KnownFolderPath(Platform::KnownFolder::UserAppData);
      if (appData) savedFile_ = Join(Join(*appData, ProgramStem()), FileNameOf(savedFile_));
    }
  }
  std::string folder = request_.temporaryFolder;
  if (folder.empty()) {
    folder = ReporterTemporaryFolder();
  } else if (!MakeFolders(folder)) {
    folder.clear();
  }
  if (folder.empty()) return;
  attachmentFolder_ = folder;
  std::string copy = Join(folder, FileNameOf(savedFile_));

  // The copy is always a file of its own: whatever had its name goes first. Usually nothing
  // has; something that will not go makes the new copy fail, which is handled below.
  (void)Platform::DeleteOneFile(copy);
  bool writeFresh = true;
  if (settings_.GetAttachBugReportFile() && Report::CopyBugReportFile(savedFile_, copy)) {
    deleteSaved_ = settings_.GetDeleteBugReportFile();
    writeFresh = !request_.reportWasSaved;
  }
  if (writeFresh) {
    (void)Platform::DeleteOneFile(copy);
    bool written = Report::SaveNewBugReportFile(copy, request_.bugReport);
    if (!written) {
      copy = Join(folder, TickCount() + FileNameOf(copy));
      written = Report::SaveNewBugReportFile(copy, request_.bugReport);
      // A part that stays is never attached, and the folder is emptied at the next start.
      if (!written) (void)Platform::DeleteOneFile(copy);
    }
    if (!request_.reportWasSaved && request_.markNotSaved) request_.markNotSaved();
  }
  if (Platform::FileExists(copy)) {
    list.Add(copy, settings_.GetBugReportSendAs(), settings_.GetBugReportZip(), "BugReport");
  } else {
    deleteSaved_ = false;
  }
}

// The dump goes as a copy too, so that the saved one can be deleted while the upload runs.
void TDelivery::AttachDumpFile(Settings::IAttachmentList& list) {
  if (request_.dumpFile.empty()) return;
  if (attachmentFolder_.empty()) {
    attachmentFolder_ = request_.temporaryFolder.empty()        ? ReporterTemporaryFolder()
                        : MakeFolders(request_.temporaryFolder) ? request_.temporaryFolder
                                                                : std::string();
  }
  if (attachmentFolder_.empty()) return;
  const std::string name = FileNameOf(request_.dumpFile);
  const std::string copy = Join(attachmentFolder_, name);
  (void)Platform::DeleteOneFile(copy);  // as for the report's copy
  if (Report::CopyBugReportFile(request_.dumpFile, copy)) list.Add(copy, name, "", "BugReportDump");
}

void TDelivery::PrepareAttachments(Settings::IAttachmentList& list, TAttachmentArrays& arrays) {
  const std::string programFolder = Platform::ExecutableDirectory();
  for (int i = 0; i < list.GetItemCount(); ++i) {
    const auto item = list.GetItem(i);
    if (!item) continue;
    std::string file = item->originalFile;
    if (!IsAbsolute(file)) file = Join(programFolder, file);
    if (!Platform::FileExists(file)) continue;
    // No zip writer is built in: an entry meant for an archive goes as it is.
    arrays.files.push_back(file);
    arrays.sendAs.push_back(item->sendAsFileName);
    arrays.fields.push_back(item->fieldName);
  }
}

bool TDelivery::Run() {
  const std::string& report = request_.bugReport;
  std::string subject = settings_.GetMailSubject();
  std::string body = settings_.GetMailBody();
  const std::string mailAddr = settings_.GetMailAddr();
  const std::string mailFrom = settings_.GetMailFrom();

  const TReportValues& values = request_.values;
  if (request_.errorDetails.empty())
    request_.errorDetails = FindReportSection(report, "error details");
  subject = Settings::ExpandPlaceholders(subject, settings_.Module(), values.exceptClass,
                                         request_.errorDetails, report, values.exceptMsg);
  body = Settings::ExpandPlaceholders(body, settings_.Module(), values.exceptClass,
                                      request_.errorDetails, report, values.exceptMsg);
  const std::string sender = Sender(mailFrom, mailAddr);

  const bool tracker = settings_.GetUploadToFogBugz();
  Settings::TAttachmentList attachments;
  TAttachmentArrays arrays;
  // The progress box keeps its areas whether or not it is shown.
  std::shared_ptr<UI::IProgressAlert> progress =
      request_.progress
          ? request_.progress
          : UI::CreateProgressAlert(settings_.GetSendBoxTitle(), Platform::MainModule(), "");
  if (tracker) {
    if (settings_.GetAttachBugReport()) AttachBugReportFile(attachments);
    AttachDumpFile(attachments);
    if (const auto extra = settings_.GetAdditionalAttachments()) {
      for (int i = 0; i < extra->GetItemCount(); ++i) {
        if (const auto item = extra->GetItem(i)) {
          attachments.Add(item->originalFile, item->sendAsFileName, item->zipFile, item->fieldName);
        }
      }
    }
    PrepareAttachments(attachments, arrays);
    progress->AddArea(settings_.GetPrepareAttachMsg(), 100);
    progress->AddArea(settings_.GetConnectMsg(), 100);
    if (!arrays.files.empty()) progress->AddArea(settings_.GetSendAttachMsg(), 100);
    progress->AddArea(settings_.GetSendFinalizeMsg(), 100);
    if (!request_.hidden || settings_.GetAutoSendPrgrBox())
      progress->Show(Platform::WindowHandle{}, !request_.hidden);
  }

  std::shared_ptr<Settings::IFieldList> fields;
  if (const auto own = settings_.GetAdditionalFields()) fields = own->Clone();
  if (!fields) {
    auto fresh = std::make_shared<Settings::TFieldList>();
    fresh->AcceptData();
    fields = fresh;
  }
  fields->SetContent("MailFrom", sender);
  fields->SetContent("MailSubject", subject);
  fields->SetContent("MailBody", body);
  fields->SetContent("MailAddr", mailAddr);

  bool delivered = false;
  std::string server = settings_.GetHttpServer();
  if (tracker && !server.empty()) {
    if (server.back() == '/') server.pop_back();
    SetCheckCertificates(settings_.GetHttpCheckCertificate());
    TWinHttpParams params;
    params.url = server;
    params.ssl = settings_.GetHttpSsl();
    params.port = static_cast<std::uint16_t>(settings_.GetHttpPort());
    params.httpAuthUser = settings_.GetHttpAccount();
    params.httpAuthPassword = settings_.GetHttpPassword();
    params.bugTrackerUser = settings_.GetBugTrackerAccount();
    params.bugTrackerPassword = settings_.GetBugTrackerPassword();
    params.settings = &settings_;
    params.pa = progress.get();
    params.connectTimeoutMs = request_.connectTimeoutMs;
    params.receiveTimeoutMs = request_.receiveTimeoutMs;
    // A deployment may shorten or lengthen the upload, never leave it unbounded.
    const std::int32_t timeLimit = settings_.GetHttpTimeout();
    params.timeLimitMs =
        timeLimit > 0 ? static_cast<std::uint32_t>(timeLimit) : kDefaultUploadTimeLimitMs;
    params.sessionFactory = request_.sessionFactory;
    TWinHttp http(std::move(params));
    delivered = http.UploadBugToFogBugz(
        settings_.GetBugTrackerTitle(), settings_.GetBugTrackerDescription(),
        settings_.GetBugTrackerProject(), settings_.GetBugTrackerArea(),
        settings_.GetBugTrackerAssignTo(), values.version, values.computerName, sender,
        values.callstackCrc, *fields, arrays.files, arrays.sendAs, arrays.fields);
  }
  progress->Close();

  if (delivered) {
    if (request_.markSent) request_.markSent();
    if (deleteSaved_) {
      // A file that will not go is kept, as if its deletion had been switched off.
      (void)Platform::SetNormalAttributes(savedFile_);
      (void)Platform::DeleteOneFile(savedFile_);
      if (!request_.dumpFile.empty()) {
        (void)Platform::SetNormalAttributes(request_.dumpFile);
        (void)Platform::DeleteOneFile(request_.dumpFile);
      }
    }
  }
  return delivered;
}

}  // namespace

std::string ReporterTemporaryFolderPath() {
  return Platform::PrivateTemporaryFolderPath(ProgramStem() + ".Exvora");
}

std::string ReporterTemporaryFolder() {
  const std::string folder = ReporterTemporaryFolderPath();
  return Platform::MakePrivateFolder(folder) ? folder : std::string();
}

bool DeliverBugReport(TDeliveryRequest request, std::thread* sendThread) {
  if (request.bugReport.empty() || !request.settings) return false;
  if (request.mayUseThread && !request.background) {
    request.background = true;
    try {
      std::thread thread([request]() mutable { TDelivery(request).Run(); });
      if (sendThread != nullptr) {
        *sendThread = std::move(thread);
      } else {
        thread.detach();
      }
      return true;
    } catch (const std::system_error&) {
      // No thread: send on this one.
      request.background = false;
    }
  }
  return TDelivery(request).Run();
}

}  // namespace Reporter::Delivery
