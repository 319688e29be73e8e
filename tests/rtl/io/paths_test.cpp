#include "rtl/io/paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "rtl/exceptions.h"
#include "support/scoped_temp_dir.h"

namespace {

using namespace RTL::Paths;
constexpr PathStyle kWin = PathStyle::Windows;
constexpr PathStyle kPosix = PathStyle::Posix;

TEST(Combine, WindowsPutsOneBackslashBetween) {
  EXPECT_EQ(Combine("C:\\App", "update.neb", true, kWin), "C:\\App\\update.neb");
  EXPECT_EQ(Combine("C:\\App\\", "update.neb", true, kWin), "C:\\App\\update.neb");
  EXPECT_EQ(Combine("C:\\App/", "a.txt", false, kWin), "C:\\App/a.txt");
  EXPECT_EQ(Combine("C:", "a.txt", false, kWin), "C:a.txt");
}

TEST(Combine, RootedOrEmptyPartsStandAlone) {
  for (const char* rooted : {"\\a.txt", "/a.txt", "D:a.txt", "\\\\?\\C:\\a.txt"}) {
    EXPECT_EQ(Combine("C:\\App", rooted, false, kWin), rooted);
  }
  EXPECT_EQ(Combine("/opt/app", "/etc/a.ini", false, kPosix), "/etc/a.ini");
  EXPECT_EQ(Combine("", "a.txt", true, kWin), "a.txt");
  EXPECT_EQ(Combine("C:\\App", "", true, kWin), "C:\\App");
}

TEST(Combine, PosixKnowsOnlyTheSlash) {
  EXPECT_EQ(Combine("/opt/app", "a.ini", true, kPosix), "/opt/app/a.ini");
  EXPECT_EQ(Combine("/opt/app/", "a.ini", true, kPosix), "/opt/app/a.ini");
  EXPECT_EQ(Combine("dir\\", "a.ini", true, kPosix), "dir\\/a.ini");
  EXPECT_EQ(Combine("/opt", "C:a.ini", true, kPosix), "/opt/C:a.ini");
}

TEST(Combine, ValidationRejectsForbiddenCharacters) {
  EXPECT_THROW(Combine("C:\\A|pp", "update.neb", true, kWin), RTL::EArgumentException);
  try {
    Combine("C:\\App", "up<date", true, kWin);
    FAIL() << "no exception";
  } catch (const RTL::EArgumentException& e) {
    EXPECT_EQ(e.Message(), "Ungültige Zeichen im Pfad");
  }
  EXPECT_EQ(Combine("C:\\A|pp", "x", false, kWin), "C:\\A|pp\\x");
  EXPECT_EQ(Combine("/a|b", "<x>", true, kPosix), "/a|b/<x>");
}

TEST(ExtractParts, SplitAfterTheLastSeparator) {
  EXPECT_EQ(ExtractFileName("C:\\App\\Quill.exe", kWin), "Quill.exe");
  EXPECT_EQ(ExtractFilePath("C:\\App\\Quill.exe", kWin), "C:\\App\\");
  EXPECT_EQ(ExtractFileName("C:Quill.exe", kWin), "Quill.exe");
  EXPECT_EQ(ExtractFilePath("C:Quill.exe", kWin), "C:");
  EXPECT_EQ(ExtractFileName("Quill.exe", kWin), "Quill.exe");
  EXPECT_EQ(ExtractFilePath("Quill.exe", kWin), "");
  EXPECT_EQ(ExtractFileName("C:\\App\\", kWin), "");
  EXPECT_EQ(ExtractFileName("/opt/app/a.ini", kPosix), "a.ini");
  EXPECT_EQ(ExtractFilePath("/opt/app/a.ini", kPosix), "/opt/app/");
  EXPECT_EQ(ExtractFileName("C:\\a.ini", kPosix), "C:\\a.ini");
}

TEST(TrailingSeparator, AddsOrRemovesOne) {
  EXPECT_EQ(IncludeTrailingSeparator("C:\\App", kWin), "C:\\App\\");
  EXPECT_EQ(IncludeTrailingSeparator("C:\\App\\", kWin), "C:\\App\\");
  EXPECT_EQ(IncludeTrailingSeparator("", kWin), "\\");
  EXPECT_EQ(IncludeTrailingSeparator("", kPosix), "/");
  EXPECT_EQ(ExcludeTrailingSeparator("C:\\App\\\\", kWin), "C:\\App\\");
  EXPECT_EQ(ExcludeTrailingSeparator("C:\\App", kWin), "C:\\App");
  EXPECT_EQ(ExcludeTrailingSeparator("/", kPosix), "");
}

TEST(ForbiddenCharacters, DependOnTheStyle) {
  for (const char* bad : {"a<b", "a>b", "a\"b", "a|b", "a\tb", "a\x1F"}) {
    EXPECT_TRUE(HasForbiddenCharacters(bad, kWin)) << bad;
    EXPECT_FALSE(HasForbiddenCharacters(bad, kPosix)) << bad;
  }
  EXPECT_FALSE(HasForbiddenCharacters("C:\\Ä ö/*?.txt", kWin));
  EXPECT_TRUE(HasForbiddenCharacters(std::string("a\0b", 3), kPosix));
}

template <typename Error>
void ExpectCheckFails(const std::string& path, PathStyle style, const std::string& message) {
  try {
    CheckPath(path, style);
    ADD_FAILURE() << "accepted: " << path;
  } catch (const Error& e) {
    EXPECT_EQ(e.Message(), message) << path;
  } catch (const std::exception& e) {
    ADD_FAILURE() << "wrong error for " << path << ": " << e.what();
  }
}

TEST(CheckPath, WindowsLimitsTheLengthInUtf16Units) {
  EXPECT_NO_THROW(CheckPath("C:\\" + std::string(256, 'a'), kWin));
  ExpectCheckFails<RTL::EPathTooLongException>("C:\\" + std::string(257, 'a'), kWin,
                                               "Der angegebene Pfad ist zu lang");
  EXPECT_NO_THROW(CheckPath("\\\\?\\C:\\" + std::string(300, 'a'), kWin));
  std::string umlauts = "C:\\";
  for (int i = 0; i < 200; ++i) umlauts += "ä";  // 400 bytes, 203 units
  EXPECT_NO_THROW(CheckPath(umlauts, kWin));
}

TEST(CheckPath, WindowsAllowsOnlyTheDriveColon) {
  EXPECT_NO_THROW(CheckPath("C:\\App\\update.neb", kWin));
  EXPECT_NO_THROW(CheckPath("\\\\?\\C:\\App", kWin));
  ExpectCheckFails<RTL::ENotSupportedException>("C:\\App\\a:b", kWin,
                                                "Das Pfadformat wird nicht unterstützt");
  ExpectCheckFails<RTL::ENotSupportedException>("1:\\App", kWin,
                                                "Das Pfadformat wird nicht unterstützt");
  EXPECT_NO_THROW(CheckPath("/opt/a:b", kPosix));
}

TEST(CheckPath, RejectsBlankPathsAndForbiddenCharacters) {
  for (PathStyle style : {kWin, kPosix}) {
    ExpectCheckFails<RTL::EArgumentException>("", style, "Ungültige Zeichen im Pfad");
    ExpectCheckFails<RTL::EArgumentException>(" \t ", style, "Ungültige Zeichen im Pfad");
  }
  ExpectCheckFails<RTL::EArgumentException>("C:\\a|b", kWin, "Ungültige Zeichen im Pfad");
  ExpectCheckFails<RTL::EArgumentException>(std::string("/a\0b", 4), kPosix,
                                            "Ungültige Zeichen im Pfad");
}

TEST(CheckPath, ReportsTheFirstFailingCheck) {
  ExpectCheckFails<RTL::EPathTooLongException>("C:\\a:|" + std::string(300, 'a'), kWin,
                                               "Der angegebene Pfad ist zu lang");
  ExpectCheckFails<RTL::ENotSupportedException>("C:\\a:|", kWin,
                                                "Das Pfadformat wird nicht unterstützt");
  ExpectCheckFails<RTL::EPathTooLongException>("/" + std::string(4096, 'a'), kPosix,
                                               "Der angegebene Pfad ist zu lang");
}

TEST(ExpandFileName, ResolvesAgainstTheCurrentFolder) {
  const std::filesystem::path current = std::filesystem::current_path();
  const std::string separator(1, Separator());
  EXPECT_EQ(ExpandFileName("sub" + separator + ".." + separator + "a.ini"),
            TestSupport::Utf8(current / "a.ini"));
  const std::string absolute = TestSupport::Utf8(current / "b.ini");
  EXPECT_EQ(ExpandFileName(absolute), absolute);
  EXPECT_EQ(ExpandFileName(""), "");
}

}  // namespace
