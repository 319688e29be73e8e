// A 32-bit program for the differential test: the decoder itself, built with -m32, decoding
// and printing the instructions given as hex on its command line.
#include <cstdio>
#include <string_view>
#include <vector>

#include "reporter/report/decoder/x86_decoder.h"

int main(int argc, char** argv) {
  using namespace Reporter::Decoder;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::uint8_t> bytes;
    const std::string_view hex(argv[i]);
    for (std::size_t at = 0; at + 1 < hex.size(); at += 2) {
      unsigned value = 0;
      std::sscanf(argv[i] + at, "%2x", &value);
      bytes.push_back(static_cast<std::uint8_t>(value));
    }
    const auto instruction = DecodeInstruction(bytes, 0, TCpuMode::Bits32);
    std::printf("%s\n", FormatInstruction(instruction).c_str());
  }
  return 0;
}
