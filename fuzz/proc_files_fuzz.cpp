// libFuzzer target: the parsers of what the system lists and the report's head read from /proc,
// /etc/os-release, the X authority file and an X server's setup reply take any text without
// crashing, hanging or reading outside it, and what they give back is well-formed. Every
// parser gets the whole input. Built and run by scripts/fuzz and the linux-asan preset's tests.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine_info.h"
#include "platform/posix/memory_maps.h"
#include "platform/posix/proc_texts.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckMappings(const std::string& text) {
  const std::vector<Platform::Posix::TMapping> mappings = Platform::Posix::ParseMappings(text);
  for (std::size_t i = 0; i < mappings.size(); ++i) {
    Check(mappings[i].Begin < mappings[i].End);
    Check(mappings[i].Path.find('\n') == std::string::npos);
    if (i > 0) Check(mappings[i - 1].End <= mappings[i].Begin);
  }
}

void CheckStatLines(const std::string& text) {
  const Platform::Posix::TProcessStat process = Platform::Posix::ParseProcessStat(text);
  Check(process.Name.size() + 2 <= text.size() || process.Name.empty());
  // Without a name in parentheses there is no field to read.
  if (text.find(')') == std::string::npos) Check(!process.KernelThread && !process.Nice);
  if (const auto task = Platform::Posix::ParseTaskStat(text)) {
    Check(task->State != 'Z' && task->State != 'X');
  }
  Platform::Posix::StartTimeOfStat(text);
  Platform::Posix::UpTimeOfText(text);
  Platform::Posix::SessionOfText(text);
}

void CheckMachineInfo(std::string_view text) {
  const Platform::TProcessorInfo processors = Platform::ProcessorsOfCpuInfo(text);
  Check(processors.Count >= 0 && processors.Count <= Platform::kMaxProcessorCount);
  Check(processors.Count > 0 || processors.Name.empty());
  (void)Platform::PhysicalMemoryOfMemInfo(text);  // any answer will do; it must not crash
  Check(Platform::PrettyNameOfOsRelease(text).size() <= text.size());
  Check(!Platform::LanguageNameOfLocale(text).empty());
  const std::size_t newline = text.find('\n');
  const std::string client = Platform::RemoteClientOfSsh(
      text.substr(0, newline), newline == text.npos ? "" : text.substr(newline + 1));
  Check(client.size() <= text.size());
}

void CheckX11(std::span<const std::uint8_t> bytes, std::string_view text) {
  if (const auto display = Platform::ParseX11Display(text)) {
    Check(display->Display >= 0 && display->Screen >= 0);
  }
  for (const int display : {0, 1, 10}) {
    const std::string cookie = Platform::X11CookieOf(bytes, "fuzzhost", display);
    Check(cookie.size() <= bytes.size());
    Check(Platform::X11SetupRequest(cookie).size() % 4 == 0);
  }
  for (const int screen : {-1, 0, 1, 3}) {
    if (const auto mode = Platform::DisplayModeOfX11Setup(bytes, screen)) {
      Check(mode->Width > 0 && mode->Height > 0 && screen >= 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckMappings(text);
  CheckStatLines(text);
  CheckMachineInfo(text);
  CheckX11({data, size}, text);
  return 0;
}
