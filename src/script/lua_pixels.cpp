// Pixel getters and setters over the filter's working images. Outside the
// canvas a getter answers with a black, transparent pixel and a setter does
// nothing; setters touch only the channels they name.
#include "core/colour_models.h"
#include "script/lua_functions.h"

namespace cvl::luafn {
namespace {

// Pushes `count` channels of the pixel at arguments 1 and 2, or zeros.
int push_channels(lua_State* L, int first, int count) {
  const uint8_t* p = pixel_to_read(run_images(L), arg_int(L, 1), arg_int(L, 2));
  for (int c = first; c < first + count; ++c) push_unit(L, p ? p[c] : 0);
  return count;
}

// Writes arguments 3.. into `count` channels from `first`.
int set_channels(lua_State* L, int first, int count) {
  uint8_t* p = pixel_to_write(run_images(L), arg_int(L, 1), arg_int(L, 2));
  if (!p) return 0;
  for (int c = 0; c < count; ++c) p[first + c] = unit_to_byte(arg_num(L, 3 + c));
  return 0;
}

}  // namespace

int get_value(lua_State* L) {
  const uint8_t* p = pixel_to_read(run_images(L), arg_int(L, 1), arg_int(L, 2));
  double v = 0.0;
  if (p) v = (p[0] * kUnitPerByte + p[1] * kUnitPerByte + p[2] * kUnitPerByte) * 0.3333333333333333;
  lua_pushnumber(L, v);
  return 1;
}

int set_value(lua_State* L) {
  uint8_t* p = pixel_to_write(run_images(L), arg_int(L, 1), arg_int(L, 2));
  if (p) p[0] = p[1] = p[2] = unit_to_byte(arg_num(L, 3));
  return 0;
}

int get_rgb(lua_State* L) { return push_channels(L, 0, 3); }
int set_rgb(lua_State* L) { return set_channels(L, 0, 3); }
int get_alpha(lua_State* L) { return push_channels(L, 3, 1); }
int set_alpha(lua_State* L) { return set_channels(L, 3, 1); }
int get_rgba(lua_State* L) { return push_channels(L, 0, 4); }
int set_rgba(lua_State* L) { return set_channels(L, 0, 4); }

}  // namespace cvl::luafn
