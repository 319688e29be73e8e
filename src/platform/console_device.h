#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What standard output is, and the one system call that writes to it. The console's line
// buffering and ordering on top of it are the same on every platform (console.cpp).
namespace Platform::ConsoleDevice {

// Readies standard output for the program's lines; true when it is a terminal (a console
// window), whose lines go out one by one and show their umlauts.
[[nodiscard]] bool Open();

// Writes one line to the terminal at once.
void WriteTerminalLine(std::string_view utf8Text);

// One line as the bytes a file or a pipe gets: the platform's byte encoding and line end.
std::string RedirectedLine(std::string_view utf8Text);

// Writes bytes to standard output. Failures are ignored on purpose: a closed or broken
// redirect must never stop the update.
void Write(const char* data, std::size_t size);

}  // namespace Platform::ConsoleDevice
