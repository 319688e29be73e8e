// Parses a settings file of many sections, as a damaged or hostile one may have, and prints
// the time per parse for 1,000, 4,000 and 16,000 sections. The section lookup is linear, so
// the time per section stays flat; a quadratic one grows fourfold from row to row.
//
// Usage: ini_sections_bench [rounds]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "rtl/io/ini_file.h"

namespace {

std::string SettingsText(int sections) {
  std::string text;
  for (int i = 0; i < sections; ++i) {
    text += "[Section" + std::to_string(i) + "]\nKey=" + std::to_string(i) + "\n";
  }
  return text + "[DBParams]\nConnectType=9\n";
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  for (const int sections : {1000, 4000, 16000}) {
    const std::string text = SettingsText(sections);
    double seconds = 0;
    for (int round = 0; round < rounds; ++round) {
      const auto start = std::chrono::steady_clock::now();
      const auto ini = RTL::IniFiles::TMemIniFile::FromBytes(text);
      if (ini.ReadInteger("DBParams", "ConnectType", 0) != 9) return 1;
      seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    seconds /= rounds;
    std::printf("%6d sections: %8.3f ms per parse, %6.3f us per section\n", sections, seconds * 1e3,
                seconds * 1e6 / sections);
  }
  return 0;
}
