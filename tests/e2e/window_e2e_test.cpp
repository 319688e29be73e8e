#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/update_fixture.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/path_style.h"
#include "platform/process.h"
#include "platform/window.h"
#include "support/build_setup.h"

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

// A display on the loopback that relays to the test's X server and cuts each connection when
// it first asks for the window tree, as a display lost in the middle of a probe is
// (e2e/display_cut.py).
class CuttingDisplay {
 public:
  // Files, not pipes: Wine hands a Unix program that a Windows one starts the null device for
  // every pipe.
  CuttingDisplay() {
    if (!Platform::StartProcess(Quoted(UPDATE_PYTHON3) + " " +
                                    Quoted(TestSupport::BuildSetupValue("display_cut")) + " " +
                                    Quoted(ready_) + " " + Quoted(release_) + " " + Quoted(cuts_),
                                false))
      return;
    name_ =
        TestSupport::AwaitFileText(ready_, [](const std::string& text) { return !text.empty(); });
  }
  ~CuttingDisplay() {
    TestSupport::WriteFile(release_, "go");
    (void)TestSupport::AwaitFileText(ready_, [](const std::string& text) { return text.empty(); });
  }
  // "127.0.0.1:N"; empty when the relay did not start.
  const std::string& Name() const { return name_; }
  int Cuts() const {
    if (!Platform::FileExists(cuts_)) return 0;
    const std::string text = TestSupport::ReadFile(cuts_);
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }

 private:
  TestSupport::ScopedTempDir folder_;
  const std::string ready_ = folder_.Join("ready");
  const std::string release_ = folder_.Join("release");
  const std::string cuts_ = folder_.Join("cuts");
  std::string name_;
};

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

// Xlib ends a program whose display goes away, unless told otherwise.
TEST_F(WindowProbe, DisplayLostWhileProbingCountsAsNoWindowAndTheUpdateGoesOn) {
  if (Platform::NativePathStyle() == Platform::PathStyle::Windows)
    GTEST_SKIP() << "Windows finds windows without X";
  if (!Platform::TopLevelWindow("TUpdateDisplayCheck", "x").IsShown())
    GTEST_SKIP() << "no display or X library here";
  CuttingDisplay display;
  ASSERT_FALSE(display.Name().empty()) << "the relay did not start";
  TestSupport::WriteFile(Installed("NEBQuill.ini"), "[DBParams]\nConnectType=9\n");

  const std::string ownDisplay = Platform::EnvironmentValue("DISPLAY");
  EXPECT_TRUE(Platform::SetEnvironmentValue("DISPLAY", display.Name()));
  const std::vector<std::string> lines =
      RunUpdate("/s:" + Quoted(staging) + " /d:" + Quoted(installation) +
                " /p:" + Quoted(CallerExe()) + " c:/TQuillMainForm w:/Quill");
  EXPECT_TRUE(Platform::SetEnvironmentValue("DISPLAY", ownDisplay));

  EXPECT_EQ(display.Cuts(), 1) << "the probe met the lost display";
  EXPECT_EQ(exitCode, 0) << rawOutput;
  ASSERT_EQ(lines.size(), 6u) << rawOutput;
  EXPECT_EQ(lines[3], "Ermittle zu kopierende Dateien!") << "no probe line";
  EXPECT_EQ(lines.back(), "Führe den Aufrufer wieder aus!");
}

}  // namespace
