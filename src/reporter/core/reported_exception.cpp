#include <algorithm>

#include "reporter/core/exception_message.h"
#include "reporter/core/reported_exception_impl.h"
#include "rtl/class_names.h"
#include "rtl/os_exceptions.h"

namespace Reporter::Core {
namespace {

// Guards every object's callback list; taken only to change or copy a list.
std::mutex& CallbackLock() {
  static std::mutex lock;
  return lock;
}

std::mutex& ActionsLock() {
  static std::mutex lock;
  return lock;
}

TExceptionActions& Actions() {
  static TExceptionActions actions;
  return actions;
}

std::atomic<Platform::ThreadId> gHandlingThread{0};

TExceptionActions CurrentActions() {
  std::lock_guard guard(ActionsLock());
  return Actions();
}

}  // namespace

void SetExceptionActions(const TExceptionActions& actions) {
  std::lock_guard guard(ActionsLock());
  Actions() = actions;
}

void SetHandlingThreadId(Platform::ThreadId thread) {
  gHandlingThread.store(thread);
}

Platform::ThreadId HandlingThreadId() {
  return gHandlingThread.load();
}

void CompleteRequestFromObject(TExceptionRequest& request) {
  const RTL::Exception* object = RTL::AsException(request.ExceptObject);
  if (object == nullptr) return;
  const auto* fault = dynamic_cast<const RTL::EExternal*>(object);
  if (request.ExceptAddr == 0) {
    request.ExceptAddr = fault != nullptr ? fault->FaultAddress() : object->RaiseAddress();
  }
  if (!request.Context && fault != nullptr && fault->Context() != nullptr) {
    request.Context = *fault->Context();
  }
  if (!request.Context && object->RaiseContext() != nullptr) {
    request.Context = object->RaiseContext()->Registers;
    request.StackSnapshot = object->RaiseContext()->Stack;
  }
  // A fault's object is made on the handling thread: its capture holds that thread's stack.
  if (request.PreparedStack.empty() && fault == nullptr) {
    // The tracer takes candidates oldest first, as a scan of the stack meets them; the
    // unwinder found them, so each is a real return address.
    const std::vector<std::uintptr_t>& stack = object->PreparedStack();
    for (auto address = stack.rbegin(); address != stack.rend(); ++address) {
      request.PreparedStack.push_back({*address, true});
    }
  }
}

TReportedException::TReportedException(TExceptionRequest request,
                                       std::shared_ptr<Settings::IModuleSettings> settings)
    : request_(std::move(request)), settings_(std::move(settings)), overrides_(0) {
  time_ = Settings::LocalTimeNow();
  canContinue_.store(request_.CanContinue);
  if (request_.ThreadId == 0) request_.ThreadId = Platform::CurrentThreadId();
  if (request_.StackPointer == 0) {
    request_.StackPointer = Platform::CurrentThreadStackRange().Bottom;
    request_.FramePointer = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  }
  if (!request_.OsExceptionRecord) request_.OsExceptionRecord.emplace();  // zero-filled
  CompleteRequestFromObject(request_);

  const RTL::TExceptionFacts facts = RTL::ExceptionFactsOf(request_.ExceptObject);
  classNames_ = facts.ClassNames;
  exceptClass_ = facts.ClassName;
  isException_ = facts.IsException;
  // Objects of the program carry their message; foreign ones their what() or their class.
  exceptMessage_ = facts.IsException || !facts.Message.empty() ? facts.Message : facts.ClassName;
  extException_ =
      dynamic_cast<const RTL::EExternal*>(RTL::AsException(request_.ExceptObject)) != nullptr;
  try {
    if (settings_) filter_ = ApplyClassFilter(*settings_, classNames_);
  } catch (...) {
    filter_ = TFilterResult{};  // the general behaviour: report it
  }
  inner_ = request_.Inner;
}

namespace {

// The object whose completion runs on this thread, and whether its last reference went while
// the completion still ran there.
thread_local TReportedException* tCompleting = nullptr;
thread_local bool tReleasedWhileCompleting = false;

}  // namespace

void TReportedException::Release(TReportedException* object) {
  if (object == tCompleting) {
    // A reference that the completion held itself (its announcement) was the last, and its later
    // steps still use the object: it is deleted when the completion ends, which this stops.
    object->abortCompleteThread_.store(true);
    tReleasedWhileCompleting = true;
    return;
  }
  delete object;
}

void TReportedException::RunCompletionThread() {
  tCompleting = this;
  RunCompletion();
  tCompleting = nullptr;
  if (tReleasedWhileCompleting) {
    tReleasedWhileCompleting = false;
    delete this;  // on this thread: the destructor lets the thread go rather than join it
  }
}

TReportedException::~TReportedException() {
  abortCompleteThread_.store(true);
  if (completeThread_.joinable()) {
    // The completion thread may hold the last reference itself.
    if (completeThread_.get_id() == std::this_thread::get_id()) {
      completeThread_.detach();
    } else {
      completeThread_.join();
    }
  }
  if (sendThread_.joinable()) sendThread_.detach();
  if (header_) header_->ClearExcParent();
  if (sections_) sections_->ClearExcParent();
}

std::string TReportedException::GetExceptClass() {
  if (request_.ExceptType == etFrozen) return "EFrozen";
  return exceptClass_;
}

std::string TReportedException::GetExceptMessage() {
  return NormalizeExceptMessage(exceptMessage_);
}

void TReportedException::FireHandlers(TExceptPhase, bool&) {
  // No exception handler is registered in this program; firing changes nothing.
}

void TReportedException::Show() {
  if (const auto action = CurrentActions().Show) action(*this);
}

void TReportedException::ContinueApplication() {
  if (const auto action = CurrentActions().ContinueApplication) action(*this);
}

void TReportedException::RestartApplication() {
  if (const auto action = CurrentActions().RestartApplication) action(*this);
}

void TReportedException::CloseApplication() {
  if (const auto action = CurrentActions().CloseApplication) action(*this);
}

void TReportedException::RegisterBugReportCallback(TBugReportCallback callback, bool critical) {
  if (callback == nullptr) return;
  {
    std::lock_guard guard(CallbackLock());
    const auto listed = std::find_if(callbacks_.begin(), callbacks_.end(),
                                     [&](const TCallback& c) { return c.callback == callback; });
    if (listed != callbacks_.end()) {
      listed->critical = critical;
      return;
    }
    callbacks_.push_back({callback, critical});
    multiThreadedComplete_.store(true);
  }
  // The report as it is now, outside every lock; it may still be incomplete.
  const bool complete = complete_.load();
  const std::string report = GetBugReport(false, 0);
  try {
    callback(complete, report, shared_from_this());
  } catch (...) {
  }
}

void TReportedException::UnregisterBugReportCallback(TBugReportCallback callback) {
  std::lock_guard guard(CallbackLock());
  std::erase_if(callbacks_, [&](const TCallback& c) { return c.callback == callback; });
}

bool TReportedException::CriticalBugReportCallbackExists() {
  std::lock_guard guard(CallbackLock());
  return std::any_of(callbacks_.begin(), callbacks_.end(),
                     [](const TCallback& c) { return c.critical; });
}

std::vector<TReportedException::TCallback> TReportedException::CallbacksCopy() {
  std::lock_guard guard(CallbackLock());
  return callbacks_;
}

void TReportedException::SetInner(std::vector<TInnerException> inner) {
  std::lock_guard guard(stateLock_);
  inner_ = std::move(inner);
}

std::vector<TInnerException> TReportedException::GetInner() {
  std::lock_guard guard(stateLock_);
  return inner_;
}

void TReportedException::BeginUpdate() {
  ++updating_;
}

void TReportedException::EndUpdate() {
  if (--updating_ == 0 && dirty_.exchange(false)) {
    cache_.Changed();
    Announce();
  }
}

void TReportedException::SetModified() {
  if (updating_.load() > 0) {
    dirty_.store(true);
    return;
  }
  dirty_.store(false);
  cache_.Changed();
  Announce();
}

void TReportedException::Announce() {
  const std::vector<TCallback> callbacks = CallbacksCopy();
  if (callbacks.empty()) return;
  // The callbacks may outlive every other holder's reference while they run.
  std::shared_ptr<TReportedException> self = weak_from_this().lock();
  if (!self) return;
  const bool complete = complete_.load();
  const std::string report = GetBugReport(false, 0);
  for (const TCallback& entry : callbacks) {
    try {
      entry.callback(complete, report, self);
    } catch (...) {
    }
  }
}

std::thread::id TReportedException::GetCompleteThreadId() {
  std::lock_guard guard(completionLock_);
  return completeThread_.get_id();
}

Platform::ThreadId TReportedException::GetThreadId(int index) {
  std::lock_guard guard(stateLock_);
  if (index < 0 || static_cast<std::size_t>(index) >= threadStacks_.size()) return 0;
  return threadStacks_[static_cast<std::size_t>(index)].tid;
}

Tracer::TStackTrace TReportedException::GetCallstack(int index) {
  std::lock_guard guard(stateLock_);
  if (index < 0 || static_cast<std::size_t>(index) >= threadStacks_.size()) return {};
  return threadStacks_[static_cast<std::size_t>(index)].callstack;
}

std::uint32_t TReportedException::GetCallstackCrc(int index) {
  std::lock_guard guard(stateLock_);
  if (index < 0 || index > 2) return 0;
  return callstackCrc_[static_cast<std::size_t>(index)];
}

std::shared_ptr<IReportedException> CreateReportedException(
    TExceptionRequest request, std::shared_ptr<Settings::IModuleSettings> settings) {
  try {
    if (!settings) {
      CompleteRequestFromObject(request);
      settings = Settings::SettingsForAddress(
          reinterpret_cast<const void*>(static_cast<std::uintptr_t>(request.ExceptAddr)));
    }
    // Not make_shared: a release on the completion thread must be able to wait for its end.
    return std::shared_ptr<TReportedException>(
        new TReportedException(std::move(request), std::move(settings)),
        &TReportedException::Release);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace Reporter::Core
