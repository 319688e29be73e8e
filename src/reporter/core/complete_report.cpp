// The completion: every thread's stack walked, the processor state, the plugins' lists and the
// check values, each producer in its own guard.
#include <algorithm>
#include <chrono>

#include "reporter/core/reported_exception_impl.h"
#include "reporter/core/thread_title.h"
#include "reporter/report/header/header_fields.h"
#include "reporter/report/sections/disassembly.h"
#include "reporter/report/sections/location_line.h"
#include "reporter/report/sections/machine_state.h"
#include "reporter/report/sections/stack_lines.h"
#include "reporter/report/system_lists/bug_report_plugins.h"
#include "reporter/report/tracer/stack_tracer.h"
#include "reporter/ui/progress_alert.h"
#include "rtl/class_names.h"
#include "rtl/exceptions.h"

namespace Reporter::Core {
namespace {

struct TThreadText {
  std::string Text;
  Report::TStackLines Lines;
  Address FirstAddr = 0;
};

std::string InternalError(const char* producer, const std::exception_ptr& failure,
                          const Report::TSectionOptions& options) {
  const RTL::Exception* object = RTL::AsException(failure);
  return Report::InternalErrorText(producer, object != nullptr ? object->RaiseAddress() : 0,
                                   options);
}

}  // namespace

void TReportedException::UpdateSection(const std::string& title, const std::string& content) {
  if (Aborted() || !sections_) return;
  BeginUpdate();
  sections_->SetContent(title, content);
  EndUpdate();
}

void TReportedException::CompleteBugReport() {
  GetBugReportSections();
  if (Aborted()) return;
  const Report::TSectionOptions options{GetShowRelativeAddrs(), GetShowRelativeLines()};
  Tracer::TTraceOptions traceOptions;
  traceOptions.HideUglyItems = GetHideUglyItems();
  traceOptions.ShowRelAddrs = options.ShowRelAddrs;
  traceOptions.ShowRelLines = options.ShowRelLines;
  traceOptions.Abort = &abortCompleteThread_;
  // Each thread's trace moves the please-wait box through that thread's area.
  const std::shared_ptr<UI::IProgressAlert> box = PleaseWaitBox();
  if (box) {
    traceOptions.Progress = [box](int position) {
      box->SetPosition(position);
      box->ProcessMessages();
    };
  }
  std::vector<std::string> debugInfos;

  // Walks and formats one thread section; its text, or the failure's.
  const auto traceThread = [&](std::size_t index, TThreadText& out) {
    TThreadStack stack;
    {
      std::lock_guard guard(stateLock_);
      stack = threadStacks_[index];
    }
    try {
      Tracer::TThreadTraceInput input;
      input.tid = stack.tid;
      input.stackBottom = stack.stackBottom;
      input.stackTop = stack.stackTop;
      input.ebp = stack.ebp;
      input.exceptAddr = stack.exceptAddr;
      input.exceptThread = stack.exceptThread;
      input.extException = stack.extException;
      input.bcbTermination = stack.bcbTermination;
      input.creatorAddr = stack.creatorAddr;
      input.preparedStack = stack.preparedStack;
      const Tracer::TTraceResult result = Tracer::BuildCallStack(input, traceOptions);
      if (!result.FailedStage.empty()) {
        out.Text = Report::FailedTraceText(result, stack.exceptThread, stack.exceptAddr, options);
      } else {
        Tracer::TStackTrace trace = Tracer::ToStackTrace(result, traceOptions);
        for (const std::string& info : result.DebugInfos) {
          if (std::find(debugInfos.begin(), debugInfos.end(), info) == debugInfos.end()) {
            debugInfos.push_back(info);
          }
        }
        out.Lines = Report::FormatStackLines(trace, options);
        out.FirstAddr = trace.empty() ? 0 : trace.front().Addr;
        out.Text = out.Lines.Text;
        if (stack.creatorAddr != 0 || stack.creatorTid != 0) {
          out.Text = Report::InsertCreatorLine(out.Text, ThreadTitle(stack.creatorTid, true));
        }
        if (stack.innerExceptNo > 0) {
          out.Text =
              ">> " + stack.innerExceptClass + ", " + stack.innerExceptMessage + "\r\n" + out.Text;
        }
        std::lock_guard guard(stateLock_);
        threadStacks_[index].callstack = std::move(trace);
      }
    } catch (...) {
      out.Text = InternalError("GetThreadReport", std::current_exception(), options);
    }
    UpdateSection(stack.threadName, out.Text);
    if (box) box->AreaDone();
  };
  const auto guarded = [&](const char* producer, const std::string& title, auto produce) {
    if (Aborted()) return;
    std::string text;
    try {
      text = produce();
    } catch (...) {
      text = InternalError(producer, std::current_exception(), options);
    }
    UpdateSection(title, text);
  };

  // 1. Without "ListThreads" only the failing thread's sections stay.
  std::size_t count = 0;
  {
    std::lock_guard guard(stateLock_);
    if (!GetListThreads()) {
      const auto others = std::find_if(threadStacks_.begin(), threadStacks_.end(),
                                       [](const TThreadStack& s) { return !s.exceptThread; });
      threadStacks_.erase(others, threadStacks_.end());
    }
    count = threadStacks_.size();
  }

  // 2. The failing thread first: its check values identify the crash.
  Address disassemblyAddr = request_.ExceptAddr;
  if (count > 0 && !Aborted()) {
    TThreadText failing;
    traceThread(0, failing);
    if (failing.FirstAddr != 0) disassemblyAddr = failing.FirstAddr;
    std::lock_guard guard(stateLock_);
    callstackCrc_[0] = failing.Lines.FirstCrc;
    callstackCrc_[1] = failing.Lines.RunningCrc;
    callstackCrc_[2] = failing.Lines.RunningCrc;
  }

  // 3. The processor state: the exception's, or the innermost inner exception's.
  const std::vector<TInnerException> inner = GetInner();
  const Platform::TThreadContext* context = GetContext();
  if (!inner.empty()) context = inner.back().Context ? &*inner.back().Context : nullptr;
  if (context != nullptr && GetShowCpuRegisters()) {
    guarded("GetCpuRegisters", "cpu registers", [&] { return Report::CpuRegistersText(*context); });
  }
  if (context != nullptr && GetShowStackDump()) {
    guarded("GetStackDump", "stack dump", [&] {
      return inner.empty() && !request_.StackSnapshot.empty()
                 ? Report::FormatStackDump(context->Sp, request_.StackSnapshot)
                 : Report::StackDumpText(context->Sp);
    });
  }
  if (inner.empty() && GetShowDisAsm()) {
    const int limit = GetLimitDisassembly();
    guarded("GetCleartextDisAsm", "disassembling",
            [&] { return Report::DisassemblyText(disassemblyAddr, limit); });
  }

  // 4. The plugins' lists.
  for (const auto& plugin : Report::PluginsOfSetting(Get(Settings::Keys::Plugins))) {
    if (!plugin.ownSection) continue;
    guarded("plugin", plugin.name,
            [&] { return Report::CallBugReportPlugin(plugin, request_.ExceptObject); });
  }

  // 5. Every other thread; those with line information count into the third check value.
  for (std::size_t index = 1; index < count && !Aborted(); ++index) {
    TThreadText text;
    traceThread(index, text);
    if (text.Lines.AnyRelLine) {
      const std::uint32_t value = text.Lines.RunningCrc;
      const std::uint8_t bytes[4] = {
          static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
      std::lock_guard guard(stateLock_);
      callstackCrc_[2] = Report::CrcUpdate(callstackCrc_[2], bytes);
    }
    bool innermost = false;
    {
      std::lock_guard guard(stateLock_);
      innermost =
          !inner.empty() && threadStacks_[index].innerExceptNo == static_cast<int>(inner.size());
    }
    if (innermost && GetShowDisAsm()) {
      const int limit = GetLimitDisassembly();
      const Address at = inner.back().ExceptAddr;
      guarded("GetCleartextDisAsm", "disassembling",
              [&] { return Report::DisassemblyText(at, limit); });
    }
  }
  if (Aborted()) return;

  // 6. The check values and the modules' debug information tags, announced as complete.
  BeginUpdate();
  try {
    std::array<std::uint32_t, 3> crc{};
    {
      std::lock_guard guard(stateLock_);
      crc = callstackCrc_;
    }
    std::shared_ptr<Settings::IFieldList> header = GetBugReportHeader();
    header->SetContent(Report::HeaderKey::CallstackCrc,
                       Report::CallstackCrcText(crc[0], crc[1], crc[2]));
    for (const std::string& info : debugInfos) {
      const std::size_t bar = info.find('|');
      if (bar == std::string::npos) continue;
      header->SetContent(info.substr(0, bar) + ".Orlo", info.substr(bar + 1));
    }
  } catch (...) {
  }
  complete_.store(true);
  dirty_.store(true);
  EndUpdate();
}

void TReportedException::RunCompletion() {
  try {
    CompleteBugReport();
  } catch (...) {
  }
  {
    std::lock_guard guard(completionLock_);
    completionRunning_ = false;
  }
  completionDone_.notify_all();
  // 7. Still referenced and presented: the handlers hear of the complete report. The last
  // reference may go here, so nothing of the object is touched after this block.
  if (std::shared_ptr<TReportedException> self = weak_from_this().lock()) {
    if (self->GetPhase() == epPostProcessing) {
      self->SetPhase(epCompleteReport);
      bool handled = false;
      self->FireHandlers(epCompleteReport, handled);
    }
  }
}

void TReportedException::WaitForCompletion(std::int32_t timeoutMilliseconds) {
  std::unique_lock lock(completionLock_);
  const auto done = [&] { return !completionRunning_; };
  if (timeoutMilliseconds < 0) {
    completionDone_.wait(lock, done);
  } else {
    completionDone_.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds), done);
  }
}

}  // namespace Reporter::Core
