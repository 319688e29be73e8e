#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace E2E {

// A temporary world for one run of the real updater: a staging folder, an installation
// folder (with a blank in its name, as "Program Files" has), the fake database-update tool
// and a fake caller in it, and a record file where both note how they were started.
class UpdateWorld : public ::testing::Test {
 protected:
  UpdateWorld();
  ~UpdateWorld() override;

  std::string Staged(const std::string& name) const;
  std::string Installed(const std::string& name) const;
  // The caller's executable in the installation folder.
  std::string CallerExe() const;

  // Runs Update with these arguments; returns its standard output split into lines.
  std::vector<std::string> RunUpdate(const std::string& arguments);
  int exitCode = -1;
  std::string rawOutput;

  // The lines the fakes recorded ("DBUpdate<TAB>parameter<TAB>parameter..."); waits
  // up to a minute for at least `atLeast` lines, since the caller is not waited for.
  std::vector<std::string> Records(std::size_t atLeast = 0) const;

  // The bytes the updater writes for these lines on a redirected standard output.
  static std::string ExpectedOutput(const std::vector<std::string>& lines);
  // Redirected standard output split into UTF-8 lines.
  static std::vector<std::string> OutputLines(const std::string& output);

  // A copy of the build that reports to the test tracker, in a folder of its own (created),
  // so that the bug report it saves beside itself is this run's alone; its path. Its job's
  // pauses last a hundredth of the real ones.
  std::string CopyTrackedProgram(const std::string& folder) const;
  // Runs a program with its standard output redirected into a file by the system's command
  // interpreter; its exit code.
  static int RunWithOutputFile(const std::string& program, const std::string& arguments,
                               const std::string& outputFile);

  TestSupport::ScopedTempDir root;
  std::string staging;
  std::string installation;
  std::string recordFile;

 private:
  std::string savedRecordVariable_;
  std::string savedProfile_;
};

}  // namespace E2E
