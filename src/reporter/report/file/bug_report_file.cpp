#include "reporter/report/file/bug_report_file.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/file.h"
#include "platform/process.h"
#include "platform/report_file_io.h"
#include "reporter/report/file/report_path.h"

namespace Reporter::Report {
namespace {

std::optional<Platform::ExclusiveFile> OpenWithFolders(const std::string& path,
                                                       Platform::PathStyle style) {
  CreateMissingFolders(path, style);
  return Platform::ExclusiveFile::OpenOrCreate(path);
}

std::string FileBytes(std::string_view report) {
  std::string bytes(report);
  bytes += "\r\n\r\n";
  return bytes;
}

bool WriteNewFile(const std::string& path, const void* data, std::size_t size) {
  auto file = Platform::ExclusiveFile::CreateNew(path);
  return file && file->ReplaceContent(data, size);
}

bool HasSeparator(std::string_view name, Platform::PathStyle style) {
  return name.find('\\') != std::string_view::npos ||
         (style == Platform::PathStyle::Posix && name.find('/') != std::string_view::npos);
}

}  // namespace

std::string ResolveReportPath(std::string_view name) {
  return ResolveReportPath(name, Platform::ExecutablePath(), Platform::NativePathStyle());
}

TReportFileContext ProgramReportFileContext() {
  TReportFileContext context;
  context.ExecutablePath = Platform::ExecutablePath();
  context.Style = Platform::NativePathStyle();
  context.Expand = [](std::string_view text) {
    return Settings::ExpandPlaceholders(text, Platform::ModuleHandle{0}, "%exceptClass%",
                                        "%errorDetails%", "%bugReport%", "%exceptMsg%");
  };
  return context;
}

bool SaveBugReportFile(std::string_view fileName, std::string_view report,
                       Settings::IReporterSettings& settings, bool automatic) {
  try {
    return SaveBugReportFile(fileName, report, settings, automatic, ProgramReportFileContext());
  } catch (...) {
    return false;
  }
}

bool SaveBugReportFile(std::string_view fileName, std::string_view report,
                       Settings::IReporterSettings& settings, bool /*automatic*/,
                       const TReportFileContext& context) {
  try {
    if (report.empty()) return false;
    const std::string configured = settings.GetBugReportFile();
    const std::string path =
        !fileName.empty() ? std::string(fileName)
                          : ResolveReportPath(configured, context.ExecutablePath, context.Style);
    auto file = OpenWithFolders(path, context.Style);
    if (!file && !HasSeparator(configured, context.Style) && context.Expand) {
      file = OpenWithFolders(
          FallbackReportPath(configured, context.ExecutablePath, context.Style, context.Expand),
          context.Style);
    }
    if (!file) return false;
    // Overwrite mode: appending to earlier reports is switched off in this program.
    const std::string bytes = FileBytes(report);
    const bool written = file->ReplaceContent(bytes.data(), bytes.size());
    file->Close();
    return written;
  } catch (...) {
    return false;
  }
}

bool SaveNewBugReportFile(const std::string& path, std::string_view report) {
  try {
    if (report.empty()) return false;
    const std::string bytes = FileBytes(report);
    return WriteNewFile(path, bytes.data(), bytes.size());
  } catch (...) {
    return false;
  }
}

bool CopyBugReportFile(const std::string& source, const std::string& target) {
  try {
    auto file = Platform::File::Open(source, Platform::File::Mode::OpenExistingRead);
    std::vector<std::uint8_t> bytes;
    if (!file || !file->ReadToEnd(bytes)) return false;
    file->Close();
    return WriteNewFile(target, bytes.data(), bytes.size());
  } catch (...) {
    return false;
  }
}

}  // namespace Reporter::Report
