#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/progress_window.h"
#include "platform/resources.h"
#include "reporter/ui/progress_areas.h"

// The progress box: weighted areas with a text each and a position inside the current one,
// shown in a small top-most window when asked. The bug report builder, the stack tracer and the
// upload report their progress to it whether or not its window is shown.
namespace Reporter::UI {

class IProgressAlert {
 public:
  virtual ~IProgressAlert() = default;

  virtual std::string GetTitle() = 0;
  // Changes the window's caption at once when the text differs.
  virtual void SetTitle(std::string_view title) = 0;
  // The position inside the current area, 0 to 1000.
  virtual int GetPosition() = 0;
  virtual void SetPosition(int position) = 0;
  // An empty text takes the previous area's text.
  virtual void AddArea(std::string_view text, std::uint64_t weight) = 0;
  virtual void ClearAreas() = 0;
  // SetCurrentArea(GetCurrentArea() + 1).
  virtual void AreaDone() = 0;
  virtual int GetCurrentArea() = 0;
  virtual void SetCurrentArea(int area) = 0;
  virtual void ProcessMessages() = 0;
  // Shows the window on the calling thread, which owns it from then on: centred and activated,
  // or else in the next free screen slot without activation. True when this call created the
  // window; false when it exists already or none can be shown (never on POSIX).
  virtual bool Show(Platform::WindowHandle parent, bool activate) = 0;
  virtual void Close() = 0;
};

inline constexpr std::string_view kDefaultAreaText = "Please wait...";

class TIProgressAlert : public IProgressAlert {
 public:
  // The picture is the bitmap resource pictureName of pictureModule; none when the name is
  // empty or the module has no such resource.
  TIProgressAlert(std::string_view title, Platform::ModuleHandle pictureModule,
                  std::string_view pictureName);
  ~TIProgressAlert() override;
  TIProgressAlert(const TIProgressAlert&) = delete;
  TIProgressAlert& operator=(const TIProgressAlert&) = delete;

  std::string GetTitle() override;
  void SetTitle(std::string_view title) override;
  int GetPosition() override;
  void SetPosition(int position) override;
  void AddArea(std::string_view text, std::uint64_t weight) override;
  void ClearAreas() override;
  void AreaDone() override;
  int GetCurrentArea() override;
  void SetCurrentArea(int area) override;
  void ProcessMessages() override;
  bool Show(Platform::WindowHandle parent, bool activate) override;
  void Close() override;

  // What the box holds, for its owner and the tests.
  std::vector<TProgressArea> Areas();
  // The position over all areas that the bar shows, 0 to 1000.
  int OverallPosition();
  std::string CurrentText();
  // The layout of the last Show; all zero before.
  Platform::TProgressBoxLayout Layout();
  Platform::ProgressWindow& Window() { return window_; }

 private:
  std::mutex lock_;
  std::string title_;
  TProgressAreas areas_;
  Platform::ModuleHandle pictureModule_;
  std::string pictureName_;
  Platform::TProgressBoxLayout layout_;
  // The window calls stay outside the lock: closing from another thread waits for the
  // window's thread, which may be waiting for the lock.
  Platform::ProgressWindow window_;
};

std::shared_ptr<IProgressAlert> CreateProgressAlert(std::string_view title,
                                                    Platform::ModuleHandle pictureModule,
                                                    std::string_view pictureName);

}  // namespace Reporter::UI
