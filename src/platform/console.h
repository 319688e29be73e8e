#pragma once

#include <string>
#include <string_view>

// Standard output as the updater uses it: one line at a time, UTF-8 text in.
//
// On a terminal (a Windows console) every line is written at once and shows its umlauts.
// Redirected to a file or a pipe, text goes through a 128-byte buffer in the platform's
// byte encoding (Windows: the ANSI code page with CR LF; POSIX: UTF-8 with LF) and the rest
// is written when the program ends normally. Write failures are ignored: a closed or broken
// redirect must never stop the update.
namespace Platform::Console {

void WriteLine(std::string_view utf8Text);

// Writes whatever is still buffered; called on every normal end of the program.
void Flush();

// A line that becomes known only after the program has started but must come before anything
// it writes: the first WriteLine or Flush calls `firstLine` (which may wait, for a bounded
// time) and writes its text first, unless that is empty. nullptr takes it back.
void PutFirst(std::string (*firstLine)());

}  // namespace Platform::Console
