#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "reporter/delivery/win_http.h"
#include "reporter/settings/reporter_settings.h"
#include "reporter/ui/progress_alert.h"

// Sends a finished bug report: here as a new case in the bug tracker, with the report file
// attached.
namespace Reporter::Delivery {

// The values of the report that the delivery uses on their own: the exception's for the mail's
// placeholders, the others as the new case's fields. They come from the reported exception as
// they stand in the report's header, never read back from its text, so that the wording of a
// header line cannot empty a field.
struct TReportValues {
  std::string exceptClass;
  std::string exceptMsg;  // empty when the header leaves it out (it only repeats the class)
  std::string version;
  std::string computerName;
  std::string callstackCrc;  // the three check values as the header shows them
};

// What a delivery needs from the reported exception; the exception processing fills it.
struct TDeliveryRequest {
  // The reported exception's settings; kept alive by the sending thread.
  std::shared_ptr<Settings::IReporterSettings> settings;
  std::string bugReport;
  TReportValues values;
  // Taken from the report's section "error details" when left empty.
  std::string errorDetails;
  // Where the report was saved; empty: the "BugRepFile" setting made absolute.
  std::string savedReportFile;
  // The crash dump written for the exception; empty when there is none. Sent after the report
  // and deleted with the saved report.
  std::string dumpFile;
  // Whether the exception's report was written to that file.
  bool reportWasSaved = true;
  // Called after a successful send: the exception's report counts as sent.
  std::function<void()> markSent;
  // Called when a fresh copy had to be written for a report that was never saved, so that it
  // still counts as not saved.
  std::function<void()> markNotSaved;
  // A folder for the attachment copies (tests); empty: the reporter's temporary folder.
  std::string temporaryFolder;
  std::shared_ptr<UI::IProgressAlert> progress;  // none: the upload's own progress box
  bool mayUseThread = true;
  bool background = false;
  bool hidden = true;
  // Replaces the HTTP client's time-outs and library (tests).
  std::uint32_t connectTimeoutMs = 60000;
  std::uint32_t receiveTimeoutMs = 30000;
  THttpSessionFactory sessionFactory;
};

// True when the report was delivered, or (when a thread may be used and the call is not one
// already) when the sending thread started; its handle goes to sendThread when given, else
// it runs detached.
bool DeliverBugReport(TDeliveryRequest request, std::thread* sendThread = nullptr);

// The reporter's temporary folder: a private folder of the user's named after the program
// without extension and ".Exvora", in the system's temporary folder (else the user's
// application data). Created when missing; "" when it cannot be had for this user alone.
std::string ReporterTemporaryFolder();
// Its path, whether or not it exists; "" when there is no place for it.
std::string ReporterTemporaryFolderPath();

}  // namespace Reporter::Delivery
