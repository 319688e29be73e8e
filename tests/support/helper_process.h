#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/scoped_temp_dir.h"

namespace TestSupport {

// The programs the tests start are built beside the test programs: helpers in the same
// folder, the fake database-update tool and caller in its "fakes" subfolder.
std::string TestProgramPath(std::string_view name);
std::string FakeProgramPath(std::string_view name);

// ".exe" where programs carry it, else empty: needed where a program file is copied.
std::string ExecutableSuffix();

// The text in double quotes, as one parameter of a command line.
std::string Quoted(std::string_view text);

// A helper program (LockHolder, WindowHolder) running in the background while the object
// lives. It gets the arguments plus a ready and a release file; the constructor waits until
// the program has written the ready file, the destructor lets it end and waits for that.
class HelperProcess {
 public:
  HelperProcess(std::string_view program, const std::vector<std::string>& arguments);
  ~HelperProcess();
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;

  // What the program wrote into its ready file; empty when it did not start or not in time.
  const std::string& ReadyText() const { return readyText_; }

  // Lets the program end and waits until it has released what it held.
  void Release();

 private:
  ScopedTempDir folder_;
  std::string readyFile_;
  std::string releaseFile_;
  std::string readyText_;
  bool running_ = false;
};

}  // namespace TestSupport
