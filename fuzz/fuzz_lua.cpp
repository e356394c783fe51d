// Filter scripts built from the input: each few bytes pick one of the native
// functions and its arguments (small numbers, NaN, infinities, huge and negative
// numbers, the canvas edges, and values of the wrong type), called directly or
// through pcall, sometimes inside a short counted loop. The scripts run through
// the filter host with the sandbox on, on a small canvas; the host must come
// through every one with the layer, the canvas and both working images intact.
//
// The generated scripts have no unbounded loops and no recursion, so the time of
// one input grows only with its length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "core/engine.h"
#include "corvel/corvel.h"

namespace {

constexpr int32_t kW = 16, kH = 12, kSlot = 2;

constexpr const char* kFunctions[] = {
    "get_value",          "set_value",          "get_rgb",           "set_rgb",
    "get_alpha",          "set_alpha",          "get_rgba",          "set_rgba",
    "get_hsv",            "set_hsv",            "get_hsl",           "set_hsl",
    "get_lab",            "set_lab",            "get_cmyk",          "set_cmyk",
    "get_mask",           "set_mask",           "get_color",         "get_color1",
    "get_color2",         "get_color3",         "get_color4",        "flush",
    "merge",              "single_buffer",      "progress",          "message_box",
    "is_escape",          "bit_not",            "bit_and",           "bit_or",
    "bit_xor",            "bit_shfr",           "bit_shfl",          "paint_open",
    "paint_close",        "paint_stroke_start", "paint_stroke_stop", "paint_stroke_pos",
    "paint_select_brush", "paint_brush_size",   "paint_brush_density", "paint_brush_opacity",
    "paint_brush_color",  "paint_set_color_banks", "paint_line",     "paint_spline",
    "paint_dab",          "paint_filter",       "output_debug_string",
};
constexpr size_t kFunctionCount = sizeof kFunctions / sizeof kFunctions[0];

constexpr const char* kArguments[] = {
    "0", "1", "2", "3", "-1", "0.5", "0.999", "-0.5", "7", "15", "11", "255", "360", "-360", "1000",
    "width", "height", "width - 1", "height - 1", "bound_x1", "sliderVal1", "MERGE_TEXTURIZE3", "19", "20",
    "0/0", "1/0", "-1/0", "1e308", "-1e308", "2^31", "-2^31", "2^31 - 1", "2^32", "2^53", "-2^53", "1e-300",
    "nil", "true", "false", "{}", "'x'", "'12'", "''", "string.rep('s', 300)", "'\\0'", "print",
    "coroutine.create(print)", "get_rgb", "i", "-i", "i * 1e9",
};
constexpr size_t kArgumentCount = sizeof kArguments / sizeof kArguments[0];

struct Setup {
  std::filesystem::path dir, script;
  Setup() {
    dir = std::filesystem::temp_directory_path() / ("corvel_fuzz_lua_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "scripts");
    script = dir / "filter.lua";
    CVL_CreateImage(nullptr, kW, kH, 8, 0);
    CVL_CreateLayer(kSlot, kW, kH);
    CVL_SetLayer(kSlot);
    CVL_SetStartDir((dir.string() + "/").c_str());  // paint_open writes its script below here
    CVL_SetLuaSandbox(1);
    CVL_HostCallbacks table{};
    table.size = sizeof table;
    table.message_box = [](void*, const char*, const char*) {};
    table.debug_output = [](void*, const char*) {};
    CVL_SetHostCallbacks(&table);
  }
};

// One statement of the script from the bytes at p.
void statement(std::string& out, const uint8_t*& p, const uint8_t* end) {
  const uint8_t head = *p++;
  const char* name = kFunctions[(p < end ? *p++ : 0) % kFunctionCount];
  const int args = head & 7;
  std::string list;
  for (int i = 0; i < args && p < end; ++i) {
    if (i) list += ", ";
    list += kArguments[*p++ % kArgumentCount];
  }
  const bool guarded = head & 0x08, looped = (head & 0x30) == 0x30;
  std::string call = guarded ? std::string("pcall(") + name + (list.empty() ? "" : ", ") + list + ")"
                             : std::string(name) + "(" + list + ")";
  if (looped) call = "for i = 1, 4 do " + call + " end";
  out += call;
  out += '\n';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Setup setup;
  std::string script = "local i = 0\n";
  const uint8_t* p = data;
  const uint8_t* end = data + size;
  while (p < end) statement(script, p, end);
  std::ofstream(setup.script, std::ios::binary | std::ios::trunc) << script;

  cvl::Engine& e = cvl::engine();
  if (!CVL_IPLAllocSrcBuffer32() || !CVL_IPLAllocDstBuffer32()) __builtin_trap();
  const int32_t flags = size ? data[0] : 0;
  CVL_LuaFilterRun(setup.script.c_str(), 500, -1, 1000, 0, 2000, -2000, flags & 3, -1, flags & 1, flags & 2, 1, 0,
                   0, 1);
  const cvl::Layer& layer = e.slot(kSlot);
  if (e.canvas_width != kW || e.canvas_height != kH || layer.width != kW || layer.height != kH || !layer.data())
    __builtin_trap();
  return 0;
}
