#include "settings_source.h"

#include <gtest/gtest.h>

#include "reporter/settings/cipher.h"
#include "reporter/settings/settings_registry.h"
#include "reporter/settings/settings_stream.h"

namespace {

using namespace Reporter::Settings;
using SettingsCompiler::ApplyOverrides;
using SettingsCompiler::CheckDeclaredKeys;
using SettingsCompiler::CompileSettings;
using SettingsCompiler::ParseSettingsSource;
using SettingsCompiler::SourceError;

// The build compiled tests/reporter/data/sample_settings.txt with sample_override.txt into
// this test program's own settings resource.
class CompiledSettingsResource : public testing::Test {
 protected:
  CompiledSettingsResource() {
    hooks_.showMessage = [this](std::string_view, std::string_view text) {
      messages_.push_back(std::string(text));
    };
  }
  SettingsLoadHooks hooks_;
  std::vector<std::string> messages_;
};

TEST_F(CompiledSettingsResource, ReadsBackWithOverridesAndPlainPasswords) {
  SettingsModule* settings = LoadSettingsModule(Platform::MainModule(), hooks_);
  ASSERT_NE(settings, nullptr);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(settings->ReadBool("Enabled"), true);
  EXPECT_EQ(settings->ReadBool("AutoSend"), true);
  EXPECT_EQ(settings->ReadInt("HttpPort"), 443);
  EXPECT_EQ(settings->ReadInt("FreezeTimeout"), -60000);
  EXPECT_EQ(settings->ReadInt("SmtpPort"), 25);
  EXPECT_EQ(settings->ReadStr("BugTrDescr"),
            "Details zum Fehler: \r\n%errorDetails% \"Gr\xC3\xB6\xC3\x9F"
            "e\" \\");
  EXPECT_EQ(settings->ReadStr("BugTrProject"),
            "Sample Gr\xC3\xB6\xC3\x9F"
            "e");
  EXPECT_EQ(settings->ReadStr("BugTrPassword"), "s3cret Pa$$word");
  EXPECT_EQ(settings->ReadStr("SmtpPassword"), "nur Konto: \xC3\xA4\xC3\xB6\xC3\xBC");
  EXPECT_EQ(settings->ReadStr("HttpPassword"), "");
  ReleaseSettingsModule(settings);
}

TEST_F(CompiledSettingsResource, StoresPasswordsOnlyEnciphered) {
  const auto bytes = ReadSettingsResource(Platform::MainModule());
  ASSERT_TRUE(bytes);
  const auto content = ReadSettingsStream(*bytes);
  std::string stored;
  for (const auto& property : content.properties) {
    if (property.name == "BugTrPassword") stored = property.vStr;
  }
  EXPECT_EQ(stored.find("s3cret"), std::string::npos);
  EXPECT_TRUE(Cipher::Base64Decode(stored));
  EXPECT_EQ(Cipher::DecipherPassword(stored, "reports@example.com", "https://tracker.example/"),
            "s3cret Pa$$word");
}

std::string ErrorOf(std::string_view source, std::string_view overrides = {}) {
  try {
    auto records = ParseSettingsSource(source);
    ApplyOverrides(records, overrides);
    CompileSettings(records);
  } catch (const SourceError& error) {
    return error.what();
  }
  return "no error";
}

TEST(SettingsSource, ReportsFaultsWithTheirLine) {
  EXPECT_EQ(ErrorOf("# c\nA : float = 1\n"), "source line 2: unknown kind \"float\"");
  EXPECT_EQ(ErrorOf("A : int = 2147483648"), "source line 1: not a 32-bit integer: 2147483648");
  EXPECT_EQ(ErrorOf("A : int = 12abc"), "source line 1: not a 32-bit integer: 12abc");
  EXPECT_EQ(ErrorOf("A : bool = yes"), "source line 1: bool must be true or false");
  EXPECT_EQ(ErrorOf("A : text = \"open"), "source line 1: missing closing double quote");
  EXPECT_EQ(ErrorOf("A : text = bare"), "source line 1: a text must be in double quotes");
  EXPECT_EQ(ErrorOf("A : text = \"\\q\""), "source line 1: unknown escape \\q");
  EXPECT_EQ(ErrorOf("A : text = \"a\" b"), "source line 1: text after the closing quote");
  EXPECT_EQ(ErrorOf("A = 1"), "source line 1: expected `Key : kind = value`");
  EXPECT_EQ(ErrorOf("Pin : password = \"1\""), "source line 1: Pin cannot be a password");
  EXPECT_EQ(ErrorOf("A : text = \"\xE6\x97\xA5\""),
            "source line 1: text of A is not representable in Windows-1252");
  EXPECT_EQ(ErrorOf("A : int = 1", "B=2"), "override line 1: no record named \"B\"");
  EXPECT_EQ(ErrorOf("A : int = 1", "\nA=x"), "override line 2: not a 32-bit integer: x");
}

std::string DeclarationErrorOf(std::string_view source) {
  try {
    CheckDeclaredKeys(ParseSettingsSource(source));
  } catch (const SourceError& error) {
    return error.what();
  }
  return "no error";
}

// The reporter reads only declared keys, each as its declared kind: a misspelt key or a wrong
// kind in the source would be compiled in and never read as written.
TEST(SettingsSource, HoldsOnlyDeclaredKeysOfTheirDeclaredKind) {
  EXPECT_EQ(DeclarationErrorOf("AutoSend : bool = true\nAutoSnd : bool = true"),
            "source line 2: no key is named \"AutoSnd\"");
  EXPECT_EQ(DeclarationErrorOf("autosend : bool = true"),
            "source line 1: no key is named \"autosend\"");
  EXPECT_EQ(DeclarationErrorOf("AutoSend : int = 1"),
            "source line 1: AutoSend is declared as bool");
  EXPECT_EQ(DeclarationErrorOf("FreezeTimeout : text = \"1\""),
            "source line 1: FreezeTimeout is declared as int");
  // Keys without a default record, enumerations and passwords are declared too.
  EXPECT_EQ(DeclarationErrorOf("CrashOnBuffer : bool = false\nAssistant1 : text = \"A|B\"\n"
                               "FocusedBtn : int = 0\nBugTrPassword : password = \"x\""),
            "no error");
}

TEST(SettingsSource, OverrideChangesOnlyTheFirstRecordAndKeepsItsKind) {
  auto records = ParseSettingsSource(
      "SmtpPort : int = 25\nSmtpPort : int = 0\nTitle : text = \"a # b\"  # comment\n");
  ApplyOverrides(records, "SmtpPort = 587\nTitle = \"quoted \\\"x\\\"\"\n");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].intValue, 587);
  EXPECT_EQ(records[1].intValue, 0);
  EXPECT_EQ(records[2].text, "quoted \"x\"");
  const auto content = ReadSettingsStream(CompileSettings(records));
  ASSERT_EQ(content.properties.size(), 3u);
  EXPECT_EQ(content.properties[2].typ, ptString);
}

}  // namespace
