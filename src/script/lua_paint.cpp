// The paint_ functions: each writes a keyword line and its value lines into
// the paint script, or nothing at all while no script is open.
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "script/lua_functions.h"
#include "script/paint_script.h"

namespace cvl::luafn {
namespace {

constexpr int kMaxValues = 20;

// One value line, formatted before anything is written. Trivially destructible
// on purpose: a Lua error raised while reading arguments leaves this frame
// without running destructors.
struct Value {
  const char* text = nullptr;
  size_t length = 0;
  char digits[48];
};

// Text values: strings as they are, numbers in Lua's own "%.14g". Anything
// else would put garbage into the host's script, so it is an error.
void read_text(lua_State* L, int idx, Value& v) {
  switch (lua_type(L, idx)) {
    case LUA_TNUMBER:
      v.length = static_cast<size_t>(std::snprintf(v.digits, sizeof v.digits, "%.14g", lua_tonumber(L, idx)));
      v.text = v.digits;
      break;
    case LUA_TSTRING:
      v.text = lua_tolstring(L, idx, &v.length);
      break;
    default:
      luaL_argerror(L, idx, "string or number expected");
  }
}

// Colour values: trunc(v * 255) as a decimal integer, not clamped.
void read_colour(lua_State* L, int idx, Value& v) {
  if (!lua_isnumber(L, idx)) luaL_argerror(L, idx, "number expected");
  double t = std::trunc(lua_tonumber(L, idx) * 255.0);
  if (!std::isfinite(t) || t == 0.0) t = 0.0;  // no "-0", no "nan"
  v.length = static_cast<size_t>(std::snprintf(v.digits, sizeof v.digits, "%.0f", t));
  v.text = v.digits;
}

// Writes `keyword`, then the arguments read by `kinds` ('t' text, 'c' colour),
// then the fixed lines of `tail`.
int record(lua_State* L, const char* keyword, const char* kinds, std::initializer_list<const char*> tail = {}) {
  if (!paint_script_is_open()) return 0;
  Value values[kMaxValues];
  int count = 0;
  for (; kinds[count] && count < kMaxValues; ++count) {
    if (kinds[count] == 'c')
      read_colour(L, count + 1, values[count]);
    else
      read_text(L, count + 1, values[count]);
  }
  paint_script_line(keyword);
  for (int i = 0; i < count; ++i) paint_script_line(values[i].text, values[i].length);
  for (const char* line : tail) paint_script_line(line);
  return 0;
}

}  // namespace

int paint_open(lua_State* L) {
  Value seed;
  read_text(L, 1, seed);
  if (!paint_script_open(*run_images(L).canvas)) return 0;
  for (const char* line : {"1554", "Description", "1", " ", "RandomSeed"}) paint_script_line(line);
  paint_script_line(seed.text, seed.length);
  return 0;
}

int paint_close(lua_State*) {
  paint_script_close(true);
  return 0;
}

int paint_stroke_start(lua_State* L) {
  return record(L, "DrawStart", "tt", {"-1", "SmoothPlot2", "0", "0", "0", "1", "0"});
}
int paint_stroke_pos(lua_State* L) { return record(L, "SmoothPlot2", "ttt", {"0", "0"}); }
int paint_stroke_stop(lua_State* L) {
  return record(L, "SmoothPlot2", "", {"0", "0", "0", "0", "1", "DrawStop", "1"});
}
int paint_select_brush(lua_State* L) { return record(L, "SelectBrush", "ttt"); }
int paint_brush_size(lua_State* L) { return record(L, "SetBrushSize", "t"); }
int paint_brush_density(lua_State* L) { return record(L, "SetBrushDensity", "t"); }
int paint_brush_opacity(lua_State* L) { return record(L, "SetBrushOpacity", "t"); }
int paint_brush_color(lua_State* L) { return record(L, "SetColor", "ccc"); }
int paint_set_color_banks(lua_State* L) { return record(L, "SetColorBanks", "tcccccccccccc"); }
int paint_line(lua_State* L) { return record(L, "Line2", "tttt"); }
int paint_spline(lua_State* L) { return record(L, "Spline", "tttttttt"); }
int paint_dab(lua_State* L) { return record(L, "Dab", "ttt"); }
int paint_filter(lua_State* L) { return record(L, "Filter", "tttttttttttttttttttt"); }

}  // namespace cvl::luafn
