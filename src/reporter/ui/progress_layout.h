#pragma once

#include "platform/progress_window.h"

// Where the progress box's parts go, from the size of its text and the system's measures.
namespace Reporter::UI {

inline constexpr int kTextWrapWidth = 420;
inline constexpr int kScreenSlots = 8;

// The label, picture and bar in client coordinates and the window's size; the window's place
// on the screen is left at 0, 0 for PlaceProgressBox. textSize is the widest and highest of
// the texts the box will show, each wrapped at kTextWrapWidth.
Platform::TProgressBoxLayout LayoutProgressBox(Platform::TBoxSize textSize, bool hasPicture,
                                               const Platform::TProgressBoxMetrics& metrics);

// Moves the window: centred on the screen when it is activated, else in the bottom-right
// corner of the work area (2 pixels from its edges), one window height higher for each lower
// screen slot.
void PlaceProgressBox(Platform::TProgressBoxLayout& layout, bool activate, int screenSlot,
                      const Platform::TProgressBoxMetrics& metrics);

}  // namespace Reporter::UI
