#include "rtl/io/paths.h"

#include <filesystem>

#include "rtl/case_folding.h"
#include "rtl/exceptions.h"
#include "rtl/rtl_strings.h"
#include "rtl/text.h"

namespace RTL::Paths {
namespace {

constexpr std::string_view kExtendedLengthPrefix = "\\\\?\\";

// Windows' limit for a path without the extended-length prefix, in UTF-16 code units.
constexpr std::size_t kWindowsMaxPath = 260;
// Linux's PATH_MAX, the longest path its calls accept.
constexpr std::size_t kPosixMaxPath = 4096;

bool IsWindows(PathStyle style) {
  return style == PathStyle::Windows;
}

bool HasExtendedLengthPrefix(std::string_view path, PathStyle style) {
  return IsWindows(style) && path.starts_with(kExtendedLengthPrefix);
}

// The separators after which a name may follow directly when joining.
bool EndsWithJoinSeparator(std::string_view path, PathStyle style) {
  if (path.empty()) return false;
  const char last = path.back();
  return IsWindows(style) ? last == '\\' || last == '/' || last == ':' : last == '/';
}

// Where a file name starts: just past the last backslash or drive colon (Windows).
std::size_t FileNameStart(std::string_view path, PathStyle style) {
  const std::size_t last = path.find_last_of(IsWindows(style) ? "\\:" : "/");
  return last == std::string_view::npos ? 0 : last + 1;
}

bool IsRooted(std::string_view path, PathStyle style) {
  if (!IsWindows(style)) return path.starts_with('/');
  return path.starts_with('\\') || path.starts_with('/') || (path.size() >= 2 && path[1] == ':');
}

void CheckValidCharacters(std::string_view path, PathStyle style) {
  if (HasForbiddenCharacters(path, style)) {
    throw EArgumentException(Strings::kInvalidPathCharacters);
  }
}

// A colon is allowed only right after a leading drive letter, behind the extended-length
// prefix if there is one.
bool HasUnsupportedColon(std::string_view path) {
  if (path.starts_with(kExtendedLengthPrefix)) path.remove_prefix(kExtendedLengthPrefix.size());
  std::size_t from = 0;
  if (path.size() >= 2 && Text::IsAsciiLetter(path[0]) && path[1] == ':') from = 2;
  return path.find(':', from) != std::string_view::npos;
}

}  // namespace

char Separator(PathStyle style) {
  return IsWindows(style) ? '\\' : '/';
}

std::string Combine(std::string_view directory, std::string_view name, bool validate,
                    PathStyle style) {
  if (directory.empty()) return std::string(name);
  if (name.empty()) return std::string(directory);
  if (validate) {
    CheckValidCharacters(directory, style);
    CheckValidCharacters(name, style);
  }
  if (IsRooted(name, style)) return std::string(name);
  std::string result(directory);
  if (!EndsWithJoinSeparator(directory, style)) result += Separator(style);
  result += name;
  return result;
}

std::string ExtractFileName(std::string_view path, PathStyle style) {
  return std::string(path.substr(FileNameStart(path, style)));
}

std::string ExtractFilePath(std::string_view path, PathStyle style) {
  return std::string(path.substr(0, FileNameStart(path, style)));
}

std::string IncludeTrailingSeparator(std::string_view path, PathStyle style) {
  std::string result(path);
  if (!result.ends_with(Separator(style))) result += Separator(style);
  return result;
}

std::string ExcludeTrailingSeparator(std::string_view path, PathStyle style) {
  if (path.ends_with(Separator(style))) path.remove_suffix(1);
  return std::string(path);
}

bool HasForbiddenCharacters(std::string_view path, PathStyle style) {
  if (!IsWindows(style)) return path.find('\0') != std::string_view::npos;
  for (const char c : path) {
    if (static_cast<unsigned char>(c) < 32) return true;
    if (c == '<' || c == '>' || c == '"' || c == '|') return true;
  }
  return false;
}

void CheckPath(std::string_view path, PathStyle style) {
  const bool tooLong = IsWindows(style) ? !HasExtendedLengthPrefix(path, style) &&
                                              Text::Utf8ToUtf16(path).size() >= kWindowsMaxPath
                                        : path.size() >= kPosixMaxPath;
  if (tooLong) throw EPathTooLongException(Strings::kPathTooLong);
  if (IsWindows(style) && HasUnsupportedColon(path)) {
    throw ENotSupportedException(Strings::kPathFormatNotSupported);
  }
  if (Text::Trim(path).empty()) throw EArgumentException(Strings::kInvalidPathCharacters);
  CheckValidCharacters(path, style);
}

std::string ExpandFileName(const std::string& path) {
  if (path.empty()) return path;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(
      std::filesystem::path(std::u8string(path.begin(), path.end())), error);
  if (error) return path;
  const std::u8string text = absolute.lexically_normal().u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace RTL::Paths
