// TraceTarget <ready-file> <release-file>: answers trace requests with a text that names its
// process and the limit asked for, writes its process id into <ready-file> once it answers,
// and ends when <release-file> appears, deleting <ready-file> as it goes.
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
  if (parameters.size() < 3) return 2;
  if (!Platform::InstallTraceEntry(Answer)) return 1;
  Fakes::WriteText(parameters[1].text, std::to_string(Platform::CurrentProcessId()));
  Fakes::WaitForFile(parameters[2].text);
  Platform::DeleteOneFile(parameters[1].text);
  return 0;
}
