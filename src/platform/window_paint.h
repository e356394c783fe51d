// Painting control of the host's window: the host freezes its window while the
// engine changes many things, then has it painted again in one go.
#pragma once

#include <cstdint>

namespace cvl::platform {

// Turns the window's redrawing on (non-zero) or off; only the low byte counts.
void set_window_redraw(void* window, int32_t on);

// Invalidates and erases the whole window, frame and children included.
void redraw_window(void* window);

}  // namespace cvl::platform
