#include "support/scoped_temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/path_style.h"

namespace TestSupport {

std::filesystem::path FsPath(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const std::filesystem::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

ScopedTempDir::ScopedTempDir() {
  static std::atomic<unsigned> counter{0};
  std::mt19937_64 random(std::chrono::steady_clock::now().time_since_epoch().count());
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (;;) {
    std::ostringstream name;
    name << "update-test-" << std::hex << random() << "-" << counter++;
    std::error_code error;
    if (std::filesystem::create_directory(base / name.str(), error)) {
      path_ = Utf8(base / name.str());
      return;
    }
    if (error) {
      ADD_FAILURE() << "cannot create a temporary folder: " << error.message();
      return;
    }
  }
}

ScopedTempDir::~ScopedTempDir() {
  if (path_.empty()) return;
  std::error_code error;
  // Read-only entries would stop the removal on Windows.
  for (auto it = std::filesystem::recursive_directory_iterator(FsPath(path_), error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, error);
  }
  std::filesystem::remove_all(FsPath(path_), error);
}

std::string ScopedTempDir::Join(std::string_view name) const {
  const char separator = Platform::NativePathStyle() == Platform::PathStyle::Windows ? '\\' : '/';
  return path_ + separator + std::string(name);
}

void WriteFile(const std::string& path, std::string_view content) {
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  EXPECT_TRUE(out.good()) << "cannot write " << path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void MakeDirectory(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(FsPath(path), error);
  EXPECT_FALSE(error) << "cannot create " << path << ": " << error.message();
}

}  // namespace TestSupport
