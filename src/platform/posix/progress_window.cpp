#include "platform/progress_window.h"

#include <algorithm>
#include <string_view>

// No window on POSIX: the box keeps its areas and positions, and its layout is computed from
// the measures of a classic Windows desktop, so that it stays the same on every platform.
namespace Platform {
namespace {

constexpr int kCharacterWidth = 6;
constexpr int kLineHeight = 13;

int CodePoints(std::string_view text) {
  return int(std::count_if(text.begin(), text.end(),
                           [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

struct ProgressWindow::Impl {};

ProgressWindow::ProgressWindow() = default;
ProgressWindow::~ProgressWindow() = default;

TProgressBoxMetrics ProgressWindow::Metrics() const {
  TProgressBoxMetrics metrics;
  metrics.FrameWidth = 3;
  metrics.FrameHeight = 3;
  metrics.SmallCaptionHeight = 17;
  metrics.ScrollBarWidth = 17;
  metrics.Screen = {0, 0, 1024, 768};
  metrics.WorkArea = {0, 0, 1024, 728};
  return metrics;
}

// Word wrap with a fixed character width: a word longer than a line is broken at the edge.
TBoxSize ProgressWindow::MeasureText(const std::string& text, int wrapWidth) const {
  const int perLine = std::max(1, wrapWidth / kCharacterWidth);
  int lines = 0;
  int widest = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view paragraph(text.data() + start, end - start);
    int column = 0;
    int paragraphLines = 1;
    std::size_t at = 0;
    while (at < paragraph.size()) {
      std::size_t wordEnd = paragraph.find(' ', at);
      if (wordEnd == std::string_view::npos) wordEnd = paragraph.size();
      int word = CodePoints(paragraph.substr(at, wordEnd - at));
      const int needed = column == 0 ? word : column + 1 + word;
      if (needed <= perLine) {
        column = needed;
      } else {
        if (column > 0) ++paragraphLines;
        while (word > perLine) {
          widest = std::max(widest, perLine);
          ++paragraphLines;
          word -= perLine;
        }
        column = word;
      }
      widest = std::max(widest, column);
      at = wordEnd + 1;
    }
    lines += paragraphLines;
    start = end + 1;
  }
  return {widest * kCharacterWidth, lines * kLineHeight};
}

std::uint32_t ProgressWindow::BackgroundColour() const {
  return 0xF0F0F0;
}

std::optional<std::span<const std::uint8_t>> ProgressWindow::FindPicture(ModuleHandle,
                                                                         const std::string&) {
  return std::nullopt;
}

int ProgressWindow::ClaimScreenSlot() {
  return 0;
}

bool ProgressWindow::Create(WindowHandle, const std::string&, const std::string&,
                            const TProgressBoxLayout&, const TBoxPicture&, int, bool) {
  return false;
}

bool ProgressWindow::Exists() const {
  return false;
}
WindowHandle ProgressWindow::Handle() const {
  return 0;
}
void ProgressWindow::SetTitle(const std::string&) {}
void ProgressWindow::SetText(const std::string&) {}
void ProgressWindow::SetBar(int) {}
int ProgressWindow::Bar() const {
  return -1;
}
void ProgressWindow::ProcessMessages() {}
void ProgressWindow::Close() {}
void ProgressWindow::PressCloseButton() {}
std::optional<TWindowPixels> ProgressWindow::CaptureClient() const {
  return std::nullopt;
}
std::uint32_t ProgressWindow::BarColour() const {
  return 0x0078D7;
}

}  // namespace Platform
