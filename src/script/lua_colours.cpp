// Colour-model views of a pixel (HSV, HSL, L*a*b*, CMYK) and the paint colours
// the host has set. Conversions are the engine's own colour models; what the
// functions add is the clamping (or, for L*a*b* and CMYK, the lack of it).
#include <cstdint>

#include "core/tool_settings.h"
#include "core/colour_models.h"
#include "script/lua_functions.h"

namespace cvl::luafn {
namespace {

// Clamp that sends NaN to the lower bound, so no conversion sees it.
double clamp_arg(double v, double lo, double hi) {
  if (!(v > lo)) return lo;
  return v < hi ? v : hi;
}

struct Rgb {
  int r = 0, g = 0, b = 0;
};

// The pixel's bytes, black outside the canvas.
Rgb read_rgb(lua_State* L) {
  const uint8_t* p = pixel_to_read(run_images(L), arg_int(L, 1), arg_int(L, 2));
  if (!p) return {};
  return {p[0], p[1], p[2]};
}

void write_rgb(lua_State* L, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* p = pixel_to_write(run_images(L), arg_int(L, 1), arg_int(L, 2));
  if (!p) return;
  p[0] = r;
  p[1] = g;
  p[2] = b;
}

int push3(lua_State* L, double a, double b, double c) {
  lua_pushnumber(L, a);
  lua_pushnumber(L, b);
  lua_pushnumber(L, c);
  return 3;
}

// A 16-bit paint colour as fractions of its high bytes.
int push_colour(lua_State* L, const std::array<uint16_t, 4>& c) {
  for (int i = 0; i < 3; ++i) push_unit(L, static_cast<uint8_t>(c[static_cast<size_t>(i)] >> 8));
  return 3;
}

// One CMYK channel back to a byte without clamping: the low 8 bits of the
// truncated value, so out-of-range inputs wrap as they always have.
uint8_t cmyk_byte(double ink, double k) {
  return static_cast<uint8_t>(low32_of_trunc((1.0 - (k + (1.0 - k) * ink)) * 255.0));
}

using ToHueModel = void (*)(int, int, int, double&, double&, double&);
using FromHueModel = void (*)(double, double, double, uint8_t&, uint8_t&, uint8_t&);

// HSV or HSL of the pixel. A grey leaves HSV's saturation unwritten: it stays 0.
int push_hue_model(lua_State* L, ToHueModel convert) {
  const Rgb c = read_rgb(L);
  double h = 0, s = 0, v = 0;
  convert(c.r, c.g, c.b, h, s, v);
  return push3(L, h, s, v);
}

// Hue held to 0..359 (360 would be read as 0), the other two to 0..1.
int set_hue_model(lua_State* L, FromHueModel convert) {
  uint8_t r = 0, g = 0, b = 0;
  convert(clamp_arg(arg_num(L, 3), 0.0, 359.0), clamp_arg(arg_num(L, 4), 0.0, 1.0), clamp_arg(arg_num(L, 5), 0.0, 1.0),
          r, g, b);
  write_rgb(L, r, g, b);
  return 0;
}

}  // namespace

int get_hsv(lua_State* L) { return push_hue_model(L, RgbToHsv); }
int set_hsv(lua_State* L) { return set_hue_model(L, HsvToRgb); }
int get_hsl(lua_State* L) { return push_hue_model(L, RgbToHsl); }
int set_hsl(lua_State* L) { return set_hue_model(L, HslToRgb); }

int get_lab(lua_State* L) {
  const Rgb c = read_rgb(L);
  double x = 0, y = 0, z = 0, l = 0, a = 0, bb = 0;
  RgbToXyz(c.r, c.g, c.b, x, y, z);
  XyzToLab(x, y, z, l, a, bb);
  return push3(L, l, a, bb);
}

int set_lab(lua_State* L) {
  uint8_t r = 0, g = 0, b = 0;
  LabToRgb(arg_num(L, 3), arg_num(L, 4), arg_num(L, 5), r, g, b);  // clamps the bytes itself
  write_rgb(L, r, g, b);
  return 0;
}

int get_cmyk(lua_State* L) {
  const Rgb px = read_rgb(L);
  double c = 1.0 - px.r * kUnitPerByte, m = 1.0 - px.g * kUnitPerByte, y = 1.0 - px.b * kUnitPerByte, k = 0.0;
  CmyToCmyk(c, m, y, k);
  lua_pushnumber(L, c);
  lua_pushnumber(L, m);
  lua_pushnumber(L, y);
  lua_pushnumber(L, k);
  return 4;
}

int set_cmyk(lua_State* L) {
  const double k = arg_num(L, 6);
  write_rgb(L, cmyk_byte(arg_num(L, 3), k), cmyk_byte(arg_num(L, 4), k), cmyk_byte(arg_num(L, 5), k));
  return 0;
}

int get_color(lua_State* L) { return push_colour(L, run_images(L).tool->paint_color); }
int get_color1(lua_State* L) { return push_colour(L, run_images(L).tool->color_banks[0]); }
int get_color2(lua_State* L) { return push_colour(L, run_images(L).tool->color_banks[1]); }
int get_color3(lua_State* L) { return push_colour(L, run_images(L).tool->color_banks[2]); }
int get_color4(lua_State* L) { return push_colour(L, run_images(L).tool->color_banks[3]); }

}  // namespace cvl::luafn
