#include "brush/tool_setters.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "brush/brush_shape.h"
#include "brush/grit.h"
#include "core/engine.h"
#include "core/rand.h"
#include "core/rand_array.h"
#include "core/guard.h"

namespace cvl {

namespace {

// Host colours are 8-bit; the shift (not * 257) is what every stored colour relies on.
uint16_t widen8(int32_t v) { return static_cast<uint16_t>(v * 256); }

void store_tool_arguments(ToolSettings& t, const ToolArgs& a) {
  t.tip_strength = a.tip_strength;
  t.grit_dot_size = a.grit_dot_size;
  t.grit_dot_chance = a.grit_dot_chance;
  t.grit_dot_fill = a.grit_dot_fill;
  t.tip_softness = static_cast<uint8_t>(a.tip_softness);
  t.color_vary = a.color_vary;
  t.drawing_length_reset = a.drawing_length;
  t.blend_strength = a.blend_strength;
  t.blend_primary_strength = a.blend_primary_strength;
  t.blend_remix = static_cast<uint8_t>(a.blend_remix);
  t.tip_invert = static_cast<uint8_t>(a.tip_invert);
  t.tool_angle = a.tip_angle;
  t.mix_mode = kNormalBrushMix;
}

void refresh_keeps(ToolSettings& t) {
  if (t.blend_strength > 0) t.blend_keep = 256 - t.blend_strength;
  if (t.blend_primary_strength > 0) t.blend_primary_keep = 256 - t.blend_primary_strength;
}

}  // namespace

FailureCause set_tool(Engine& e, ToolSettings& t, const ToolArgs& args) {
  // Seeding first makes the patterns a function of the seed and the arguments alone.
  crt_srand(static_cast<uint32_t>(e.random_seed));
  store_tool_arguments(t, args);
  if (t.grit_dot_size != 0) build_random_grit(e, t, current_grit());
  if (args.grit_path && std::strlen(args.grit_path) > 1) build_grit_from_source(e, t, args.grit_path);
  // A failing tip build reports itself and the tool is still completed.
  FailureCause tip;
  guarded("SetBrushShape Excpt",
          [&] { tip = set_brush_shape(e, t, args.tip_path, args.tip_angle, TipSource::ScriptOrImage); });
  refresh_keeps(t);
  t.blend_disabled_once = 0;
  t.mask_maker_on = 0;
  t.erase_once = 0;
  return tip;
}

void set_colour(ToolSettings& t, int32_t r, int32_t g, int32_t b) {
  t.paint_color = {widen8(r), widen8(g), widen8(b), 65535};
}

void set_colour16(ToolSettings& t, int32_t r, int32_t g, int32_t b) {
  t.paint_color = {static_cast<uint16_t>(r), static_cast<uint16_t>(g), static_cast<uint16_t>(b), 65535};
}

void set_colour_banks(ToolSettings& t, const int32_t values[12]) {
  for (int bank = 0; bank < 4; ++bank) {
    const int32_t* v = values + bank * 3;
    t.color_banks[static_cast<size_t>(bank)] = {widen8(v[0]), widen8(v[1]), widen8(v[2]), 65535};
  }
}

// A zero strength switches blending off but keeps the last keep value.
void set_blend_strength(ToolSettings& t, int32_t s) {
  t.blend_strength = s;
  if (s > 0) t.blend_keep = 256 - s;
}

void set_blend_primary_strength(ToolSettings& t, int32_t s) {
  t.blend_primary_strength = s;
  if (s > 0) t.blend_primary_keep = 256 - s;
}

void set_blend_remix(ToolSettings& t, int32_t b) { t.blend_remix = static_cast<uint8_t>(b); }

void set_density(ToolSettings& t, int32_t d) { t.density_threshold = d - 1; }

void set_alpha(ToolSettings& t, int32_t percent) {
  t.opacity_percent = percent;
  t.opacity_scale = static_cast<int32_t>(percent * 1.28);
}

// The sine is taken from the double product, the cosine from the stored float:
// dabs rotated by the two differ in the last bits, and recorded strokes rely on it.
void set_rotate_brush_mode(ToolSettings& t, int32_t on, int32_t degrees) {
  t.rotate_mode = on;
  t.rotate_degrees = degrees;
  const double angle = degrees * 0.005555555555555556 * 3.14159;
  t.rotate_angle = static_cast<float>(angle);
  t.rotate_sin = static_cast<float>(std::sin(angle));
  t.rotate_cos = static_cast<float>(std::cos(static_cast<double>(t.rotate_angle)));
}

void set_mix_mode(ToolSettings& t, int32_t mode, int32_t strength) {
  t.mix_mode = mode;
  t.mix_strength = strength;
  t.mix_keep = 256 - strength;
  const double x = (strength - 127) * 0.007874015748031496;
  t.mix_shift = static_cast<int32_t>(16 * x);
}

// The table holds 1000 entries; larger sizes are outside what the host sends, and
// only the entries that exist are written.
void set_size(ToolSettings& t, int32_t size) {
  t.brush_size = size;
  t.scaled_size = size;
  const int32_t n = std::min(size, kScaleTableSize);
  for (int32_t i = 0; i < n; ++i) t.scale_table[static_cast<size_t>(i)] = i;
}

// Footprint pixel i samples the tip pixel nearest its centre. The position runs
// in extended precision while its step is the single-precision ratio, which is
// what decides the truncation on long tables.
void set_scale_size(ToolSettings& t, int32_t n) {
  if (n < 1) n = 1;
  if (n > t.brush_size) n = t.brush_size;
  if (n >= kScaleTableSize) n = kScaleTableSize - 1;
  t.scaled_size = n;
  if (n < 1) return;  // no tip to sample (brush_size 0)
  const long double q = static_cast<long double>(t.brush_size) / n;
  const float step = static_cast<float>(q);
  long double b = q * 0.5L;
  for (int32_t i = 0; i < n; ++i) {
    t.scale_table[static_cast<size_t>(i)] = static_cast<int32_t>(b);
    b += step;
  }
}

void set_pix_colour_vary(Engine& e, ToolSettings& t, int32_t v) {
  t.pix_color_vary = v;
  if (v > 0)
    make_rand_array_byte(e.pix_color_vary_table, 1000, static_cast<uint32_t>(3 * e.brush_capacity), e.random_seed);
}

void set_pix_lum_vary(Engine& e, ToolSettings& t, int32_t v) {
  t.pix_lum_vary = v;
  if (v > 0)
    make_rand_array_byte(e.pix_lum_vary_table, 256, static_cast<uint32_t>(3 * e.brush_capacity), e.random_seed);
}

}  // namespace cvl
