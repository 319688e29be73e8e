#pragma once

#include <string>

#include "reporter/interception/report_reading.h"
#include "support/scoped_temp_dir.h"

// One run of the crash-matrix program, from a copy of its own in a temporary folder, so that
// the bug report it saves beside itself belongs to this run alone.
namespace CrashMatrixTesting {

class TMatrixRun {
 public:
  // Where the system writes the dump (Windows), its writer takes many seconds under Wine: a run
  // whose test reads no dump goes without one there. The reporter's own writer always runs.
  explicit TMatrixRun(bool readsDump = false);

  // The copied program's path.
  const std::string& Program() const { return program_; }
  // Runs the row with standard output captured.
  void Run(const std::string& row);

  int exitCode = -1;
  bool timedOut = false;
  ReportReading::Lines lines;       // what it printed
  ReportReading::TPrinted printed;  // split at the failure line
  bool Saved() const;               // whether bugreport.txt is beside the program
  // Its lines, the empty ones at the end dropped.
  ReportReading::Lines SavedReport() const;

 private:
  TestSupport::ScopedTempDir folder_;
  std::string program_;
  bool readsDump_;
};

}  // namespace CrashMatrixTesting
