#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The runtime's rule for splitting a raw command line into parameters: blanks (codes 1 to 32)
// separate; a double quote opens a run that lasts to the next double quote or the end and
// may hold blanks; the quotes are dropped; there is no escape character; two double quotes
// standing alone are skipped and make no parameter.
namespace RTL::Parameters {

struct Parameter {
  std::string text;       // with the quotes dropped
  std::size_t begin = 0;  // offset of its first character in the raw line
  std::size_t end = 0;    // offset just past its last character
  bool quoted = false;    // whether it held a double quote
};

// Parameter 0 (the program) first; reading stops at the first empty parameter.
std::vector<Parameter> Split(std::string_view rawCommandLine);

}  // namespace RTL::Parameters
