// TraceTarget [deaf]: answers trace requests with a text that names its process and the limit
// asked for (unless deaf: then it takes none), says its process id once it answers, and ends
// when its standard input ends.
#include <string>

#include "fakes/ready_release.h"
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
  const bool deaf = parameters.size() == 2 && parameters[1].text == "deaf";
  if (parameters.size() != (deaf ? 2u : 1u)) return 2;
  if (!deaf && !(Platform::InstallTraceEntry(Answer) && Platform::StartTraceListener())) return 1;
  Fakes::SayReady(std::to_string(Platform::CurrentProcessId()));
  Fakes::WaitForRelease();
  return 0;
}
