#include "rtl/exceptions.h"

#include <atomic>

#include "rtl/class_names.h"
#include "rtl/rtl_strings.h"

namespace RTL {
namespace {

std::atomic<TStackCapture> gCapture{nullptr};
std::atomic<TContextCapture> gContextCapture{nullptr};

// Enough for the frames that matter; deeper ones are the runtime's start-up.
constexpr std::size_t kPreparedDepth = 64;

}  // namespace

void SetStackCapture(TStackCapture capture) {
  gCapture.store(capture);
}

TStackCapture StackCapture() {
  return gCapture.load();
}

void SetContextCapture(TContextCapture capture) {
  gContextCapture.store(capture);
}

// Not inlined, so that the return address is the code that raised the exception (or the
// derived class's constructor inlined there).
__attribute__((noinline)) Exception::Exception(std::string message)
    : message_(std::move(message)),
      raiseAddress_(reinterpret_cast<std::uintptr_t>(
          __builtin_extract_return_addr(__builtin_return_address(0)))) {
  if (const TStackCapture capture = gCapture.load()) {
    try {
      std::uintptr_t buffer[kPreparedDepth];
      // The capture itself and this constructor are no part of the raising code's stack.
      const std::size_t count = capture(buffer, kPreparedDepth, 1);
      preparedStack_.assign(buffer, buffer + count);
    } catch (...) {
      preparedStack_.clear();  // an exception without its stack is still an exception
    }
  }
  if (const TContextCapture capture = gContextCapture.load()) {
    try {
      // The frame's canonical address is the raising code's stack pointer once this call
      // has returned to it. Asking for this frame's address gives it a frame pointer, whose
      // first act saved the raising code's: a debugger walks a dump's frames from that one.
      const std::uintptr_t raisingFramePointer =
          *static_cast<const std::uintptr_t*>(__builtin_frame_address(0));
      auto context = std::make_shared<TRaiseContext>();
      if (capture(raiseAddress_, reinterpret_cast<std::uintptr_t>(__builtin_dwarf_cfa()),
                  raisingFramePointer, *context)) {
        raiseContext_ = std::move(context);
      }
    } catch (...) {
    }
  }
}

std::string Exception::ClassName() const {
  return TypeName(typeid(*this));
}

std::vector<std::string> Exception::ClassNames() const {
  return TypeAndAncestorNames(typeid(*this));
}

EAbort::EAbort() : Exception(Strings::kOperationAborted) {}

}  // namespace RTL
