#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Platform {

// A program started with its standard input and output as pipes to this process; its
// standard error is this process's. It inherits no other handle or descriptor of ours. Every
// wait takes a deadline; a program still running when the object goes is killed and reaped.
// The tests and the demo use it to talk to the programs they run.
class ChildProcess {
 public:
  // Starts the program that the command line names (taken from it as StartProcess does).
  explicit ChildProcess(const std::string& commandLine);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Whether the program runs (or ran); every call below does nothing when it never did.
  bool Started() const;
  std::uint32_t Id() const;

  // The next line it writes, without its line end; empty when its output ends or the time is
  // up before a whole line came.
  std::optional<std::string> ReadLine(std::uint32_t timeoutMilliseconds);
  // Ends its standard input: a program that reads it sees the end.
  void CloseInput();
  // Waits for its end, not for the end of its output: programs it started may hold that open.
  // What it writes meanwhile goes to output, when given, after what ReadLine read ahead. Its
  // exit code (128 + the signal that ended it on POSIX); empty when the time is up first.
  std::optional<int> WaitForExit(std::uint32_t timeoutMilliseconds, std::string* output = nullptr);
  // Kills it unless it has ended and waits for its end; its exit code, -1 when unknown.
  int Kill();

  struct State;

 private:
  // Cuts the first whole line (without its line end) off what was read ahead; none when no
  // line end has come yet.
  static std::optional<std::string> TakeLine(std::string& readAhead);

  std::unique_ptr<State> state_;
};

struct CapturedRun {
  bool started = false;
  bool timedOut = false;
  int exitCode = -1;
  std::string output;  // the bytes the program wrote to its standard output
};

// Runs the program with its standard input ended at once, waits for its end and returns
// what it wrote to standard output. A program still running after timeoutMilliseconds is
// killed.
[[nodiscard]] CapturedRun RunCaptured(const std::string& commandLine,
                                      std::uint32_t timeoutMilliseconds);

}  // namespace Platform
