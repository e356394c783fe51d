// Running a Lua filter script over the RGBA32 working images and writing the
// result into the current layer.
#pragma once

#include <cstdint>

#include "core/engine.h"
#include "core/tool_settings.h"

namespace cvl {

struct LuaFilterParams {
  const char* script_path = nullptr;
  int32_t sliders[6] = {};  // thousandths: 500 is 0.5 in the script
  int32_t styles[2] = {};   // 0-based; the script sees them 1-based
  int32_t flags[6] = {};    // only the low byte counts
};

// One run in a fresh Lua state over the working images and current layer of
// `canvas`, `tool` giving the paint colours. Does nothing unless both RGBA32
// working images exist at the canvas size. The source is copied into the destination, the
// script runs, and only when it finishes without error does the destination
// go into the current layer through the selection. Load and run errors are
// shown to the user in a "Lua Script Error" box; nothing is returned.
void lua_filter_run(Engine& canvas, const ToolSettings& tool, const LuaFilterParams& params);

// While on, later runs get a state without file, process, native-library or
// debug access (off by default: existing scripts keep every library).
void lua_filter_set_sandbox(bool on);
bool lua_filter_sandbox();

}  // namespace cvl
