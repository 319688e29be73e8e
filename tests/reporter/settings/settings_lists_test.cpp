#include "reporter/settings/settings_lists.h"

#include <gtest/gtest.h>

namespace {

using namespace Reporter::Settings;

TEST(PluginList, RemovingDropsEveryEqualItemAndTheOuterSeparators) {
  EXPECT_EQ(PluginListWith("modules|a|MODULES|b", "Modules", false), "a|b");
  EXPECT_EQ(PluginListWith("modules|a", "modules", false), "a");
  EXPECT_EQ(PluginListWith("a|modules", "modules", false), "a");
  EXPECT_EQ(PluginListWith("modules", "modules", false), "");
  EXPECT_EQ(PluginListWith("a|b", "c", false), "a|b");
}

TEST(PluginList, AddingKeepsAnExistingItemAndStartsAnEmptyList) {
  EXPECT_EQ(PluginListWith("", "modules", true), "modules");
  EXPECT_EQ(PluginListWith("Modules|x", "modules", true), "Modules|x");
  EXPECT_EQ(PluginListWith("x", "modules", true), "x|modules");
  EXPECT_FALSE(PluginListContains("modules|processes", "process"));
  EXPECT_FALSE(PluginListContains("", ""));
}

TEST(AssistantDefinition, SplitsNameTitleAndForms) {
  const auto definition = ParseAssistant("Send|Title|A|B");
  ASSERT_TRUE(definition);
  EXPECT_EQ(definition->name, "Send");
  EXPECT_EQ(definition->title, "Title");
  EXPECT_EQ(definition->forms, (std::vector<std::string>{"A", "B"}));
  EXPECT_FALSE(ParseAssistant(""));
  EXPECT_FALSE(ParseAssistant("|Title"));
  EXPECT_TRUE(ParseAssistant("OnlyName")->forms.empty());
}

TEST(FieldItems, DropTextAfterASecondEqualsSign) {
  using Items = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(ParseFieldItems("a=1=2|b=|c"), (Items{{"a", "1"}, {"b", ""}, {"c", ""}}));
  EXPECT_TRUE(ParseFieldItems("").empty());
}

TEST(AttachmentItems, MissingTrailingPartsStayEmpty) {
  using Items = std::vector<std::array<std::string, 4>>;
  EXPECT_EQ(ParseAttachmentItems("f1|f2>s2>z2>n2>extra"),
            (Items{{"f1", "", "", ""}, {"f2", "s2", "z2", "n2"}}));
}

TEST(ClassList, NamesMatchExactlyWithBlanksAroundCommasIgnored) {
  EXPECT_TRUE(ClassListContains("EDBEditError", "EDBEditError"));
  EXPECT_TRUE(ClassListContains(" EFirst ,  EDBEditError ", "EDBEditError"));
  EXPECT_FALSE(ClassListContains("EDBEditError", "edbediterror"));
  EXPECT_FALSE(ClassListContains("EDBEditErrorX", "EDBEditError"));
  EXPECT_FALSE(ClassListContains("", ""));
}

TEST(Recipients, SplitAtCommasAndSemicolonsSkippingBlanks) {
  EXPECT_EQ(SplitRecipients(" a@x.de, b@y.de;;c@z.de ;"),
            (std::vector<std::string>{"a@x.de", "b@y.de", "c@z.de"}));
}

}  // namespace
