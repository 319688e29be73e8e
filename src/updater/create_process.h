#pragma once

#include <string>

namespace Update::CreateProcess {

// Starts the program named by the command line and, when AWait is set, waits for its end.
// A program that cannot be started is skipped silently: nothing is reported, nothing waited.
void StartProgram(const std::string& ACommandLine, bool AWait);

}  // namespace Update::CreateProcess
