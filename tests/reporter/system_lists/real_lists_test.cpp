// The lists of the machine the tests run on (natively, under an emulator or under Wine).

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/path_style.h"
#include "platform/process.h"
#include "platform/system_lists.h"
#include "reporter/report/system_lists/bug_report_plugins.h"
#include "reporter/report/system_lists/hardware_list.h"
#include "reporter/report/system_lists/module_list.h"
#include "reporter/report/system_lists/process_list.h"
#include "reporter/report/system_lists/system_list_plugins.h"
#include "reporter/sections/report_lines.h"

namespace {

using namespace Reporter::Report;

std::string OwnFileName() {
  const std::string path = Platform::ExecutablePath();
  return path.substr(path.find_last_of("\\/") + 1);
}

using ReportTest::Lines;

void ExpectNoTrailingLineBreak(const std::string& text) {
  if (text.empty()) return;
  EXPECT_NE(text.back(), '\n');
  EXPECT_NE(text.back(), '\r');
}

// The words of a line, blanks dropped.
std::vector<std::string> Words(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

TEST(RealModuleList, ShowsThisProgramOnceWithItsVersion) {
  const std::string text = ModuleListText();
  ExpectNoTrailingLineBreak(text);
  const std::vector<std::string> lines = Lines(text);
  ASSERT_FALSE(lines.empty());
  int found = 0;
  for (const std::string& line : lines) {
    const std::vector<std::string> words = Words(line);
    ASSERT_GE(words.size(), 2u) << line;
    EXPECT_GE(words[0].size(), 8u) << line;
    EXPECT_EQ(words[0].find_first_not_of("0123456789abcdef"), std::string::npos) << line;
    if (words[1] == OwnFileName()) {
      ++found;
      ASSERT_GE(words.size(), 3u) << line;
      EXPECT_EQ(words[2], UPDATE_PROJECT_VERSION) << line;
    }
  }
  EXPECT_EQ(found, 1) << text;
}

TEST(RealModuleList, EveryDirectoryStartsInTheSameColumn) {
  const std::vector<Platform::TModuleRecord> modules = Platform::ListModules();
  ASSERT_FALSE(modules.empty());
  const std::vector<std::string> lines = Lines(FormatModuleList(modules));
  ASSERT_EQ(lines.size(), modules.size());
  const std::size_t column = lines[0].size() - modules[0].Directory.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].substr(column), modules[i].Directory) << lines[i];
    if (i > 0) {
      EXPECT_LT(modules[i - 1].Base, modules[i].Base);
    }
  }
}

TEST(RealProcessList, ShowsThisProcessUnderItsId) {
  const std::vector<Platform::TProcessRecord> processes = Platform::ListProcesses();
  const std::uint32_t self = Platform::CurrentProcessId();
  bool found = false;
  for (const Platform::TProcessRecord& process : processes) {
    if (process.ProcessId != self) continue;
    found = true;
    EXPECT_EQ(process.FileName, OwnFileName());
    EXPECT_NE(process.PriorityClass, -1);
  }
  EXPECT_TRUE(found);

  const std::string text = FormatProcessList(processes);
  ExpectNoTrailingLineBreak(text);
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), processes.size());
  const std::size_t idWidth = lines.front().find(' ');
  for (const std::string& line : lines) EXPECT_EQ(line.find(' '), idWidth) << line;
}

// The id of the process that started this one, from a Linux /proc stat line; 0 when unknown.
std::uint32_t ParentOf(std::uint32_t processId) {
  std::ifstream file("/proc/" + std::to_string(processId) + "/stat");
  std::string text;
  std::getline(file, text);
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(text.substr(close + 1));
  std::string state;
  std::uint32_t parent = 0;
  fields >> state >> parent;
  return parent;
}

// The kernel's own threads are no programs a reader looks for. Linux starts them all from
// kthreadd, which has id 2 where the kernel's processes can be seen at all.
TEST(RealProcessList, LeavesTheKernelsThreadsOut) {
  // Under Wine /proc is the Linux one, but the process ids listed are Windows ids.
  if (Platform::NativePathStyle() == Platform::PathStyle::Windows) {
    GTEST_SKIP() << "Windows lists no kernel threads";
  }
  std::ifstream starter("/proc/2/comm");
  std::string name;
  if (!std::getline(starter, name) || name != "kthreadd") {
    GTEST_SKIP() << "no kernel threads to be seen here";
  }
  std::string kernelThreads;
  for (const Platform::TProcessRecord& process : Platform::ListProcesses()) {
    if (process.ProcessId == 2 || ParentOf(process.ProcessId) == 2)
      kernelThreads += " " + process.FileName;
  }
  EXPECT_EQ(kernelThreads, "");
}

TEST(RealHardwareList, ClassLinesAndDeviceLinesOnly) {
  const std::string text = HardwareListText();
  ExpectNoTrailingLineBreak(text);
  if (text.empty()) GTEST_SKIP() << "no devices to be seen here";
  const std::vector<std::string> lines = Lines(text);
  EXPECT_TRUE(lines.front().starts_with("+ "));
  for (const std::string& line : lines) {
    EXPECT_TRUE(line.starts_with("+ ") || line.starts_with("  - ")) << line;
  }
}

TEST(RealLists, ReachTheReportThroughTheRegisteredPlugins) {
  const TSystemListPlugins plugins;
  const std::vector<TBugReportPlugin> sections = PluginsOfSetting("modules|processes|hardware");
  ASSERT_EQ(sections.size(), 3u);
  EXPECT_NE(CallBugReportPlugin(sections[0], nullptr).find(OwnFileName()), std::string::npos);
  EXPECT_NE(CallBugReportPlugin(sections[1], nullptr).find(OwnFileName()), std::string::npos);
}

}  // namespace
