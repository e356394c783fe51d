// The native functions a filter script sees as globals, grouped by the file
// that defines them, and the small argument readers they share.
#pragma once

#include <lua.hpp>

#include <cstdint>

#include "script/filter_images.h"

namespace cvl::luafn {

// Arguments are read leniently, as a script written for the engine expects:
// a value that is not a number counts as 0 (lua_tonumber's answer).
inline int32_t arg_int(lua_State* L, int idx) { return trunc_to_int32(lua_tonumber(L, idx)); }
inline double arg_num(lua_State* L, int idx) { return lua_tonumber(L, idx); }
inline void push_unit(lua_State* L, uint8_t byte) { lua_pushnumber(L, byte * kUnitPerByte); }

// The record of the filter run on this thread, set for as long as its script runs
// (lua_filter.cpp). A state lives and runs on the thread that made it, so the
// functions find the record here rather than asking Lua for it on every pixel.
FilterImages* running_filter();

inline FilterImages& run_images(lua_State* L) {
  FilterImages* images = running_filter();
  if (!images) luaL_error(L, "the function was called outside its filter run");
  return *images;
}

// Pixels (lua_pixels.cpp).
int get_value(lua_State* L);
int set_value(lua_State* L);
int get_rgb(lua_State* L);
int set_rgb(lua_State* L);
int get_alpha(lua_State* L);
int set_alpha(lua_State* L);
int get_rgba(lua_State* L);
int set_rgba(lua_State* L);

// Colour models and the paint colours (lua_colours.cpp).
int get_hsv(lua_State* L);
int set_hsv(lua_State* L);
int get_hsl(lua_State* L);
int set_hsl(lua_State* L);
int get_lab(lua_State* L);
int set_lab(lua_State* L);
int get_cmyk(lua_State* L);
int set_cmyk(lua_State* L);
int get_color(lua_State* L);
int get_color1(lua_State* L);
int get_color2(lua_State* L);
int get_color3(lua_State* L);
int get_color4(lua_State* L);

// Mask words and 32-bit integer arithmetic (lua_mask_bits.cpp).
int get_mask(lua_State* L);
int set_mask(lua_State* L);
int bit_not(lua_State* L);
int bit_and(lua_State* L);
int bit_or(lua_State* L);
int bit_xor(lua_State* L);
int bit_shfr(lua_State* L);
int bit_shfl(lua_State* L);

// The layer and the host (lua_host.cpp).
int flush(lua_State* L);
int merge(lua_State* L);
int single_buffer(lua_State* L);
int progress(lua_State* L);
int message_box(lua_State* L);
int is_escape(lua_State* L);
int output_debug_string(lua_State* L);

// Paint-script recording (lua_paint.cpp).
int paint_open(lua_State* L);
int paint_close(lua_State* L);
int paint_stroke_start(lua_State* L);
int paint_stroke_stop(lua_State* L);
int paint_stroke_pos(lua_State* L);
int paint_select_brush(lua_State* L);
int paint_brush_size(lua_State* L);
int paint_brush_density(lua_State* L);
int paint_brush_opacity(lua_State* L);
int paint_brush_color(lua_State* L);
int paint_set_color_banks(lua_State* L);
int paint_line(lua_State* L);
int paint_spline(lua_State* L);
int paint_dab(lua_State* L);
int paint_filter(lua_State* L);

}  // namespace cvl::luafn
