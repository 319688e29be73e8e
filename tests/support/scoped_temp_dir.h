#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace TestSupport {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes. Paths are UTF-8 texts, as the program uses them.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  // The folder, without a trailing separator.
  const std::string& Path() const { return path_; }
  // The folder joined with a relative name by the platform's separator.
  std::string Join(std::string_view name) const;

 private:
  std::string path_;
};

// UTF-8 text <-> std::filesystem::path, independent of the ANSI code page on Windows.
std::filesystem::path FsPath(std::string_view utf8);
std::string Utf8(const std::filesystem::path& path);

// Small file helpers; they fail the running test on error.
void WriteFile(const std::string& path, std::string_view content);
std::string ReadFile(const std::string& path);
void MakeDirectory(const std::string& path);

}  // namespace TestSupport
