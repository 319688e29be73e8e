#pragma once

#include <string>

#include "reporter/settings/reporter_settings.h"

// The start-up test of the program's own file against the checksum stamp the build gave it.
namespace Reporter::Integrity {

enum class TFileCheck {
  Intact,
  Damaged,     // the stamp does not match the file's bytes
  NotStamped,  // no stamp at its place: every build stamps the program, so it counts as damaged
  Unreadable,  // the file could not be read: nothing is known, so nothing is reported
};

// True for the results that are reported with "BitFaultMsg".
bool IsDamaged(TFileCheck result);

// Reads the whole file and tests its stamp.
TFileCheck CheckProgramFile(const std::string& fileName);

struct TProgramFileCheck {
  TFileCheck Result = TFileCheck::Unreadable;
  std::string FileName;
  // "BitFaultMsg" with its placeholders filled in when the file is damaged; empty otherwise.
  std::string FaultMessage;

  bool Damaged() const { return IsDamaged(Result); }
};

// Tests the file and takes the text to show from the settings.
TProgramFileCheck CheckProgramFile(const std::string& fileName,
                                   Settings::IReporterSettings& settings);

// The file of the settings' module: the running executable for the main module's settings.
std::string OwnProgramFileName(Settings::IReporterSettings& settings);

// Tests the file of the settings' module (the running executable for the main module's
// settings) and takes the text to show from those settings.
TProgramFileCheck CheckOwnProgramFile(Settings::IReporterSettings& settings);

}  // namespace Reporter::Integrity
