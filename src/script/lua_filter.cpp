#include "script/lua_filter.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "core/engine.h"
#include "layers/rgba32_loader.h"
#include "layers/ipl_images.h"
#include "platform/host_callbacks.h"
#include "script/lua_functions.h"
#include "script/lua_sandbox.h"
#include "script/paint_script.h"

namespace cvl {
namespace {

bool g_sandbox = false;

// Installed in this order; scripts written for the engine may rely on it
// (a script can walk _G, and later names shadow nothing).
constexpr luaL_Reg kFunctions[] = {
    {"get_value", luafn::get_value},
    {"set_value", luafn::set_value},
    {"get_rgb", luafn::get_rgb},
    {"set_rgb", luafn::set_rgb},
    {"get_alpha", luafn::get_alpha},
    {"set_alpha", luafn::set_alpha},
    {"get_rgba", luafn::get_rgba},
    {"set_rgba", luafn::set_rgba},
    {"get_hsv", luafn::get_hsv},
    {"set_hsv", luafn::set_hsv},
    {"get_hsl", luafn::get_hsl},
    {"set_hsl", luafn::set_hsl},
    {"get_lab", luafn::get_lab},
    {"set_lab", luafn::set_lab},
    {"get_cmyk", luafn::get_cmyk},
    {"set_cmyk", luafn::set_cmyk},
    {"get_mask", luafn::get_mask},
    {"set_mask", luafn::set_mask},
    {"get_color", luafn::get_color},
    {"get_color1", luafn::get_color1},
    {"get_color2", luafn::get_color2},
    {"get_color3", luafn::get_color3},
    {"get_color4", luafn::get_color4},
    {"flush", luafn::flush},
    {"merge", luafn::merge},
    {"single_buffer", luafn::single_buffer},
    {"progress", luafn::progress},
    {"message_box", luafn::message_box},
    {"is_escape", luafn::is_escape},
    {"bit_not", luafn::bit_not},
    {"bit_and", luafn::bit_and},
    {"bit_or", luafn::bit_or},
    {"bit_xor", luafn::bit_xor},
    {"bit_shfr", luafn::bit_shfr},
    {"bit_shfl", luafn::bit_shfl},
    {"paint_open", luafn::paint_open},
    {"paint_close", luafn::paint_close},
    {"paint_stroke_start", luafn::paint_stroke_start},
    {"paint_stroke_stop", luafn::paint_stroke_stop},
    {"paint_stroke_pos", luafn::paint_stroke_pos},
    {"paint_select_brush", luafn::paint_select_brush},
    {"paint_brush_size", luafn::paint_brush_size},
    {"paint_brush_density", luafn::paint_brush_density},
    {"paint_brush_opacity", luafn::paint_brush_opacity},
    {"paint_brush_color", luafn::paint_brush_color},
    {"paint_set_color_banks", luafn::paint_set_color_banks},
    {"paint_line", luafn::paint_line},
    {"paint_spline", luafn::paint_spline},
    {"paint_dab", luafn::paint_dab},
    {"paint_filter", luafn::paint_filter},
    {"output_debug_string", luafn::output_debug_string},
};

// Mix-mode numbers for merge, 0..19. "EXCLUSIO" is the name scripts use.
constexpr const char* kMergeNames[] = {
    "MERGE_NORMAL",    "MERGE_MULTIPLY", "MERGE_SCREEN",    "MERGE_DARKEN",     "MERGE_LIGHTEN",
    "MERGE_DIFFERENCE", "MERGE_NEGATION", "MERGE_EXCLUSIO",  "MERGE_OVERLAY",    "MERGE_HARD_LIGHT",
    "MERGE_SOFT_LIGHT", "MERGE_DODGE",    "MERGE_BURN",      "MERGE_REFLECT",    "MERGE_GLOW",
    "MERGE_ADD",       "MERGE_SUBTRACT", "MERGE_TEXTURIZE", "MERGE_TEXTURIZE2", "MERGE_TEXTURIZE3",
};

constexpr size_t kErrorTextBytes = 2048;

void set_number(lua_State* L, const char* name, double v) {
  lua_pushnumber(L, v);
  lua_setglobal(L, name);
}

void set_numbered(lua_State* L, const char* stem, int n, double v) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%d", stem, n);
  set_number(L, name, v);
}

// What the state is built from: the script's arguments and the run's record.
struct StateArgs {
  const LuaFilterParams* params;
  FilterImages* images;
};

// Builds the state in protected mode, so that running out of memory while
// opening the libraries is an error status rather than the panic handler's
// exit.
int prepare_state(lua_State* L) {
  const auto& args = *static_cast<const StateArgs*>(lua_touserdata(L, 1));
  const LuaFilterParams& p = *args.params;
  luaL_openlibs(L);
  for (const luaL_Reg& f : kFunctions) {
    lua_pushcfunction(L, f.func);
    lua_setglobal(L, f.name);
  }
  const FilterImages& img = *args.images;
  set_number(L, "width", img.width);
  set_number(L, "height", img.height);
  set_number(L, "bound_x0", 0);
  set_number(L, "bound_y0", 0);
  set_number(L, "bound_x1", img.width - 1);
  set_number(L, "bound_y1", img.height - 1);
  for (int i = 0; i < 6; ++i) set_numbered(L, "sliderVal", i + 1, p.sliders[i] * 0.001);
  for (int i = 0; i < 6; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "flagVal%d", i + 1);
    lua_pushboolean(L, (p.flags[i] & 0xFF) != 0);
    lua_setglobal(L, name);
  }
  for (int i = 0; i < 2; ++i) set_numbered(L, "styleVal", i + 1, static_cast<double>(p.styles[i]) + 1.0);
  for (int mode = 0; mode < 20; ++mode) set_number(L, kMergeNames[mode], mode);
  if (g_sandbox && sandbox_state(L) != 0) lua_error(L);
  return 0;
}

// Shows the error on top of the stack and pops it. An error object that is not
// a string (error({}) in a script) is reported as such instead of as no text.
void show_script_error(lua_State* L) {
  const char* message = lua_tostring(L, -1);
  char text[kErrorTextBytes];
  std::snprintf(text, sizeof text, "%s", message ? message : "(error object is not a string)");
  platform::message_box("Lua Script Error", text);
  lua_pop(L, 1);
}

thread_local FilterImages* t_running = nullptr;

// Marks a run as this thread's for its lifetime.
class RunningFilter {
 public:
  explicit RunningFilter(FilterImages& images) : outer_(std::exchange(t_running, &images)) {}
  ~RunningFilter() { t_running = outer_; }
  RunningFilter(const RunningFilter&) = delete;
  RunningFilter& operator=(const RunningFilter&) = delete;

 private:
  FilterImages* outer_;
};

// Steps after the script, on every way out, exceptions included: the
// single-buffer copy, closing a paint script left open (without its closing
// line), closing the state.
struct RunEnd {
  lua_State* L;
  const FilterImages& f;
  ~RunEnd() {
    if (f.single_buffer == 1) std::memcpy(f.src, f.dst, static_cast<size_t>(f.width) * static_cast<size_t>(f.height) * 4);
    paint_script_close(false);
    if (L) lua_close(L);
  }
};

// True when the script loaded and ran without error.
bool run_script(lua_State* L, const LuaFilterParams& params, FilterImages& images) {
  StateArgs args{&params, &images};
  if (lua_cpcall(L, prepare_state, &args) != 0) {
    show_script_error(L);
    return false;
  }
  // A null path would make the file loader read standard input.
  const char* path = params.script_path ? params.script_path : "";
  if ((g_sandbox ? sandbox_load_file(L, path) : luaL_loadfile(L, path)) != 0) {
    show_script_error(L);
    return false;
  }
  if (lua_pcall(L, 0, 1, 0) != 0) {
    show_script_error(L);
    return false;
  }
  lua_pop(L, 1);
  return true;
}

}  // namespace

FilterImages* luafn::running_filter() { return t_running; }

void lua_filter_set_sandbox(bool on) { g_sandbox = on; }
bool lua_filter_sandbox() { return g_sandbox; }

void lua_filter_run(Engine& canvas, const ToolSettings& tool, const LuaFilterParams& params) {
  uint8_t* src = ipl_buffer(canvas, IplBuffer::Src32);
  uint8_t* dst = ipl_buffer(canvas, IplBuffer::Dst32);
  if (!src || !dst) return;
  const Engine& e = canvas;
  std::memcpy(dst, src, e.canvas_pixels() * 4);
  FilterImages images{src, dst, e.canvas_width, e.canvas_height, 0, &canvas, &tool};
  const RunningFilter running(images);
  RunEnd end{luaL_newstate(), images};
  if (!end.L) return;
  if (run_script(end.L, params, images)) load_rgba32(canvas, dst, e.canvas_width * 4, true);
}

}  // namespace cvl
