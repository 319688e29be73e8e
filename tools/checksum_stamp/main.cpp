// checksum_stamp [--delete-on-failure] <program>
// checksum_stamp --verify <program>
// Writes the checksum stamp into the program file in place (replacing the stamp of an earlier
// run, so that running it twice gives the same file). The build runs it after every link, as
// the last step, with --delete-on-failure so that an unstamped program never passes for built.
// --verify tests the stamp as the program does at start-up: exit code 0 when it matches.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "reporter/integrity/checksum_stamp.h"

namespace {

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  out.close();
  return !out.fail();
}

int Fail(const std::string& path, const char* message, bool deleteFile) {
  std::fprintf(stderr, "checksum_stamp: %s: %s\n", path.c_str(), message);
  if (deleteFile) std::remove(path.c_str());
  return 1;
}

int Verify(const std::string& path, const std::vector<std::uint8_t>& file) {
  using Reporter::Integrity::TStampCheck;
  switch (Reporter::Integrity::CheckStamp(file)) {
    case TStampCheck::Matches:
      std::printf("%s: the checksum stamp matches\n", path.c_str());
      return 0;
    case TStampCheck::Mismatch:
      return Fail(path, "the checksum stamp does not match the file", false);
    case TStampCheck::NoStamp:
      break;
  }
  return Fail(path, "no checksum stamp", false);
}

}  // namespace

int main(int argc, char** argv) {
  bool deleteOnFailure = false;
  bool verify = false;
  std::string path;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--delete-on-failure") {
      deleteOnFailure = true;
    } else if (argument == "--verify") {
      verify = true;
    } else if (path.empty() && !argument.empty() && argument[0] != '-') {
      path = argument;
    } else {
      path.clear();
      break;
    }
  }
  if (path.empty() || (verify && deleteOnFailure)) {
    std::fprintf(stderr,
                 "usage: checksum_stamp [--delete-on-failure] <program>\n"
                 "       checksum_stamp --verify <program>\n");
    return 2;
  }

  std::vector<std::uint8_t> file;
  if (!ReadFile(path, file)) return Fail(path, "cannot read the file", deleteOnFailure);
  if (verify) return Verify(path, file);
  const auto stamped = Reporter::Integrity::WithStamp(file);
  if (!stamped) return Fail(path, "the file is too large for a stamp", deleteOnFailure);
  if (!WriteFile(path, *stamped)) return Fail(path, "cannot write the file", deleteOnFailure);
  return 0;
}
