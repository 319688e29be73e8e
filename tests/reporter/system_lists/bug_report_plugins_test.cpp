#include "reporter/report/system_lists/bug_report_plugins.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "reporter/report/system_lists/system_list_plugins.h"

namespace {

using namespace Reporter::Report;

std::string First() {
  return "first";
}
std::string Second() {
  return "second";
}
std::string Narrow() {
  return "gr\xFC\xDF";
}  // Windows-1252
std::string WithException(const std::exception_ptr& exception) {
  try {
    std::rethrow_exception(exception);
  } catch (const std::exception& failure) {
    return failure.what();
  }
}

// The registry is the process's: every test removes what it added.
std::vector<std::string> NamesStartingWith(const std::string& prefix) {
  std::vector<std::string> names;
  for (const TBugReportPlugin& plugin : BugReportPlugins()) {
    if (plugin.name.starts_with(prefix)) names.push_back(plugin.name + "=" + plugin.procOldW());
  }
  return names;
}

TEST(BugReportPlugins, RemovingTakesTheFirstExactNameOnly) {
  AddBugReportPlugin("t1.a", "", First, true);
  AddBugReportPlugin("t1.b", "", First, true);
  AddBugReportPlugin("t1.a", "", Second, true);
  RemoveBugReportPlugin("T1.A");  // case matters here
  RemoveBugReportPlugin("t1.missing");
  EXPECT_EQ(NamesStartingWith("t1."),
            (std::vector<std::string>{"t1.a=first", "t1.b=first", "t1.a=second"}));
  RemoveBugReportPlugin("t1.a");
  EXPECT_EQ(NamesStartingWith("t1."), (std::vector<std::string>{"t1.b=first", "t1.a=second"}));
  RemoveBugReportPlugin("t1.a");
  RemoveBugReportPlugin("t1.b");
  EXPECT_TRUE(NamesStartingWith("t1.").empty());
}

TEST(BugReportPlugins, SettingFindsTheFirstRegistrationPerNameIgnoringCaseInTheSettingsOrder) {
  AddBugReportPlugin("t2.x", "", First, true);
  AddBugReportPlugin("T2.X", "", Second, true);
  AddBugReportPlugin("t2.y", "", Second, false);
  const std::vector<TBugReportPlugin> found = PluginsOfSetting("T2.Y|unknown||t2.x");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, "t2.y");
  EXPECT_FALSE(found[0].ownSection);
  EXPECT_EQ(found[1].name, "t2.x");
  EXPECT_EQ(CallBugReportPlugin(found[1], nullptr), "first");
  RemoveBugReportPlugin("t2.x");
  RemoveBugReportPlugin("T2.X");
  RemoveBugReportPlugin("t2.y");
  EXPECT_FALSE(FindBugReportPlugin("t2.x"));
}

TEST(BugReportPlugins, CallUsesTheFirstProducerInItsFixedOrder) {
  TBugReportPlugin plugin;
  EXPECT_EQ(CallBugReportPlugin(plugin, nullptr), "");
  const auto failure = std::make_exception_ptr(std::runtime_error("boom"));
  plugin.procNewW = WithException;
  EXPECT_EQ(CallBugReportPlugin(plugin, failure), "boom");
  plugin.procOldW = Second;
  EXPECT_EQ(CallBugReportPlugin(plugin, failure), "second");
  plugin.procOldA = Narrow;  // narrow text comes back as UTF-8
  EXPECT_EQ(CallBugReportPlugin(plugin, failure), "gr\xC3\xBC\xC3\x9F");
}

TEST(SystemListPlugins, RegisterHardwareProcessesModulesWithOwnSectionsAndLeaveAgain) {
  const std::size_t before = BugReportPlugins().size();
  {
    const TSystemListPlugins plugins;
    const std::vector<TBugReportPlugin> all = BugReportPlugins();
    ASSERT_EQ(all.size(), before + 3);
    std::vector<std::string> added;
    for (std::size_t i = before; i < all.size(); ++i) {
      added.push_back(all[i].name + ": " + all[i].description);
      EXPECT_TRUE(all[i].ownSection);
      EXPECT_NE(all[i].procOldW, nullptr);
      EXPECT_EQ(all[i].procOldA, nullptr);
      EXPECT_EQ(all[i].procNewA, nullptr);
      EXPECT_EQ(all[i].procNewW, nullptr);
    }
    EXPECT_EQ(added, (std::vector<std::string>{"hardware: list of installed hardware",
                                               "processes: list of running processes",
                                               "modules: list of loaded modules"}));
    // The report's order is the setting's, not the registration's.
    const std::vector<TBugReportPlugin> sections = PluginsOfSetting("modules|processes|hardware");
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].name, "modules");
    EXPECT_EQ(sections[2].name, "hardware");
  }
  EXPECT_EQ(BugReportPlugins().size(), before);
  EXPECT_FALSE(FindBugReportPlugin("modules"));
}

}  // namespace
