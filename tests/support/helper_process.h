#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/child_process.h"
#include "support/scoped_temp_dir.h"

namespace TestSupport {

// The programs the tests start are built beside the test programs: helpers in the same
// folder, the fake database-update tool and caller in its "fakes" subfolder.
std::string TestProgramPath(std::string_view name);
std::string FakeProgramPath(std::string_view name);

// ".exe" where programs carry it, else empty: needed where a program file is copied.
std::string ExecutableSuffix();

// The separator of this system's paths.
char Separator();

// The text in double quotes, as one parameter of a command line.
std::string Quoted(std::string_view text);

// A helper program (LockHolder, WindowHolder, ...) running while the object lives. The
// constructor waits for the line the program says once it is ready; Release (or the
// destructor) ends the program's standard input, which lets it go, and waits for its end.
class HelperProcess {
 public:
  // A program built beside the test programs, with these arguments.
  HelperProcess(std::string_view program, const std::vector<std::string>& arguments);
  explicit HelperProcess(const std::string& commandLine);
  ~HelperProcess() { (void)Release(); }
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;

  // The program's ready line; empty when it did not start or not in time.
  const std::string& ReadyText() const { return readyText_; }

  // Lets the program end and waits for that; what it said after its ready line.
  std::string Release();
  // After Release: how the program ended (-1 when it did not in time).
  int ExitCode() const { return exitCode_; }

 private:
  Platform::ChildProcess child_;
  std::string readyText_;
  int exitCode_ = -1;
};

// For what a program that the test did not start leaves behind, where nothing but a file can
// tell: the file's text once `complete` holds for it, or the last text read when it does not
// in time.
std::string AwaitFileText(const std::string& path,
                          const std::function<bool(const std::string&)>& complete);

}  // namespace TestSupport
