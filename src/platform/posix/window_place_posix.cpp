// Without a window system to ask, the window's place is what the host reported.
#include "platform/window_place.h"

namespace cvl::platform {
namespace {

struct Place {
  ScreenPoint client_origin;
  int32_t screen_width = 0;
  int32_t screen_height = 0;
};

Place g_place;

}  // namespace

bool screen_size(int32_t& width, int32_t& height) {
  if (g_place.screen_width <= 0 || g_place.screen_height <= 0) return false;
  width = g_place.screen_width;
  height = g_place.screen_height;
  return true;
}

int32_t client_to_screen(void*, ScreenPoint& point) {
  point.x += g_place.client_origin.x;
  point.y += g_place.client_origin.y;
  return 1;
}

void set_window_place(int32_t client_x, int32_t client_y, int32_t screen_width, int32_t screen_height) {
  g_place = Place{{client_x, client_y}, screen_width, screen_height};
}

}  // namespace cvl::platform
