// The report's sections as placeholders: a section per thread, per plugin with a section of its
// own, and the processor state; the completion fills them afterwards.
#include "platform/thread_priority.h"
#include "platform/thread_state.h"
#include "reporter/core/reported_exception_impl.h"
#include "reporter/core/reporter_threads.h"
#include "reporter/core/thread_registry.h"
#include "reporter/core/thread_title.h"
#include "reporter/report/sections/location_line.h"
#include "reporter/report/system_lists/bug_report_plugins.h"
#include "reporter/report/tracer/stack_tracer.h"

namespace Reporter::Core {
namespace {

constexpr const char* kSoon = ">> will be calculated soon";
constexpr const char* kStackSoon = ">> stack will be calculated soon";
constexpr const char* kStackNotAccessible = ">> stack not accessible";

}  // namespace

std::shared_ptr<Settings::IFieldList> TReportedException::GetBugReportSections() {
  bool fill = false;
  {
    std::lock_guard guard(stateLock_);
    if (!sections_) {
      sections_ = std::make_shared<Settings::TFieldList>();
      sections_->SetExcParent(this);
    }
    fill = filter_.CreateBugReport && !sectionsFilled_;
    sectionsFilled_ = true;
  }
  if (fill) {
    BeginUpdate();
    try {
      FillSections();
    } catch (...) {
    }
    EndUpdate();
    // Outside the bracket: a completion on this thread announces its own changes.
    StartCompletion();
  }
  return sections_;
}

void TReportedException::FillSections() {
  pendingSections_.clear();
  const Platform::ThreadId main = Platform::MainThreadId();
  const Platform::ThreadId failing = request_.ExceptType == etFrozen ? main : request_.ThreadId;
  AddThreadSection(failing, true, 0);
  const std::vector<TInnerException> inner = GetInner();
  for (std::size_t level = 1; level <= inner.size(); ++level) {
    AddThreadSection(failing, true, static_cast<int>(level));
  }
  if (main != failing) AddThreadSection(main, false, 0);
  if (GetListThreads()) {
    for (const Platform::ThreadId thread : Platform::ListThreads()) {
      if (thread != failing && thread != main) AddThreadSection(thread, false, 0);
    }
  }
  for (const auto& plugin : Report::PluginsOfSetting(Get(Settings::Keys::Plugins))) {
    if (plugin.ownSection) pendingSections_.emplace_back(plugin.name, kSoon);
  }
  if (GetShowCpuRegisters() && GetContext() != nullptr) {
    pendingSections_.emplace_back("cpu registers", kSoon);
  }
  if (GetShowStackDump() && GetContext() != nullptr) {
    pendingSections_.emplace_back("stack dump", kSoon);
  }
  if (GetShowDisAsm()) pendingSections_.emplace_back("disassembling", kSoon);

  sections_->AcceptData();
  sections_->Lock();
  for (const auto& [title, content] : pendingSections_) sections_->Add(title, content);
  sections_->Unlock();
  pendingSections_.clear();
}

void TReportedException::AddThreadSection(Platform::ThreadId thread, bool failing, int innerLevel) {
  std::string title = ThreadTitle(thread, failing);
  if (title.empty()) return;  // one of the reporter's own threads
  if (innerLevel > 0) title += ", inner exception level " + std::to_string(innerLevel);
  title += ":";
  // What holds the thread, and a priority other than the normal one, follow its title; a
  // stopped thread's stack may be out of reach, and this says why.
  if (Platform::ThreadSuspension(thread) == Platform::TThreadSuspension::Suspended) {
    title += " <suspended>";
  }
  if (const std::optional<int> priority = Platform::ThreadPriorityLevel(thread);
      priority && *priority != Platform::kThreadPriorityNormal) {
    title += " <priority:" + std::to_string(*priority) + ">";
  }

  std::string prefix;
  TInnerException innerException;
  if (innerLevel > 0) {
    const std::vector<TInnerException> inner = GetInner();
    innerException = inner[static_cast<std::size_t>(innerLevel - 1)];
    prefix = ">> " + innerException.ExceptClass + ", " + innerException.ExceptMessage + "\r\n";
  }
  const Address exceptAddr = innerLevel > 0 ? innerException.ExceptAddr : request_.ExceptAddr;
  const Report::TSectionOptions options{GetShowRelativeAddrs(), GetShowRelativeLines()};

  // Where the walk starts: the exception's context, else the recorded stack of the failing
  // thread; the current context for every other thread.
  std::optional<Tracer::TThreadTraceInput> input;
  if (failing) {
    const Platform::TThreadContext* context =
        innerLevel > 0 && innerException.Context ? &*innerException.Context : GetContext();
    const Address sp = context != nullptr ? context->Sp : request_.StackPointer;
    const Address bp = context != nullptr ? context->Bp : request_.FramePointer;
    std::optional<Platform::TStackRange> range;
    if (thread == Platform::CurrentThreadId()) {
      const Platform::TStackRange own = Platform::CurrentThreadStackRange();
      if (sp >= own.Bottom && sp < own.Top) {
        range = Platform::TStackRange{static_cast<std::uintptr_t>(sp), own.Top};
      }
    }
    if (!range) range = Platform::StackRangeAt(static_cast<std::uintptr_t>(sp));
    if (range) {
      input.emplace();
      input->tid = thread;
      input->stackBottom = range->Bottom;
      input->stackTop = range->Top;
      input->ebp = bp;
    }
  } else {
    input = Tracer::InputForThread(thread);
  }

  if (!input) {
    std::string content = prefix + kStackNotAccessible;
    if (failing)
      content += ", exception location: \r\n" + Report::LocationLine(exceptAddr, options);
    pendingSections_.emplace_back(title, content);
    return;
  }

  TThreadStack stack;
  stack.tid = thread;
  stack.threadName = title;
  stack.exceptThread = failing;
  stack.exceptAddr = failing ? exceptAddr : 0;
  stack.extException = failing && (innerLevel > 0 ? innerException.ExtException : extException_);
  stack.bcbTermination = innerLevel > 0 && innerException.BcbTermination;
  stack.stackBottom = input->stackBottom;
  stack.stackTop = input->stackTop;
  stack.ebp = input->ebp;
  if (failing && innerLevel == 0) stack.preparedStack = request_.PreparedStack;
  stack.innerExceptNo = innerLevel;
  stack.innerExceptClass = innerException.ExceptClass;
  stack.innerExceptMessage = innerException.ExceptMessage;
  TThreadEntry entry;
  if (LookUpThread(thread, entry) == TLookup::Found) {
    stack.creatorAddr = entry.CreatorAddr;
    stack.creatorTid = entry.CreatorThreadId;
  }
  {
    std::lock_guard guard(stateLock_);
    threadStacks_.push_back(std::move(stack));
  }
  std::string content = prefix;
  if (failing) content += Report::LocationLine(exceptAddr, options) + "\r\n";
  pendingSections_.emplace_back(title, content + kStackSoon);
}

void TReportedException::StartCompletion() {
  if (dontCompleteYet_.load()) return;
  bool threaded = multiThreadedComplete_.load() ||
                  (HandlingThreadId() != 0 && Platform::CurrentThreadId() == HandlingThreadId());
  {
    std::lock_guard guard(completionLock_);
    if (completionStarted_) return;
    completionStarted_ = true;
    completionRunning_ = true;
    if (threaded) {
      try {
        completeThread_ = std::thread([this] {
          const TReporterThread reporterThread(kCompletionThreadName);
          (void)Platform::RaiseCurrentThreadPriority();  // at normal priority it only runs later
          RunCompletionThread();
        });
      } catch (...) {
        threaded = false;  // no thread: the completion runs here
      }
    }
  }
  if (!threaded) {
    ShowPleaseWaitBox();
    RunCompletion();
    ClosePleaseWaitBox();
  }
}

}  // namespace Reporter::Core
