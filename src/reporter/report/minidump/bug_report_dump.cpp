#include "reporter/report/minidump/bug_report_dump.h"

#include <ctime>
#include <vector>

#include "platform/file_system.h"
#include "platform/report_file_io.h"
#include "platform/system_dump.h"
#include "reporter/report/file/report_path.h"
#include "reporter/report/minidump/minidump_format.h"

namespace Reporter::Report {
namespace {

bool HasSeparator(std::string_view name, Platform::PathStyle style) {
  return name.find('\\') != std::string_view::npos ||
         (style == Platform::PathStyle::Posix && name.find('/') != std::string_view::npos);
}

bool WriteOwnDump(const std::string& path, const std::vector<std::uint8_t>& bytes,
                  Platform::PathStyle style) {
  CreateMissingFolders(path, style);
  auto file = Platform::ExclusiveFile::OpenOrCreate(path);
  if (!file) return false;
  const bool written = file->ReplaceContent(bytes.data(), bytes.size());
  file->Close();
  return written;
}

bool WriteSystemDump(const std::string& path, const Minidump::TFailingThread& failing,
                     Platform::PathStyle style) {
  CreateMissingFolders(path, style);
  Platform::TSystemDumpException exception;
  exception.Thread = failing.Id;
  exception.Code = failing.Code;
  exception.Address = failing.ExceptAddr;
  exception.DataAddress = failing.Address;
  exception.Write = failing.Write;
  if (failing.Context) exception.Context = *failing.Context;
  return Platform::WriteSystemDump(path, exception);
}

}  // namespace

std::string DumpFileName(std::string_view reportName, Platform::PathStyle style) {
  const std::size_t separator =
      reportName.find_last_of(style == Platform::PathStyle::Posix ? "/\\" : "\\");
  const std::size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
  std::size_t dot = reportName.rfind('.');
  if (dot == std::string_view::npos || dot <= nameStart) dot = reportName.size();
  return std::string(reportName.substr(0, dot)) + ".dmp";
}

std::string SaveBugReportDump(Settings::IReporterSettings& settings,
                              const Minidump::TFailingThread& failing) {
  try {
    return SaveBugReportDump(settings, failing, ProgramReportFileContext());
  } catch (...) {
    return {};
  }
}

std::string SaveBugReportDump(Settings::IReporterSettings& settings,
                              const Minidump::TFailingThread& failing,
                              const TReportFileContext& context) {
  try {
    const std::string configured = settings.GetBugReportFile();
    const std::string name = DumpFileName(configured, context.Style);
    std::vector<std::string> places{ResolveReportPath(name, context.ExecutablePath, context.Style)};
    if (!HasSeparator(configured, context.Style) && context.Expand) {
      places.push_back(
          FallbackReportPath(name, context.ExecutablePath, context.Style, context.Expand));
    }
    const bool system = Platform::SystemDumpWriterAvailable();
    std::vector<std::uint8_t> bytes;
    if (!system) {
      bytes = Minidump::FormatMinidump(Minidump::GatherDumpContents(failing),
                                       static_cast<std::uint32_t>(std::time(nullptr)));
    }
    for (const std::string& path : places) {
      if (system ? WriteSystemDump(path, failing, context.Style)
                 : WriteOwnDump(path, bytes, context.Style)) {
        return path;
      }
    }
    return {};
  } catch (...) {
    return {};
  }
}

}  // namespace Reporter::Report
