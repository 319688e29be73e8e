#pragma once

#include <string>
#include <string_view>

namespace TestSupport {

// What the tests need to know of their build at run time: the scripts of the test tracker and
// the display relay, and the tracker ports. The build writes them into a file beside the test
// programs instead of the compile lines, where a clone's own paths would make each clone's
// compiles new to the compiler cache. A missing key fails the test and gives an empty text.
std::string BuildSetupValue(std::string_view key);
int BuildSetupPort(std::string_view key);

}  // namespace TestSupport
