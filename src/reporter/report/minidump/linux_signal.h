#pragma once

#include <cstdint>

namespace Reporter::Report::Minidump {

// The signal number a Linux dump's exception carries for a fault code of the program (the
// Windows numbering that every build reports faults in). A number that is a signal already
// stays; 0 for anything else, which debuggers read as "no signal": a code they do not know
// as a signal must not stand where one belongs.
std::uint32_t LinuxSignalOf(std::uint32_t faultCode);

}  // namespace Reporter::Report::Minidump
