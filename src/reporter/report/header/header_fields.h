#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reporter/report/header/field_pairs.h"
#include "reporter/settings/placeholders.h"

// The header of a bug report: the machine, the program and the exception, one line each.
namespace Reporter::Report {

// The keys of the lines that other parts of the reporter read or rewrite: the completion sets
// the check values, the upload files the others in fields of their own.
namespace HeaderKey {
inline constexpr char ComputerName[] = "computer name";
inline constexpr char Version[] = "version";
inline constexpr char CallstackCrc[] = "callstack crc";
inline constexpr char ExceptionClass[] = "exception class";
inline constexpr char ExceptionMessage[] = "exception message";
}  // namespace HeaderKey

// The "callstack crc" value of the three check values: "$0041a2c4, $9e03b7d1, $5c6f0a22".
std::string CallstackCrcText(std::uint32_t first, std::uint32_t running, std::uint32_t others);

struct THeaderInput {
  Settings::TLocalTime Time;               // when the reported exception was created
  std::optional<std::string> VersionText;  // the module's version text, when it has one
  std::uint64_t ExceptionNumber = 0;       // 1 for the first report of the process
  bool Frozen = false;                     // a freeze: "EFrozen", FrozenMessage as message
  std::string FrozenMessage;
  std::string ExceptClass;    // as GetExceptClass gives it
  std::string ExceptMessage;  // normalised; left out when equal to the class
  TFieldPairs PluginFields;   // plugins without a section of their own
};

struct THeader {
  TFieldPairs Fields;   // in order; values that came out empty are left out
  int InsertIndex = 0;  // where fields added later go (the list's insertion index)
};

// Every header value, each computed in its own guard (a value that fails is left out);
// "callstack crc" reads "will be calculated soon".
THeader BuildHeaderFields(const THeaderInput& input);

// One step of the header: the (key, value) pairs it produces, none when its line does not
// apply. A value that comes out empty is produced but not stored.
struct THeaderLine {
  std::string Name;  // the key, or the first of the keys the step may use
  std::function<TFieldPairs(const THeaderInput&)> Produce;
};

// This program's header steps, in the order of the lines.
std::vector<THeaderLine> StandardHeaderLines();

// Runs each step in its own guard: a step that throws produces nothing. Values are stored
// trimmed. InsertIndex is the number of pairs produced before "callstack crc" minus one
// (empty ones included); the number of stored fields when no step produced it.
THeader BuildHeaderFields(const THeaderInput& input, const std::vector<THeaderLine>& lines);

// Marks the reporter's start, from which "program up time" counts (else from the process's
// start), and makes the header's operating-system text the settings' "%os%".
void NoteReporterStart();

}  // namespace Reporter::Report
