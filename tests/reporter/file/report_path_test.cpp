#include "reporter/report/file/report_path.h"

#include <gtest/gtest.h>

namespace Reporter::Report {
namespace {

using Platform::PathStyle;

constexpr const char* kProgram = "C:\\Programme\\Quill\\Update.exe";

std::string Windows(std::string_view name) {
  return ResolveReportPath(name, kProgram, PathStyle::Windows);
}

TEST(ReportPath, RelativeNameGoesBesideTheProgram) {
  EXPECT_EQ(Windows("bugreport.txt"), "C:\\Programme\\Quill\\bugreport.txt");
  EXPECT_EQ(Windows("logs\\bug.txt"), "C:\\Programme\\Quill\\logs\\bug.txt");
  EXPECT_EQ(Windows(".\\bug.txt"), "C:\\Programme\\Quill\\bug.txt");
  // Too short to be a drive path: relative.
  EXPECT_EQ(Windows("a"), "C:\\Programme\\Quill\\a");
}

TEST(ReportPath, ParentStepsCancelTheirFolders) {
  EXPECT_EQ(Windows("..\\logs\\bugreport.txt"), "C:\\Programme\\logs\\bugreport.txt");
  EXPECT_EQ(Windows("a\\b\\..\\..\\..\\x.txt"), "C:\\Programme\\x.txt");
  EXPECT_EQ(Windows("a\\.\\.\\b\\..\\x.txt"), "C:\\Programme\\Quill\\a\\x.txt");
  // Nested: "c\.." inside "b\..".
  EXPECT_EQ(Windows("D:\\a\\b\\c\\..\\..\\x.txt"), "D:\\a\\x.txt");
  // More steps than folders end at the drive's root.
  EXPECT_EQ(Windows("D:\\a\\..\\..\\x.txt"), "D:\\x.txt");
}

TEST(ReportPath, LeadingBackslashMeansTheProgramsDrive) {
  EXPECT_EQ(Windows("\\bugreport.txt"), "C:\\bugreport.txt");
  EXPECT_EQ(ResolveReportPath("\\r.txt", "\\\\server\\share\\app\\Update.exe", PathStyle::Windows),
            "\\\\server\\share\\r.txt");
  // Two backslashes are a network path of their own, a drive path stays as it is.
  EXPECT_EQ(Windows("\\\\srv\\logs\\r.txt"), "\\\\srv\\logs\\r.txt");
  EXPECT_EQ(Windows("E:\\logs\\r.txt"), "E:\\logs\\r.txt");
}

TEST(ReportPath, PlaceholdersStay) {
  EXPECT_EQ(Windows("crash-%time%.txt"), "C:\\Programme\\Quill\\crash-%time%.txt");
}

TEST(ReportPath, PosixReadsBackslashesAsSlashes) {
  const std::string program = "/opt/quill/bin/update";
  EXPECT_EQ(ResolveReportPath("bugreport.txt", program, PathStyle::Posix),
            "/opt/quill/bin/bugreport.txt");
  EXPECT_EQ(ResolveReportPath("..\\logs\\bugreport.txt", program, PathStyle::Posix),
            "/opt/quill/logs/bugreport.txt");
  EXPECT_EQ(ResolveReportPath("\\bugreport.txt", program, PathStyle::Posix), "/bugreport.txt");
  EXPECT_EQ(ResolveReportPath("/var/log/../tmp/./r.txt", program, PathStyle::Posix),
            "/var/tmp/r.txt");
}

TEST(ReportPath, FallbackGoesToTheUsersApplicationData) {
  const auto expand = [](std::string_view text) {
    std::string result(text);
    const auto replace = [&](std::string_view pattern, std::string_view value) {
      const auto at = result.find(pattern);
      if (at != std::string::npos) result.replace(at, pattern.size(), value);
    };
    replace("%userappdata%", "C:\\Users\\user1\\AppData\\Roaming");
    replace("%time%", "14:03:07, 45ms");
    return result;
  };
  EXPECT_EQ(FallbackReportPath("bugreport.txt", kProgram, PathStyle::Windows, expand),
            "C:\\Users\\user1\\AppData\\Roaming\\Update\\bugreport.txt");
  // Colons of a time become full stops; the drive's stays.
  EXPECT_EQ(FallbackReportPath("crash-%time%.txt", kProgram, PathStyle::Windows, expand),
            "C:\\Users\\user1\\AppData\\Roaming\\Update\\crash-14.03.07, 45ms.txt");
  EXPECT_EQ(FallbackReportPath("r.txt", "/opt/quill/update", PathStyle::Posix,
                               [](std::string_view text) { return std::string(text); }),
            "%userappdata%/update/r.txt");
}

}  // namespace
}  // namespace Reporter::Report
