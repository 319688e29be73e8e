#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "reporter/core/exception_types.h"
#include "reporter/settings/field_list.h"

namespace Reporter::Core {

class IReportedException;

// Called with the current report after each change; complete tells whether every section is
// final.
using TBugReportCallback = void (*)(bool complete, const std::string& bugReport,
                                    const std::shared_ptr<IReportedException>& exceptIntf);

// The bug report of one exception while it is built: its header and sections, the text
// composed of them, the completion that walks the threads, and who hears of each change.
class IBugReport {
 public:
  virtual ~IBugReport() = default;

  virtual std::shared_ptr<Settings::IFieldList> GetBugReportHeader() = 0;
  virtual std::shared_ptr<Settings::IFieldList> GetBugReportSections() = 0;
  // timeoutMilliseconds < 0 waits without limit.
  virtual std::string GetBugReport(bool mustBeComplete, std::int32_t timeoutMilliseconds) = 0;
  std::string GetBugReport_() { return GetBugReport(true, -1); }
  virtual void SetBugReport(const std::string& text) = 0;
  virtual bool GetComplete() = 0;
  // Complete the report on the calling thread when it is first needed complete, instead of
  // starting the completion thread.
  virtual void SetDontCompleteYet(bool value) = 0;
  virtual void CompleteBugReport() = 0;
  virtual std::thread::id GetCompleteThreadId() = 0;
  // tid of the index-th thread section; 0 beyond the end.
  virtual Platform::ThreadId GetThreadId(int index) = 0;
  virtual Tracer::TStackTrace GetCallstack(int index) = 0;
  // Elements 0..2 of the "callstack crc" values; 0 for other indexes.
  virtual std::uint32_t GetCallstackCrc(int index) = 0;

  // A new callback is appended and called at once with the current report; one already
  // listed only gets the new critical flag.
  virtual void RegisterBugReportCallback(TBugReportCallback callback, bool critical) = 0;
  virtual void UnregisterBugReportCallback(TBugReportCallback callback) = 0;
  virtual bool CriticalBugReportCallbackExists() = 0;
};

}  // namespace Reporter::Core
