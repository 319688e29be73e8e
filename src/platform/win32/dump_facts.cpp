#include "platform/dump_facts.h"

// The system's dump writer gathers all of this itself.
namespace Platform {

std::vector<TDumpModule> DumpModules() {
  return {};
}

TDumpSystem DumpSystem() {
  return {};
}

std::string DumpMemoryMapText() {
  return {};
}

std::string DumpProcessStatusText() {
  return {};
}

}  // namespace Platform
