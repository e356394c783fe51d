// Functions that reach past the working images: writing them into the current
// layer, switching buffer modes, and the host's message box, Escape key and
// debugger output.
#include <cstring>

#include "layers/pixel_access.h"
#include "layers/rgba32_loader.h"
#include "layers/ipl_images.h"
#include "layers/filter_prep.h"
#include "layers/merge.h"
#include "platform/host_callbacks.h"
#include "script/lua_functions.h"

namespace cvl::luafn {
namespace {

size_t image_bytes(const FilterImages& f) {
  return static_cast<size_t>(f.width) * static_cast<size_t>(f.height) * 4;
}

// Engine work may throw (an allocation); the exception must not cross the
// interpreter's frames, so it is caught here and raised again as a Lua error
// once nothing with a destructor is left on this frame.
template <class F>
int engine_call(lua_State* L, const char* name, F&& work) {
  bool failed = false;
  try {
    work();
  } catch (...) {
    failed = true;
  }
  if (failed) return luaL_error(L, "%s: out of memory", name);
  return 0;
}

}  // namespace

int flush(lua_State* L) {
  const FilterImages& f = run_images(L);
  return engine_call(L, "flush", [&f] {
    if (Layer* layer = ipl_source_layer(*f.canvas)) {
      const int32_t slot = static_cast<int32_t>(layer - f.canvas->layer_slots.data());
      load_rgba32_layer(*f.canvas, f.dst, f.width * 4, slot, 0, 0, layer->width, layer->height, true);
    }
    // Later reads see the flushed image whichever buffer they use.
    std::memcpy(f.src, f.dst, image_bytes(f));
  });
}

int merge(lua_State* L) {
  const int32_t mode = arg_int(L, 1);
  // Opacity is a fraction; held to 0..255 so the compositor never sees a weight
  // outside the range its arithmetic is built for.
  const double scaled = arg_num(L, 2) * 255.0;
  const int32_t opacity = !(scaled > 0.0) ? 0 : (scaled >= 255.0 ? 255 : static_cast<int32_t>(scaled));
  const FilterImages& f = run_images(L);
  return engine_call(L, "merge", [&f, mode, opacity] {
    adjust_rgba32_by_mask_and_texture(*f.canvas, f.dst, f.width, f.height);
    Layer* layer = ipl_source_layer(*f.canvas);
    if (!layer) return;
    merge_rgba32_into_layer(*f.canvas, f.dst, *layer, mode, 0, opacity, layer->lockAlpha != 0);
    ipl_update_src32(*f.canvas);
  });
}

int single_buffer(lua_State* L) {
  run_images(L).single_buffer = lua_toboolean(L, 1) ? 1 : 0;
  return 0;
}

int progress(lua_State*) { return 0; }

int message_box(lua_State* L) {
  platform::message_box(lua_tostring(L, 2), lua_tostring(L, 1));
  return 0;
}

int is_escape(lua_State* L) {
  lua_pushnumber(L, platform::escape_pressed() ? 1 : 0);
  return 1;
}

int output_debug_string(lua_State* L) {
  platform::debug_output(lua_tostring(L, 1));
  return 0;
}

}  // namespace cvl::luafn
