#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "reporter/report/file/bug_report_file.h"
#include "support/fake_settings.h"
#include "support/scoped_temp_dir.h"

namespace Reporter::Report {

// A program in folder/bin whose report file is "bugreport.txt", with %userappdata% at
// folder/appdata for the fallback.
class ReportFileFixture : public testing::Test {
 protected:
  ReportFileFixture() {
    TestSupport::MakeDirectory(folder_.Join("bin"));
    context_.ExecutablePath = InBin("Update.exe");
    context_.Expand = [this](std::string_view text) {
      std::string result(text);
      const std::string pattern = "%userappdata%";
      if (const auto at = result.find(pattern); at != std::string::npos) {
        result.replace(at, pattern.size(), folder_.Join("appdata"));
      }
      return result;
    };
    settings_.Texts["BugRepFile"] = "bugreport.txt";
  }

  static std::string Separator() {
    return Platform::NativePathStyle() == Platform::PathStyle::Windows ? "\\" : "/";
  }
  std::string InBin(const std::string& name) const {
    return folder_.Join("bin") + Separator() + name;
  }
  std::string Fallback(const std::string& name) const {
    return folder_.Join("appdata") + Separator() + "Update" + Separator() + name;
  }

  TestSupport::ScopedTempDir folder_;
  TReportFileContext context_;
  TestSupport::TFakeSettings settings_;
};

}  // namespace Reporter::Report
