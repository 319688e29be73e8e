// The steps of this program's header, in the order of its lines.
#include <functional>
#include <utility>

#include "platform/known_folders.h"
#include "platform/machine_info.h"
#include "platform/module_info.h"
#include "platform/process.h"
#include "platform/system_lists.h"
#include "reporter/report/header/header_fields.h"
#include "reporter/report/header/header_formats.h"
#include "reporter/report/header/header_texts.h"
#include "reporter/report/header/operating_system.h"
#include "reporter/report/header/program_up_time.h"
#include "rtl/parameters.h"

namespace Reporter::Report {
namespace {

// A step that always produces its one line.
THeaderLine Always(std::string key, std::function<std::string(const THeaderInput&)> value) {
  return {key, [key, value = std::move(value)](const THeaderInput& input) -> TFieldPairs {
            return {{key, value(input)}};
          }};
}

// A step that produces its line only when the value applies.
THeaderLine WhenPresent(std::string key,
                        std::function<std::optional<std::string>(const THeaderInput&)> value) {
  return {key, [key, value = std::move(value)](const THeaderInput& input) -> TFieldPairs {
            if (auto text = value(input)) return {{key, std::move(*text)}};
            return {};
          }};
}

std::string FreeDiskSpace() {
  return FreeDiskSpaceText(Platform::QueryFreeDiskSpace(), ReportDecimalSeparator());
}

std::optional<std::string> CommandLine() {
  std::string line = Platform::RawCommandLine();
  if (RTL::Parameters::Split(line).size() < 2) return std::nullopt;
  return line;
}

std::string Version(const THeaderInput& input) {
  if (input.VersionText && !input.VersionText->empty()) return *input.VersionText;
  return Platform::ModuleVersion(Platform::MainModule()).value_or(std::string());
}

std::optional<std::string> ExceptionClass(const THeaderInput& input) {
  if (input.Frozen) return std::nullopt;
  return input.ExceptClass;
}

std::optional<std::string> ExceptionMessage(const THeaderInput& input) {
  if (input.Frozen) return FoldSpaces(input.FrozenMessage);
  if (input.ExceptMessage == input.ExceptClass) return std::nullopt;
  return FoldSpaces(input.ExceptMessage);
}

}  // namespace

std::vector<THeaderLine> StandardHeaderLines() {
  using Input = const THeaderInput&;
  return {
      Always("date/time", [](Input input) { return ReportDateTimeText(input.Time); }),
      Always(HeaderKey::ComputerName, [](Input) { return Platform::ComputerName(); }),
      // Always produced, also outside a remote session, where it counts without a line.
      Always("wts client name", [](Input) { return Platform::RemoteClientName(); }),
      Always("user name", [](Input) { return UserText(Platform::CurrentUserAccount()); }),
      WhenPresent("registered owner",
                  [](Input) -> std::optional<std::string> {
                    const auto owner = Platform::RegisteredOwner();
                    if (!owner) return std::nullopt;
                    return RegisteredOwnerText(*owner);
                  }),
      Always("operating system", [](Input) { return OperatingSystemText(); }),
      Always("system language", [](Input) { return Platform::SystemLanguageName(); }),
      Always("system up time",
             [](Input) {
               const auto seconds = Platform::SystemUpTimeSeconds();
               return seconds ? DurationToStr(*seconds) : std::string();
             }),
      Always("program up time",
             [](Input) { return ProgramUpTimeText(ProgramUpTimeMilliseconds()); }),
      {"processor",
       [](Input) -> TFieldPairs {
         auto [key, value] = ProcessorField(Platform::QueryProcessors());
         return {{std::move(key), std::move(value)}};
       }},
      Always("physical memory",
             [](Input) {
               const auto memory = Platform::QueryPhysicalMemory();
               return memory ? PhysicalMemoryText(*memory) : std::string();
             }),
      Always("free disk space", [](Input) { return FreeDiskSpace(); }),
      Always("display mode",
             [](Input) {
               const auto mode = Platform::QueryDisplayMode();
               return mode ? DisplayModeText(*mode) : std::string();
             }),
      Always("process id", [](Input) { return ProcessIdText(Platform::CurrentProcessId()); }),
      Always("allocated memory",
             [](Input) { return SizeToStr(Platform::AllocatedMemoryOutsideModules()); }),
      Always("largest free block",
             [](Input) { return SizeToStr(Platform::LargestFreeAddressBlock()); }),
      WhenPresent("command line", [](Input) { return CommandLine(); }),
      Always("executable", [](Input) { return FileNameOfPath(Platform::ExecutablePath()); }),
      // "current module" would name a reporter living in a library of its own; this one is
      // linked into the executable.
      Always("exec. date/time",
             [](Input) {
               const auto written = Platform::ExecutableWriteTime();
               return written ? FileDateTimeText(*written) : std::string();
             }),
      Always(HeaderKey::Version, Version),
      WhenPresent("bde version",
                  [](Input) { return Platform::LoadedLibraryVersion("idapi32.dll"); }),
      Always("compiled with", [](Input) { return Platform::CompilerDescription(); }),
      Always("Exvora version", [](Input) { return std::string("5.0.0"); }),
      {"plugins", [](Input input) { return input.PluginFields; }},
      Always(HeaderKey::CallstackCrc, [](Input) { return std::string("will be calculated soon"); }),
      Always("exception number", [](Input input) { return std::to_string(input.ExceptionNumber); }),
      WhenPresent(HeaderKey::ExceptionClass, ExceptionClass),
      WhenPresent(HeaderKey::ExceptionMessage, ExceptionMessage),
  };
}

}  // namespace Reporter::Report
