#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "platform/threads.h"
#include "reporter/report/tracer/trace_types.h"

// The enumerations of a reported exception and the request through which every interception
// point hands an exception to the reporter.
namespace Reporter::Core {

using Tracer::Address;

enum TExceptType : std::int32_t { etNormal, etFrozen, etHidden };

enum TExceptPhase : std::int32_t {
  epNotHandledYet,
  epQuickFiltering,
  epMainPhase,
  epPostProcessing,
  epCompleteReport
};

enum TExceptSource : std::int32_t {
  esManual,
  esAntiFreezeCheck,
  esBcbAbnormalProgramTermination,
  esSysUtilsShowException,
  esApplicationShowException,
  esApplicationHandleException,
  esCGI,
  esISAPI,
  esHttpExtension,
  esIntraweb,
  esTThreadSynchronize,
  esRuntimeError,
  esInitializePackage,
  esExceptProc,
  esSystemExceptionHandler,
  esHidden,
  esThreadFrame,
  esTThreadExecute,
  esUnhandledFilter
};

enum TExceptAction : std::int32_t {
  eaSendBugReport,
  eaSaveBugReport,
  eaPrintBugReport,
  eaSendBugReport2,
  eaSaveBugReport2,
  eaPrintBugReport2,
  eaSendBugReport3,
  eaSaveBugReport3,
  eaPrintBugReport3,
  eaShowBugReport,
  eaHelp,
  eaContinueApplication,
  eaRestartApplication,
  eaCloseApplication
};

// How a handler wants to be called; none is registered in this program.
enum TSyncType : std::int32_t { stDontSync, stTrySyncCallOnSuccess, stTrySyncCallAlways };

// The operating system's record of the exception, kept as the bytes it gave (zero without).
using TOsExceptionRecord = std::array<std::uint8_t, 80>;

// One chained inner exception, outermost first.
struct TInnerException {
  std::string ExceptClass;
  std::string ExceptMessage;
  bool ExtException = false;
  bool BcbTermination = false;
  Address ExceptAddr = 0;
  std::optional<Platform::TThreadContext> Context;
};

// What an interception point knows about one exception.
struct TExceptionRequest {
  Platform::ThreadId ThreadId = 0;  // 0: the thread that creates the reported exception
  TExceptType ExceptType = etNormal;
  std::exception_ptr ExceptObject;  // may be empty
  Address ExceptAddr = 0;           // 0: taken from the object when it knows it
  bool CanContinue = false;
  Address StackPointer = 0;  // of the failing thread; 0: the creating thread's current ones
  Address FramePointer = 0;
  std::optional<Platform::TThreadContext> Context;
  // The stack from Context->Sp up as it was when the context was taken; empty when the stack is
  // still there to read (a fault's thread waits on top of it).
  std::vector<std::uint8_t> StackSnapshot;
  std::optional<TOsExceptionRecord> OsExceptionRecord;
  std::string* BugReportOut = nullptr;  // receives the complete report; unused here
  TExceptSource Source = esManual;
  const void* RelatedObject = nullptr;
  Platform::ModuleHandle Package = 0;
  // Addresses captured when the object was raised; taken from the object when empty.
  std::vector<Tracer::TPreparedEntry> PreparedStack;
  std::vector<TInnerException> Inner;
};

// Fills what the request leaves open from the object: the raise address, the prepared stack
// and, for an operating-system fault, its address and context.
void CompleteRequestFromObject(TExceptionRequest& request);

}  // namespace Reporter::Core
