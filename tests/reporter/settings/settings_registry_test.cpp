#include "reporter/settings/settings_registry.h"

#include <gtest/gtest.h>

#include <regex>

#include "module_resources_fixture.h"
#include "reporter/settings/cipher.h"
#include "reporter/settings/settings_stream_writer.h"

namespace {

using namespace Reporter::Settings;

class SettingsRegistryTest : public SettingsTest::ModuleResourcesFixture {
 protected:
  static constexpr Platform::ModuleHandle kModule = 0x5E770000;
  static constexpr Platform::ModuleHandle kOther = 0x5E780000;

  static std::vector<std::uint8_t> Stream(std::int32_t port) {
    TSettingsStreamWriter writer;
    writer.AddInt32("SmtpPort", port);
    writer.AddInt32("SmtpPort", 0);
    writer.AddBool("AutoSend", true);
    return writer.Finish();
  }
};

TEST_F(SettingsRegistryTest, SecondOpenerFindsTheSameRegistryAndOnlyAddsAReference) {
  SettingsRegistry* first = SettingsRegistry::Open(hooks_);
  ASSERT_NE(first, nullptr);
  const int references = first->RefCount();
  SettingsRegistry* second = SettingsRegistry::Open(hooks_);
  EXPECT_EQ(second, first);
  EXPECT_EQ(first->RefCount(), references + 1);
  second->Release();
  EXPECT_EQ(first->RefCount(), references);
  first->Release();
  EXPECT_TRUE(messages_.empty());
}

TEST(ProcessObjectName, AppendsTheProcessIdInLowerCaseHexadecimal) {
  const std::string name = Platform::ProcessObjectName(kSettingsBufferName);
  EXPECT_TRUE(std::regex_match(name, std::regex(R"(ExvoraSettingsBuf2\$[1-9a-f][0-9a-f]*)")))
      << name;
}

TEST_F(SettingsRegistryTest, LoadingTwiceSharesOneListUntilTheLastRelease) {
  resources_[kModule] = Stream(25);
  SettingsModule* first = LoadSettingsModule(kModule, hooks_);
  ASSERT_NE(first, nullptr);
  SettingsModule* second = LoadSettingsModule(kModule, hooks_);
  EXPECT_EQ(second, first);
  EXPECT_EQ(first->RefCount(), 2);
  EXPECT_EQ(first->Module(), kModule);

  SettingsRegistry* registry = SettingsRegistry::Open(hooks_);
  const std::size_t modules = registry->ModuleCount();
  ReleaseSettingsModule(second);
  EXPECT_EQ(registry->ModuleCount(), modules);
  ReleaseSettingsModule(first);
  EXPECT_EQ(registry->ModuleCount(), modules - 1);

  // Freed: the next load reads the resource anew.
  resources_[kModule] = Stream(587);
  SettingsModule* again = LoadSettingsModule(kModule, hooks_);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->RefCount(), 1);
  EXPECT_EQ(again->ReadInt("SmtpPort"), 587);
  ReleaseSettingsModule(again);
  registry->Release();
}

TEST_F(SettingsRegistryTest, ModulesKeepListsOfTheirOwn) {
  resources_[kModule] = Stream(25);
  resources_[kOther] = Stream(465);
  SettingsModule* module = LoadSettingsModule(kModule, hooks_);
  SettingsModule* other = LoadSettingsModule(kOther, hooks_);
  ASSERT_NE(module, other);
  EXPECT_EQ(module->ReadInt("SmtpPort"), 25);
  EXPECT_EQ(other->ReadInt("SmtpPort"), 465);
  ReleaseSettingsModule(other);
  ReleaseSettingsModule(module);
}

TEST_F(SettingsRegistryTest, ModuleWithoutResourceHasNoSettings) {
  EXPECT_EQ(LoadSettingsModule(kOther, hooks_), nullptr);
  ReleaseSettingsModule(nullptr);
}

TEST_F(SettingsRegistryTest, ReloadRereadsTheResource) {
  resources_[kModule] = Stream(25);
  SettingsModule* settings = LoadSettingsModule(kModule, hooks_);
  ASSERT_NE(settings, nullptr);
  settings->WriteInt("Runtime", 1);
  resources_[kModule] = Stream(2525);
  EXPECT_TRUE(ReloadSettingsModule(settings, hooks_));
  EXPECT_EQ(settings->ReadInt("SmtpPort"), 2525);
  EXPECT_FALSE(settings->Find("Runtime"));

  resources_[kModule] = {'T', 'P', 'F', '1'};
  EXPECT_FALSE(ReloadSettingsModule(settings, hooks_));
  EXPECT_TRUE(settings->Properties().empty());
  EXPECT_TRUE(messages_.empty());
  ReleaseSettingsModule(settings);
}

TEST_F(SettingsRegistryTest, UnknownTagShowsTheInternalErrorAndKeepsTheRecordsBefore) {
  TSettingsStreamWriter writer;
  writer.AddBool("Enabled", true);
  writer.AddRaw("Broken", 0x1F, {});
  writer.AddBool("AutoSend", true);
  resources_[kModule] = writer.Finish();
  SettingsModule* settings = LoadSettingsModule(kModule, hooks_);
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(settings->ReadBool("Enabled"), true);
  EXPECT_FALSE(settings->Find("AutoSend"));
  EXPECT_EQ(messages_,
            std::vector<std::string>{"Exvora: Internal error: Invalid settings resource ($1F)."});
  ReleaseSettingsModule(settings);
}

TEST_F(SettingsRegistryTest, StoredPasswordsAreDecipheredWithTheirOwnKeysAndEmptyStaysEmpty) {
  TSettingsStreamWriter writer;
  writer.AddAnsiLong("HttpServer", "https://tracker.example/");
  writer.AddAnsiLong("HttpAccount", "web");
  writer.AddAnsiLong("BugTrAccount", "bugs@example.com");
  writer.AddAnsiLong("SmtpAccount", "mail");
  writer.AddAnsiLong("HttpPassword",
                     Cipher::EncipherPassword("http-pw", "web", "https://tracker.example/"));
  writer.AddAnsiLong("BugTrPassword", Cipher::EncipherPassword("tracker-pw", "bugs@example.com",
                                                               "https://tracker.example/"));
  writer.AddAnsiLong("SmtpPassword", Cipher::EncipherPassword("smtp-pw", "mail", ""));
  resources_[kModule] = writer.Finish();
  SettingsModule* settings = LoadSettingsModule(kModule, hooks_);
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(settings->ReadStr("HttpPassword"), "http-pw");
  EXPECT_EQ(settings->ReadStr("BugTrPassword"), "tracker-pw");
  EXPECT_EQ(settings->ReadStr("SmtpPassword"), "smtp-pw");
  ReleaseSettingsModule(settings);

  writer = {};
  writer.AddAnsiLong("HttpServer", "host");
  writer.AddAnsiLong("BugTrPassword", "");
  resources_[kOther] = writer.Finish();
  settings = LoadSettingsModule(kOther, hooks_);
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(settings->ReadStr("BugTrPassword"), "");
  ReleaseSettingsModule(settings);
}

TEST(SettingsModule, LookupFindsTheFirstRecordOfTheExactName) {
  SettingsModule settings(0);
  SettingsProperty first{"SmtpPort", ptInteger, false, 25, ""};
  SettingsProperty second{"SmtpPort", ptInteger, false, 0, ""};
  settings.Assign({first, second});
  EXPECT_EQ(settings.ReadInt("SmtpPort"), 25);
  EXPECT_FALSE(settings.ReadInt("smtpport"));
  EXPECT_FALSE(settings.ReadInt("SmtpPort "));

  settings.WriteInt("SmtpPort", 2525);  // changes the record that lookups find
  EXPECT_EQ(settings.ReadInt("SmtpPort"), 2525);
  EXPECT_EQ(settings.Properties()[1].vInt, 0);
}

TEST(SettingsModule, GettersReadTheirFieldWhateverTheKind) {
  SettingsModule settings(0);
  settings.Assign({{"FreezeTimeout", ptBoolean, false, 60, ""}});
  EXPECT_EQ(settings.ReadInt("FreezeTimeout"), 60);
  EXPECT_EQ(settings.ReadBool("FreezeTimeout"), false);
  EXPECT_EQ(settings.ReadStr("FreezeTimeout"), "");
}

TEST(SettingsModule, SettersAppendAndTheListGrowsInSteps) {
  SettingsModule settings(0);
  EXPECT_EQ(settings.Capacity(), 147u);
  for (int i = 0; i < 148; ++i) settings.WriteBool("Key" + std::to_string(i), i % 2 == 0);
  EXPECT_EQ(settings.Properties().size(), 148u);
  EXPECT_EQ(settings.Capacity(), 167u);
  settings.WriteStr("Key0", "text");
  EXPECT_EQ(settings.Find("Key0")->typ, ptString);
  EXPECT_EQ(settings.ReadStr("Key0"), "text");
  EXPECT_EQ(settings.ReadBool("Key0"), true);
}

}  // namespace
