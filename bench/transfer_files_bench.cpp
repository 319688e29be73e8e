// Moves a staging folder (2,000 files of 4 KiB and 20 of 32 MiB) into an installation folder
// through TransferFiles, and the same data with `cp -p` followed by `rm -r` and `sync`, and
// prints both times and their ratio. TransferFiles puts every file on the disk before it
// deletes the staged one, so the comparison flushes too. Target: at most 1.5 times as long.
//
// Usage: transfer_files_bench [work-folder] [rounds]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "updater/switches.h"
#include "updater/work.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSmallFiles = 2000;
constexpr std::size_t kSmallSize = 4 * 1024;
constexpr int kLargeFiles = 20;
constexpr std::size_t kLargeSize = 32 * 1024 * 1024;

void WriteFile(const fs::path& path, std::size_t size, std::mt19937& random) {
  std::vector<char> data(size);
  for (auto& c : data) c = static_cast<char>(random());
  std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(size));
}

void MakeStaging(const fs::path& staging) {
  std::mt19937 random(42);
  fs::create_directories(staging);
  for (int i = 0; i < kSmallFiles; ++i) {
    WriteFile(staging / ("small" + std::to_string(i) + ".dat"), kSmallSize, random);
  }
  for (int i = 0; i < kLargeFiles; ++i) {
    WriteFile(staging / ("large" + std::to_string(i) + ".bin"), kLargeSize, random);
  }
  std::system("sync");
}

double Seconds(const std::chrono::steady_clock::duration& d) {
  return std::chrono::duration<double>(d).count();
}

double TimeTransferFiles(const fs::path& staging, const fs::path& installation) {
  Update::Switches::SetRawCommandLineForTesting("Update \"/s:" + staging.string() +
                                                "\" \"/d:" + installation.string() + "\"");
  Update::Work::TJobServices services = Update::Work::TJobServices::Real();
  const auto start = std::chrono::steady_clock::now();
  Update::Work::TransferFiles({}, services);
  return Seconds(std::chrono::steady_clock::now() - start);
}

double TimeCopyAndRemove(const fs::path& staging, const fs::path& installation) {
  const std::string command = "cp -p '" + staging.string() + "'/* '" + installation.string() +
                              "'/ && rm -r '" + staging.string() + "' && sync";
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cp/rm failed\n");
  return Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path work = fs::path(argc > 1 ? argv[1] : fs::temp_directory_path()) / "transfer-bench";
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  fs::remove_all(work);

  double updater = 0;
  double reference = 0;
  for (int round = 0; round < rounds; ++round) {
    // Both contenders start from freshly written data in the same state.
    MakeStaging(work / "staging");
    fs::create_directories(work / "app-updater");
    updater += TimeTransferFiles(work / "staging", work / "app-updater");

    MakeStaging(work / "staging");
    fs::create_directories(work / "app-cp");
    reference += TimeCopyAndRemove(work / "staging", work / "app-cp");
    fs::remove_all(work / "app-updater");
    fs::remove_all(work / "app-cp");
  }
  fs::remove_all(work);

  std::printf("TransferFiles     : %.3f s per round\n", updater / rounds);
  std::printf("cp -p + rm + sync : %.3f s per round\n", reference / rounds);
  std::printf("ratio             : %.2f (target <= 1.50)\n", updater / reference);
  return updater / reference <= 1.5 ? 0 : 1;
}
