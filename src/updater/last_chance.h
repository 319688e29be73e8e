#pragma once

#include <exception>

namespace Update {

// What the program does with an exception that nothing handled: it tells the person at the
// console what failed. Returns the process's exit status.
int ReportUnhandledException(std::exception_ptr exception);

}  // namespace Update
