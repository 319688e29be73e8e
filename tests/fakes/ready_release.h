#pragma once

// The hand-shake of the helper programs with the test that started them: a ready line on
// standard output once the program holds its resource, then the program holds it until its
// standard input ends. The test ends it when it lets the program go, and so does the test's
// end, however it ends.

#include <cstdio>
#include <string>

namespace Fakes {

inline void SayReady(const std::string& text) {
  std::fputs((text + "\n").c_str(), stdout);
  std::fflush(stdout);
}

inline void WaitForRelease() {
  while (std::fgetc(stdin) != EOF) {
  }
}

}  // namespace Fakes
