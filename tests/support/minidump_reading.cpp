#include "support/minidump_reading.h"

#include <sstream>

#include "platform/child_process.h"
#include "support/helper_process.h"

namespace TestSupport {
namespace {

std::uint64_t Little(const std::string& bytes, std::size_t at, int size) {
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

bool Inside(const std::string& bytes, std::uint64_t at, std::uint64_t size) {
  return at <= bytes.size() && size <= bytes.size() - at;
}

// A debugger that hangs on a damaged dump fails the test instead of stopping the run.
constexpr std::uint32_t kDebuggerTimeoutMilliseconds = 120000;

}  // namespace

TMinidump ReadMinidump(const std::string& bytes) {
  TMinidump dump;
  if (!Inside(bytes, 0, 32) || Little(bytes, 0, 4) != 0x504d444d ||
      (Little(bytes, 4, 4) & 0xffff) != 0xa793) {
    return dump;
  }
  const std::uint64_t count = Little(bytes, 8, 4);
  const std::uint64_t directory = Little(bytes, 12, 4);
  if (!Inside(bytes, directory, count * 12)) return dump;
  dump.valid = true;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::size_t entry = static_cast<std::size_t>(directory + 12 * i);
    const auto type = static_cast<std::uint32_t>(Little(bytes, entry, 4));
    const std::uint64_t size = Little(bytes, entry + 4, 4);
    const std::uint64_t rva = Little(bytes, entry + 8, 4);
    dump.streamTypes.push_back(type);
    if (!Inside(bytes, rva, size)) {
      dump.valid = false;
      continue;
    }
    const auto at = static_cast<std::size_t>(rva);
    if (type == 3 && size >= 4) {  // the thread list
      const std::uint64_t threads = Little(bytes, at, 4);
      if (size < 4 + threads * 48) {
        dump.valid = false;
        continue;
      }
      for (std::uint64_t t = 0; t < threads; ++t) {
        dump.threadIds.push_back(static_cast<std::uint32_t>(
            Little(bytes, at + 4 + static_cast<std::size_t>(48 * t), 4)));
      }
    } else if (type == 6 && size >= 168) {  // the exception
      dump.exceptionThread = static_cast<std::uint32_t>(Little(bytes, at, 4));
      dump.exceptionCode = static_cast<std::uint32_t>(Little(bytes, at + 8, 4));
      dump.exceptionAddress = Little(bytes, at + 24, 8);
    }
  }
  return dump;
}

std::optional<std::string> DebuggerView(const std::string& dump, const std::string& program) {
  const Platform::CapturedRun version = Platform::RunCaptured("lldb --version", 30000);
  if (!version.started || version.exitCode != 0) return std::nullopt;
  const Platform::CapturedRun run =
      Platform::RunCaptured("lldb --no-lldbinit --batch -c " + Quoted(dump) +
                                " -o \"thread list\" -o \"bt all\" " + Quoted(program),
                            kDebuggerTimeoutMilliseconds);
  if (!run.started || run.timedOut) return std::string("(lldb did not finish)");
  return run.output;
}

std::string StoppedThreadBacktrace(const std::string& debuggerOutput) {
  const std::size_t all = debuggerOutput.find("bt all");
  std::istringstream lines(debuggerOutput.substr(all == std::string::npos ? 0 : all));
  std::string line;
  std::string backtrace;
  bool inside = false;
  while (std::getline(lines, line)) {
    const std::size_t start = line.find_first_not_of(' ');
    const bool threadLine = start != std::string::npos && line.compare(start, 8, "* thread") == 0;
    const bool otherThread = start != std::string::npos && line.compare(start, 7, "thread ") == 0;
    if (threadLine)
      inside = true;
    else if (otherThread)
      inside = false;
    if (inside) backtrace += line + "\n";
  }
  return backtrace;
}

std::size_t DebuggerThreadCount(const std::string& debuggerOutput) {
  const std::size_t list = debuggerOutput.find("thread list");
  const std::size_t end = debuggerOutput.find("bt all");
  if (list == std::string::npos) return 0;
  const std::string part = debuggerOutput.substr(list, end == std::string::npos ? end : end - list);
  std::size_t count = 0;
  for (std::size_t at = part.find("thread #"); at != std::string::npos;
       at = part.find("thread #", at + 1)) {
    ++count;
  }
  return count;
}

}  // namespace TestSupport
