#include "effects/effect_rows_inhouse.h"

#include <algorithm>

#include "core/colour_adjust.h"
#include "core/colour_models.h"
#include "imaging/geometry/flip.h"
#include "imaging/tone/lut.h"
#include "effects/inhouse_effects.h"
#include "mask/mask_builders.h"
#include "mask/mask_ops.h"
#include "script/lua_filter.h"

namespace cvl {
namespace {

int32_t inhouse_p(const EffectCall& call, const char* name) {
  return frame_p(call, [&] { return inhouse(call, name, 0, call.all()); });
}
int32_t inhouse_r(const EffectCall& call, const char* name) {
  return frame_r(call, [&] { return inhouse(call, name, 0, call.all()); });
}

int32_t adjust_colour_model(const EffectCall& call, bool lightness) {
  const int32_t hue = trunc_i(call.s[0] * 3.6 - 180);
  const int32_t saturation = trunc_i(call.s[1] * 2 - 100);
  const int32_t third = trunc_i(call.s[2] * 2 - 100);
  return frame_l(call, [&] {
    if (lightness)
      hsl_adjust_buffer(call.src, call.width, call.height, hue, saturation, third);
    else
      hsv_adjust_buffer(call.src, call.width, call.height, hue, saturation, third);
    return true;
  });
}

imaging::ImageView src_view(const EffectCall& call) { return {call.src, call.width, call.height, 4, call.stride()}; }

void open_mask_when_asked(const EffectCall& call) {
  if (call.flag(0)) clear_mask(*call.canvas, 0, 0, 0);
}

// One linear stretch of the input table from `from` up to `to` - 1, d carried on.
void ramp(uint8_t table[256], int32_t from, int32_t to, double& d) {
  if (to <= from) return;
  const double step = 127.0 / (to - from);
  for (int32_t j = from; j < to; ++j) {
    table[j] = static_cast<uint8_t>(static_cast<int32_t>(d));
    d = std::min(d + step, 255.0);
  }
}

}  // namespace

int32_t sketch(const EffectCall& call, const SketchSteps& steps) {
  const InhouseArgs by_option = fixed_args({}, call.option);
  if (!inhouse(call, "Grayscale", 0, by_option)) return 0;
  uint8_t copy_of_invert = 1;
  if (steps.load_grey) {
    load(call, call.dst);
    refresh(call);
    copy_of_invert = 0;  // inverts the refreshed (grey) layer
  }
  if (!inhouse(call, "Invert", copy_of_invert, by_option)) return 0;
  if (!inhouse(call, "Value Blur", 1, fixed_args({steps.blur1, steps.blur2}))) return 0;
  composite(call, call.dst, steps.mode, 255);
  return 1;
}

int32_t row_anti_alias(const EffectCall& call) { return inhouse_p(call, "Anti Alias"); }
int32_t row_smart_blur(const EffectCall& call) { return inhouse_p(call, "Noise Reduction"); }
int32_t row_adaptive_blur(const EffectCall& call) { return inhouse_p(call, "Adaptive Blur"); }
int32_t row_detail_blur(const EffectCall& call) { return inhouse_p(call, "Detail Blur"); }
int32_t row_value_blur(const EffectCall& call) { return inhouse_p(call, "Value Blur"); }
int32_t row_noise_reduction(const EffectCall& call) { return inhouse_p(call, "Noise Reduction"); }
int32_t row_noise_reduction_rgb(const EffectCall& call) { return inhouse_p(call, "Noise Reduction RGB"); }
int32_t row_hyper_contrast(const EffectCall& call) { return inhouse_r(call, "Hyper Contrast"); }
int32_t row_adjust_lab(const EffectCall& call) { return inhouse_r(call, "Adjust Lab"); }
int32_t row_channel(const EffectCall& call) { return inhouse_r(call, "Channel"); }
int32_t row_fader(const EffectCall& call) { return inhouse_r(call, "Fader"); }
int32_t row_basic_threshold(const EffectCall& call) { return inhouse_r(call, "Basic Threshold"); }
int32_t row_line_art_cleaner(const EffectCall& call) { return inhouse_r(call, "Line Art Cleaner"); }
int32_t row_clamp(const EffectCall& call) { return inhouse_r(call, "Clamp"); }
int32_t row_bas_relief(const EffectCall& call) { return inhouse_r(call, "Bas Relief"); }
int32_t row_vignette(const EffectCall& call) { return inhouse_r(call, "Vignette"); }
int32_t row_borderize(const EffectCall& call) { return inhouse_r(call, "Borderize"); }
int32_t row_reflection(const EffectCall& call) { return inhouse_r(call, "Reflection"); }

int32_t row_charcoal(const EffectCall& call) { return sketch(call, {true, call.S[0], call.S[1], mix::kDodge}); }
int32_t row_edge3(const EffectCall& call) {
  return sketch(call, {true, 1000 - call.S[0], 1000 - call.S[1], mix::kDodge});
}
int32_t row_outliner1(const EffectCall& call) { return sketch(call, {false, 1000, 1000 - call.S[0], mix::kTexturize}); }
int32_t row_outliner2(const EffectCall& call) {
  // The outline is drawn over the popped picture; its saturation step is left at
  // the neutral middle because this recipe has no saturation slider.
  photo_pop(*call.canvas, *call.tool, call.S[0], 50.0, call.f[0]);
  return sketch(call, {false, 1000, 1000 - call.S[2], mix::kTexturize});
}

int32_t row_glow(const EffectCall& call) {
  if (!inhouse(call, "Invert", 0, fixed_args({}))) return 0;
  if (!inhouse(call, "Value Blur", 1, fixed_args({1000 - call.S[0], 1000}))) return 0;
  composite(call, call.dst, mix::kSubtract, 255);
  return 1;
}

void levels_input_table(float s1, float s2, uint8_t table[256]) {
  const int32_t lo = static_cast<uint8_t>(trunc_i(s1 * 2.559));
  const int32_t hi = static_cast<uint8_t>(trunc_i(s2 * 2.559));
  const int32_t mid = lo + (hi - lo) / 2;
  std::fill(table, table + 256, uint8_t{0});
  double d = 0;
  ramp(table, lo, mid, d);
  ramp(table, mid, hi, d);
  std::fill(table + hi, table + 256, uint8_t{255});
}

void levels_output_table(float s3, float s4, uint8_t table[256]) {
  const int32_t olo = trunc_i(s3 * 2.559);
  const uint8_t range = static_cast<uint8_t>(trunc_i(s4 * 2.559) - olo);
  double e = olo;
  for (int32_t j = 0; j < 256; ++j) {
    table[j] = static_cast<uint8_t>(static_cast<int32_t>(std::min(e, 255.0)));
    e = std::min(e + range / 255.0, 255.0);
  }
}

int32_t row_levels(const EffectCall& call) {
  return frame_l(call, [&] {
    uint8_t input[256], output[256];
    levels_input_table(call.s[0], call.s[1], input);
    levels_output_table(call.s[2], call.s[3], output);
    const uint8_t* tables[4] = {};
    for (int c = 0; c < 4; ++c) tables[c] = call.f[c] != 0 ? input : nullptr;
    imaging::apply_luts(src_view(call), tables);
    for (int c = 0; c < 4; ++c)
      if (tables[c]) tables[c] = output;
    imaging::apply_luts(src_view(call), tables);
    return true;
  });
}

int32_t row_adjust_hsl(const EffectCall& call) { return adjust_colour_model(call, true); }
int32_t row_adjust_hsv(const EffectCall& call) { return adjust_colour_model(call, false); }

int32_t row_mask_generate_hsl(const EffectCall& call) {
  uint8_t r = 0, g = 0, b = 0;
  HslToRgb(call.s[0] * 3.6, call.s[2] * 0.01, call.s[4] * 0.01, r, g, b);
  open_mask_when_asked(call);
  return mask_from_rgba_hsl_range(*call.canvas, call.src, r, g, b, call.s[1] * 0.01, call.s[3] * 0.01,
                                  call.s[5] * 0.01, call.option == 0 ? 255 : 0);
}

int32_t row_mask_detail(const EffectCall& call) {
  open_mask_when_asked(call);
  return frame_r(call, [&] { return inhouse(call, "Mask Detail", 0, call.all()); });
}

int32_t row_horizontal_flip(const EffectCall& call) {
  return frame_l(call, [&] {
    imaging::flip_horizontal(src_view(call));
    return true;
  });
}
int32_t row_vertical_flip(const EffectCall& call) {
  return frame_l(call, [&] {
    imaging::flip_vertical(src_view(call));
    return true;
  });
}

int32_t row_lua_filter(const EffectCall& call) {
  refresh(call);
  const LuaFilterParams params{call.text,
                               {call.S[0], call.S[1], call.S[2], call.S[3], call.S[4], call.S[5]},
                               {call.option, call.i2},
                               {call.f[0], call.f[1], call.f[2], call.f[3], call.f[4], call.f[5]}};
  lua_filter_run(*call.canvas, *call.tool, params);
  return 1;
}

}  // namespace cvl
