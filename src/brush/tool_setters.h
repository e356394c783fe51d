// SetTool and the small setters that fill the brush description (core/tool_settings.h).
#pragma once

#include <cstdint>

#include "core/last_error.h"
#include "core/tool_settings.h"

namespace cvl {

struct Engine;

// The sixteen arguments of SetTool, in the host's order.
struct ToolArgs {
  float tip_strength = 1.0f;
  int32_t grit_dot_size = 0;
  int32_t grit_dot_chance = 0;
  int32_t grit_dot_fill = 0;
  int32_t tip_softness = 0;  // only the low byte is kept
  int32_t color_vary = 0;
  int32_t drawing_length = 0;
  int32_t blend_strength = 0;
  int32_t blend_primary_strength = 0;
  int32_t blend_remix = 0;  // low byte
  int32_t flag11 = 0;       // accepted and ignored
  int32_t tip_invert = 0;   // low byte
  int32_t flag13 = 0;       // accepted and ignored
  const char* grit_path = nullptr;
  const char* tip_path = nullptr;
  int32_t tip_angle = 0;
};

// Stores the tool, builds the grit patterns and the tip, and clears the one-dab
// switches. Empty when the tip asked for was built, else why not (the tool is
// completed either way).
FailureCause set_tool(Engine& e, ToolSettings& t, const ToolArgs& args);

// The setters: each changes one aspect of the tool between dabs.
void set_colour(ToolSettings& t, int32_t r, int32_t g, int32_t b);
void set_colour16(ToolSettings& t, int32_t r, int32_t g, int32_t b);
void set_colour_banks(ToolSettings& t, const int32_t values[12]);
void set_blend_strength(ToolSettings& t, int32_t s);
void set_blend_primary_strength(ToolSettings& t, int32_t s);
void set_blend_remix(ToolSettings& t, int32_t b);
void set_density(ToolSettings& t, int32_t d);
void set_alpha(ToolSettings& t, int32_t percent);
void set_rotate_brush_mode(ToolSettings& t, int32_t on, int32_t degrees);
void set_mix_mode(ToolSettings& t, int32_t mode, int32_t strength);
void set_size(ToolSettings& t, int32_t size);
void set_scale_size(ToolSettings& t, int32_t n);
void set_pix_colour_vary(Engine& e, ToolSettings& t, int32_t v);
void set_pix_lum_vary(Engine& e, ToolSettings& t, int32_t v);

}  // namespace cvl
