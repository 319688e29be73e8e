#include "reporter/integrity/program_file_check.h"

#include <optional>
#include <vector>

#include "platform/file.h"
#include "platform/module_info.h"
#include "platform/process.h"
#include "reporter/integrity/checksum_stamp.h"

namespace Reporter::Integrity {

bool IsDamaged(TFileCheck result) {
  return result == TFileCheck::Damaged || result == TFileCheck::NotStamped;
}

TFileCheck CheckProgramFile(const std::string& fileName) {
  std::optional<Platform::File> file =
      Platform::File::Open(fileName, Platform::File::Mode::OpenExistingRead);
  if (!file) return TFileCheck::Unreadable;
  std::vector<std::uint8_t> bytes;
  if (!file->ReadToEnd(bytes)) return TFileCheck::Unreadable;
  switch (CheckStamp(bytes)) {
    case TStampCheck::Matches:
      return TFileCheck::Intact;
    case TStampCheck::Mismatch:
      return TFileCheck::Damaged;
    case TStampCheck::NoStamp:
      break;
  }
  return TFileCheck::NotStamped;
}

TProgramFileCheck CheckProgramFile(const std::string& fileName,
                                   Settings::IReporterSettings& settings) {
  TProgramFileCheck check;
  check.FileName = fileName;
  check.Result = CheckProgramFile(fileName);
  if (check.Damaged()) check.FaultMessage = settings.GetBitFaultMsg();
  return check;
}

TProgramFileCheck CheckOwnProgramFile(Settings::IReporterSettings& settings) {
  std::string fileName = Platform::ModuleFileName(settings.Module());
  if (fileName.empty()) fileName = Platform::ExecutablePath();
  return CheckProgramFile(fileName, settings);
}

}  // namespace Reporter::Integrity
