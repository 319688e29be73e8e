#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/resources.h"

// The window of the crash reporter's progress box: a small top-most tool window with a
// caption, an optional 32x32 picture, one label and a progress bar. Where it goes and how big
// it is comes from the caller's layout; this layer measures, creates and updates.
//
// Windows shows a real window that belongs to the thread that created it: calls on that
// thread act at once, bar updates from other threads are posted, closing from another thread
// sends the close command. POSIX shows no window: Create fails, the measures are fixed
// stand-ins and every other call does nothing.
namespace Platform {

// A top-level window (Windows: its HWND); 0 is none.
using WindowHandle = std::uintptr_t;

struct TBoxSize {
  int Width = 0;
  int Height = 0;
};

struct TBoxRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

// The system measures a progress box is laid out with.
struct TProgressBoxMetrics {
  int FrameWidth = 0;  // the dialog frame, on each side
  int FrameHeight = 0;
  int SmallCaptionHeight = 0;
  int ScrollBarWidth = 0;  // a vertical scroll bar's width, which is the bar's height
  TBoxRect Screen;
  TBoxRect WorkArea;  // the screen without the task bar
};

struct TProgressBoxLayout {
  TBoxRect Window;  // outer rectangle, on the screen
  TBoxRect Label;   // the rest in client coordinates
  TBoxRect Bar;
  bool HasPicture = false;
  TBoxRect Picture;
};

// 32x32 pixels, top row first, each 0x00RRGGBB.
using TBoxPicture = std::vector<std::uint32_t>;
inline constexpr int kBoxPictureSize = 32;

// A copy of what a window shows in its client area, top row first, each pixel 0x00RRGGBB.
struct TWindowPixels {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;

  std::uint32_t At(int x, int y) const { return Pixels[std::size_t(y) * Width + x]; }
};

class ProgressWindow {
 public:
  // Makes the box's font and the device context it is measured with.
  ProgressWindow();
  // Closes the window and releases the screen slot, the font and the device context.
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  TProgressBoxMetrics Metrics() const;
  // The size of the text in the box's font, wrapped at wrapWidth pixels.
  TBoxSize MeasureText(const std::string& text, int wrapWidth) const;
  // The colour the picture is blended over: the dialog background (0x00RRGGBB).
  std::uint32_t BackgroundColour() const;

  // The raw bitmap-type resource of the module; none when it has no such resource.
  [[nodiscard]] static std::optional<std::span<const std::uint8_t>> FindPicture(
      ModuleHandle module, const std::string& name);

  // The first of the process-wide screen slots 0 to 7 that nobody holds, held from now on until
  // destruction; 0, not held, when all are taken. Calling it again gives the slot held.
  int ClaimScreenSlot();

  // Creates and shows the window on the calling thread: parent disabled, bar range 0 to 1000.
  // activate brings it to the foreground, else it is shown without activation. picture may be
  // empty. False when the window exists already or cannot be made.
  [[nodiscard]] bool Create(WindowHandle parent, const std::string& title, const std::string& text,
                            const TProgressBoxLayout& layout, const TBoxPicture& picture,
                            int barPosition, bool activate);
  [[nodiscard]] bool Exists() const;
  WindowHandle Handle() const;

  void SetTitle(const std::string& title);
  void SetText(const std::string& text);
  // On the window's thread the bar moves at once and pending messages are processed; from
  // another thread the update is posted.
  void SetBar(int position);
  // The bar's position as the control holds it; -1 without a window.
  int Bar() const;
  // Removes, translates and dispatches every pending message of the calling thread when the
  // window belongs to it.
  void ProcessMessages();
  // Destroys the window (from another thread: lets it close and sends it the close command);
  // the parent is enabled and activated again.
  void Close();

  // What a click on the caption's close button does: the box refuses it.
  void PressCloseButton();
  // The client area as it is shown now; none without a window.
  [[nodiscard]] std::optional<TWindowPixels> CaptureClient() const;
  // The colour of the bar's filled part (0x00RRGGBB).
  std::uint32_t BarColour() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace Platform
