// The brush description: one process-wide record filled by SetTool and the small
// setters (brush/tool_setters.h), read by the dab renderer and the brush mix modes
// for every pixel.
//
// The record is plain data, zero at load, and lives for the process: it survives
// strokes and canvases. Colours widen from 8 bits by a shift of 8 (255 -> 65280).
#pragma once

#include <array>
#include <cstdint>

namespace cvl {

constexpr int32_t kScaleTableSize = 1000;
constexpr int32_t kNormalBrushMix = 32;  // brush mix mode that SetTool selects

struct ToolSettings {
  float tip_strength = 0;        // multiplier of every tip value when the tip is built
  int32_t grit_dot_size = 0;     // side of a grit dot in pixels; 0 = no grit
  int32_t grit_dot_chance = 0;   // a dot cell gets a dot when a byte (0..254) is below this
  int32_t grit_dot_fill = 0;     // a dot pixel is set when a byte (0..254) is below this
  uint8_t tip_softness = 0;      // soft edge of the round tip, softness/255 of the radius
  int32_t color_vary = 0;        // per-dab colour variation, 0 = none
  int32_t drawing_length_reset = 0;  // drawing_length after a grit pattern or tip is built
  int32_t blend_strength = 0;    // 0..256 share of the blend buffer in the paint colour
  int32_t blend_keep = 0;        // 256 - blend_strength, refreshed only while strength > 0
  int32_t blend_primary_strength = 0;  // 0..256 share of the dab colour mixed back
  int32_t blend_primary_keep = 0;      // 256 - blend_primary_strength, refreshed while > 0
  uint8_t blend_remix = 0;       // non-zero: the painted result goes back into the blend buffer
  uint8_t tip_invert = 0;        // non-zero: the round tip's coverage is inverted
  int32_t tool_angle = 0;        // SetTool's tip angle, degrees
  int32_t mix_mode = 0;          // brush mix mode number; 32 = normal
  int32_t mix_strength = 0;      // 0..256
  int32_t mix_keep = 0;          // 256 - mix_strength
  int32_t mix_shift = 0;         // trunc((mix_strength - 127) / 127 * 16)
  std::array<uint16_t, 4> paint_color{};  // R, G, B, A; A is always 65535
  std::array<std::array<uint16_t, 4>, 4> color_banks{};  // four R, G, B, A colours
  int32_t brush_size = 0;        // brush edge in pixels
  int32_t scaled_size = 0;       // edge of the dab footprint on the canvas, 1..999
  std::array<int32_t, kScaleTableSize> scale_table{};  // tip row/column for footprint i
  int32_t density_threshold = 0;  // a grit pixel paints when its byte <= this
  int32_t opacity_percent = 0;   // 0..100; 100 or more = full
  int32_t opacity_scale = 0;     // trunc(opacity_percent * 1.28)
  int32_t rotate_mode = 0;       // 1 = the tip is sampled rotated
  int32_t rotate_degrees = 0;
  float rotate_angle = 0;        // radians
  float rotate_sin = 0;
  float rotate_cos = 0;
  int32_t solid_mode = 0;        // non-zero: every covered pixel gets full coverage
  int32_t image_brush_mode = 0;  // non-zero: blend-buffer alpha scales the coverage
  int32_t alpha_level = 0;       // >= 1: fixed alpha written to painted pixels
  int32_t alpha_locked = 0;
  int32_t color_locked = 0;
  int32_t blob_locked = 0;
  int32_t pix_color_vary = 0;    // per-pixel colour variation, 0 = none
  int32_t pix_lum_vary = 0;      // per-pixel luminance variation, 0 = none
  uint8_t blend_disabled_once = 0;  // one dab: skip blending
  uint8_t mask_maker_on = 0;     // dabs paint into the mask until the next SetTool
  uint8_t erase_once = 0;        // one dab: erase
};

// The process-wide brush description.
ToolSettings& tool();

}  // namespace cvl
