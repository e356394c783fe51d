// Where the host's window lies on the screen. Pen positions arrive in screen
// pixels; readers hand them out relative to the window's client area.
#pragma once

#include <cstdint>

namespace cvl::platform {

struct ScreenPoint {
  int32_t x = 0;
  int32_t y = 0;
};

// The screen size in pixels; false when it is not known (a headless host that has
// not reported one).
bool screen_size(int32_t& width, int32_t& height);

// Converts a point in the window's client area to screen pixels; 0 on failure.
int32_t client_to_screen(void* window, ScreenPoint& point);

// Without a window system the host reports where its window's client area starts
// on the screen, and the screen's size (width or height 0: unknown).
void set_window_place(int32_t client_x, int32_t client_y, int32_t screen_width, int32_t screen_height);

}  // namespace cvl::platform
