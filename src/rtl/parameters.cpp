#include "rtl/parameters.h"

namespace RTL::Parameters {
namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// Reads one parameter starting at pos; pos ends just past it.
Parameter ReadParameter(std::string_view line, std::size_t& pos) {
  for (;;) {
    while (pos < line.size() && line[pos] != '\0' && IsBlank(line[pos])) ++pos;
    if (pos + 1 < line.size() && line[pos] == '"' && line[pos + 1] == '"') {
      pos += 2;
      continue;
    }
    break;
  }
  Parameter parameter;
  parameter.begin = pos;
  while (pos < line.size() && !IsBlank(line[pos])) {
    if (line[pos] == '"') {
      parameter.quoted = true;
      ++pos;
      while (pos < line.size() && line[pos] != '"') parameter.text += line[pos++];
      if (pos < line.size()) ++pos;  // the closing quote
    } else {
      parameter.text += line[pos++];
    }
  }
  parameter.end = pos;
  return parameter;
}

}  // namespace

std::vector<Parameter> Split(std::string_view rawCommandLine) {
  // A NUL ends the text, as it would end the platform's string.
  rawCommandLine = rawCommandLine.substr(0, rawCommandLine.find('\0'));
  std::vector<Parameter> parameters;
  std::size_t pos = 0;
  for (;;) {
    Parameter parameter = ReadParameter(rawCommandLine, pos);
    if (parameter.text.empty()) break;
    parameters.push_back(std::move(parameter));
  }
  return parameters;
}

}  // namespace RTL::Parameters
