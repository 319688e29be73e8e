#include "platform/command_line.h"

#include <algorithm>

#include "rtl/parameters.h"

namespace Platform::CommandLine {
namespace {

bool NeedsQuotes(const std::string& argument) {
  const bool hasBlank = std::any_of(argument.begin(), argument.end(),
                                    [](char c) { return static_cast<unsigned char>(c) <= 32; });
  return hasBlank && argument.find('"') == std::string::npos;
}

}  // namespace

std::string Join(const std::vector<std::string>& arguments) {
  std::string line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += ' ';
    if (NeedsQuotes(arguments[i])) {
      line += '"' + arguments[i] + '"';
    } else {
      line += arguments[i];
    }
  }
  return line;
}

std::vector<ProgramCandidate> ProgramCandidates(std::string_view commandLine) {
  const std::vector<RTL::Parameters::Parameter> parameters = RTL::Parameters::Split(commandLine);
  std::vector<ProgramCandidate> candidates;
  for (std::size_t last = 0; last < parameters.size(); ++last) {
    // A quote ends the path: it cannot reach past a quoted part.
    if (last > 0 && parameters[last].quoted) break;
    ProgramCandidate candidate;
    candidate.program = last == 0
                            ? parameters[0].text
                            : std::string(commandLine.substr(
                                  parameters[0].begin, parameters[last].end - parameters[0].begin));
    for (std::size_t i = last + 1; i < parameters.size(); ++i) {
      candidate.arguments.push_back(parameters[i].text);
    }
    candidates.push_back(std::move(candidate));
    if (parameters[0].quoted) break;
  }
  return candidates;
}

}  // namespace Platform::CommandLine
