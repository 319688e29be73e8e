#pragma once

// The settings that shape every code location in the report's sections.
namespace Reporter::Report {

struct TSectionOptions {
  bool ShowRelAddrs = true;  // "+" and the offset from the function's start
  bool ShowRelLines = true;  // "+" and the lines from the function's first line
};

}  // namespace Reporter::Report
