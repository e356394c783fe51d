// The window system knows where the host's window is; what a host reports is
// not needed here.
#include <windows.h>

#include "platform/window_place.h"

namespace cvl::platform {

bool screen_size(int32_t& width, int32_t& height) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  if (w <= 0 || h <= 0) return false;
  width = w;
  height = h;
  return true;
}

int32_t client_to_screen(void* window, ScreenPoint& point) {
  POINT p{point.x, point.y};
  if (!ClientToScreen(static_cast<HWND>(window), &p)) return 0;
  point.x = p.x;
  point.y = p.y;
  return 1;
}

void set_window_place(int32_t, int32_t, int32_t, int32_t) {}

}  // namespace cvl::platform
