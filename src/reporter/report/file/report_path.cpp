#include "reporter/report/file/report_path.h"

#include <algorithm>
#include <vector>

#include "platform/file_system.h"
#include "platform/report_file_io.h"
#include "rtl/case_folding.h"

namespace Reporter::Report {
namespace {

using Platform::PathStyle;

char Separator(PathStyle style) {
  return style == PathStyle::Windows ? '\\' : '/';
}

bool IsSeparator(char c, PathStyle style) {
  return c == '/' || (style == PathStyle::Windows && c == '\\');
}

// The settings are written on Windows; POSIX reads their backslashes as its separator.
std::string InStyle(std::string_view name, PathStyle style) {
  std::string result(name);
  if (style == PathStyle::Posix) std::replace(result.begin(), result.end(), '\\', '/');
  return result;
}

std::size_t FileNameStart(std::string_view path, PathStyle style) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1], style) || (style == PathStyle::Windows && path[i - 1] == ':')) {
      return i;
    }
  }
  return 0;
}

// "C:" or "\\server\share" (Windows); POSIX paths have no drive.
std::string DriveOf(std::string_view path, PathStyle style) {
  if (style != PathStyle::Windows) return {};
  if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
  if (path.size() >= 2 && IsSeparator(path[0], style) && IsSeparator(path[1], style)) {
    std::size_t end = 2;
    for (int part = 0; part < 2 && end < path.size(); ++part) {
      while (end < path.size() && !IsSeparator(path[end], style)) ++end;
      if (part == 0 && end < path.size()) ++end;
    }
    return std::string(path.substr(0, end));
  }
  return {};
}

void FoldCurrentFolders(std::string& path, char separator) {
  const std::string pattern{separator, '.', separator};
  for (std::size_t at = path.find(pattern); at != std::string::npos; at = path.find(pattern)) {
    path.replace(at, pattern.size(), 1, separator);
  }
}

// Scanning from the end, each ".." cancels the nearest folder before it that no later ".."
// has cancelled. The root's parent is the root itself, so a ".." left over goes as well.
std::string RemoveParentPairs(const std::string& path, char separator, std::size_t rootLength) {
  std::vector<std::string> parts;
  for (std::size_t begin = rootLength;;) {
    const std::size_t end = path.find(separator, begin);
    parts.push_back(path.substr(begin, end == std::string::npos ? end : end - begin));
    if (end == std::string::npos) break;
    begin = end + 1;
  }
  std::vector<bool> removed(parts.size(), false);
  std::size_t pending = 0;
  for (std::size_t i = parts.size(); i-- > 0;) {
    if (parts[i] == "..") {
      ++pending;
      removed[i] = true;
    } else if (pending > 0 && !parts[i].empty()) {
      --pending;
      removed[i] = true;
    }
  }
  std::string result = path.substr(0, rootLength);
  bool first = true;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (removed[i]) continue;
    if (!first) result += separator;
    result += parts[i];
    first = false;
  }
  return result;
}

}  // namespace

std::string ResolveReportPath(std::string_view name, std::string_view executablePath,
                              PathStyle style) {
  const char separator = Separator(style);
  std::string path = InStyle(name, style);
  const bool windows = style == PathStyle::Windows;
  const bool relative = windows ? path.size() < 3 || (path[0] != '\\' && path[1] != ':')
                                : path.empty() || path[0] != '/';
  const std::string executable = InStyle(executablePath, style);
  if (relative) {
    path = executable.substr(0, FileNameStart(executable, style)) + path;
  } else if (windows && path[0] == '\\' && path[1] != '\\') {
    path = DriveOf(executable, style) + path;
  }
  FoldCurrentFolders(path, separator);

  std::size_t rootLength = DriveOf(path, style).size();
  while (rootLength < path.size() && path[rootLength] == separator) ++rootLength;
  return RemoveParentPairs(path, separator, rootLength);
}

std::string FallbackReportPath(std::string_view name, std::string_view executablePath,
                               PathStyle style,
                               const std::function<std::string(std::string_view)>& expand) {
  const std::string executable = InStyle(executablePath, style);
  std::string program = executable.substr(FileNameStart(executable, style));
  if (const std::size_t dot = program.rfind('.'); dot != std::string::npos && dot > 0) {
    program.resize(dot);
  }
  const char separator = Separator(style);
  std::string path = expand("%userappdata%" + std::string(1, separator) + program +
                            std::string(1, separator) + std::string(name));
  const std::size_t from =
      path.size() >= 2 && RTL::Text::IsAsciiLetter(path[0]) && path[1] == ':' ? 2 : 0;
  std::replace(path.begin() + static_cast<std::ptrdiff_t>(from), path.end(), ':', '.');
  return path;
}

void CreateMissingFolders(std::string_view path, PathStyle style) {
  for (std::size_t i = 1; i < path.size(); ++i) {
    if (!IsSeparator(path[i], style)) continue;
    const std::string folder(path.substr(0, i));
    // Drives and the separators of a UNC or root prefix are no folders to create.
    if (folder.back() == ':' || IsSeparator(folder.back(), style)) continue;
    // A folder that cannot be made fails the file's open, which has its fallback.
    if (!Platform::DirectoryExists(folder)) (void)Platform::CreateFolder(folder);
  }
}

}  // namespace Reporter::Report
