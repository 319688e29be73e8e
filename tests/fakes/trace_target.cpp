// TraceTarget [deaf] <ready-file> <release-file>: answers trace requests with a text that
// names its process and the limit asked for (unless deaf: then it takes none), writes its
// process id into <ready-file> once it answers, and ends when <release-file> appears,
// deleting <ready-file> as it goes.
#include <string>

#include "fakes/ready_release.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/system_lists.h"
#include "platform/trace_request.h"
#include "rtl/parameters.h"

namespace {

std::string Answer(std::int32_t limit) {
  return "Prozess " + std::to_string(Platform::CurrentProcessId()) + ", Grenze " +
         std::to_string(limit) + ": ü";
}

}  // namespace

int main() {
  const auto parameters = RTL::Parameters::Split(Platform::RawCommandLine());
  const bool deaf = parameters.size() == 4 && parameters[1].text == "deaf";
  if (parameters.size() != (deaf ? 4u : 3u)) return 2;
  const std::string& readyFile = parameters[deaf ? 2 : 1].text;
  const std::string& releaseFile = parameters[deaf ? 3 : 2].text;
  if (!deaf && !(Platform::InstallTraceEntry(Answer) && Platform::StartTraceListener())) return 1;
  Fakes::WriteText(readyFile, std::to_string(Platform::CurrentProcessId()));
  Fakes::WaitForFile(releaseFile);
  (void)Platform::DeleteOneFile(readyFile);  // the test's folder goes with it
  return 0;
}
