#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/update_fixture.h"

namespace {

using TestSupport::Quoted;

// Shows a top-level window through the WindowHolder program while it lives.
class HeldWindow : public TestSupport::HelperProcess {
 public:
  HeldWindow(const std::string& windowClass, const std::string& caption)
      : HelperProcess("WindowHolder", {windowClass, caption}) {}
  bool Shown() const { return ReadyText() == "shown"; }
};

class WindowProbe : public E2E::UpdateWorld {};

TEST_F(WindowProbe, CallerWindowThatStaysOpenIsProbed1000TimesThenTheUpdateGoesOn) {
  HeldWindow window("TQuillMainForm", "Quill - Kunden");
  if (!window.Shown()) GTEST_SKIP() << "no display to show a window on";
  TestSupport::WriteFile(Installed("NEBQuill.ini"), "[DBParams]\nConnectType=9\n");

  const std::vector<std::string> lines = RunUpdate(
      "/s:" + Quoted(staging) + " /d:" + Quoted(installation) + " /p:" + Quoted(CallerExe()) + " " +
      Quoted("c:/TQuillMainForm") + " " + Quoted("w:/Quill - Kunden"));

  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "Finde den Aufrufer [TQuillMainForm, Quill - Kunden] noch im Speicher!"),
            1000)
      << rawOutput.substr(0, 2000);
  EXPECT_EQ(lines.back(), "Führe den Aufrufer wieder aus!");
}

TEST_F(WindowProbe, WindowWithAnotherCaptionDoesNotHoldTheUpdate) {
  HeldWindow window("TQuillMainForm", "Tally");
  if (!window.Shown()) GTEST_SKIP() << "no display to show a window on";
  TestSupport::WriteFile(Installed("NEBQuill.ini"), "[DBParams]\nConnectType=9\n");

  const std::vector<std::string> lines =
      RunUpdate("/s:" + Quoted(staging) + " /d:" + Quoted(installation) +
                " /p:" + Quoted(CallerExe()) + " c:/TQuillMainForm w:/Quill");

  EXPECT_EQ(lines.size(), 6u) << rawOutput;
  EXPECT_EQ(lines[3], "Ermittle zu kopierende Dateien!") << "no probe line";
  EXPECT_EQ(exitCode, 0);
}

}  // namespace
