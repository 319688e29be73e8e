#include "platform/system_dump.h"

// No system writer here: the crash reporter writes the dump itself.
namespace Platform {

bool SystemDumpWriterAvailable() {
  return false;
}

bool WriteSystemDump(const std::string&, const TSystemDumpException&) {
  return false;
}

}  // namespace Platform
