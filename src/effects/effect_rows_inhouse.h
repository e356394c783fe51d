// Effect rows built on the engine's own effects and colour code: the in-house
// effects in their frames, the recipes that chain them, the look-up-table and
// colour-model adjustments, the mask builders, the layer flips and Lua filters.
#pragma once

#include <cstdint>

#include "effects/effect_frames.h"

namespace cvl {

// In-house effects in frame P (filter) and R (refresh), every argument passed.
int32_t row_anti_alias(const EffectCall& call);
int32_t row_smart_blur(const EffectCall& call);
int32_t row_adaptive_blur(const EffectCall& call);
int32_t row_detail_blur(const EffectCall& call);
int32_t row_value_blur(const EffectCall& call);
int32_t row_noise_reduction(const EffectCall& call);
int32_t row_noise_reduction_rgb(const EffectCall& call);
int32_t row_hyper_contrast(const EffectCall& call);
int32_t row_adjust_lab(const EffectCall& call);
int32_t row_channel(const EffectCall& call);
int32_t row_fader(const EffectCall& call);
int32_t row_basic_threshold(const EffectCall& call);
int32_t row_line_art_cleaner(const EffectCall& call);
int32_t row_clamp(const EffectCall& call);
int32_t row_bas_relief(const EffectCall& call);
int32_t row_vignette(const EffectCall& call);
int32_t row_borderize(const EffectCall& call);
int32_t row_reflection(const EffectCall& call);

// Grey, inverted, softened by "Value Blur" and laid over the layer: the pencil and
// outline recipes differ only in the blur's two values, the mix mode and whether
// the grey step is loaded into the layer first. The grey and invert steps take
// call.option.
struct SketchSteps {
  bool load_grey = false;
  int32_t blur1 = 0, blur2 = 0;
  int32_t mode = mix::kDodge;
};
int32_t sketch(const EffectCall& call, const SketchSteps& steps);

// Recipes of in-house steps ending in a composite.
int32_t row_charcoal(const EffectCall& call);
int32_t row_edge3(const EffectCall& call);
int32_t row_glow(const EffectCall& call);
int32_t row_outliner1(const EffectCall& call);
int32_t row_outliner2(const EffectCall& call);

// Tone and colour models.
int32_t row_levels(const EffectCall& call);
int32_t row_adjust_hsl(const EffectCall& call);
int32_t row_adjust_hsv(const EffectCall& call);

// The mask builders.
int32_t row_mask_generate_hsl(const EffectCall& call);
int32_t row_mask_detail(const EffectCall& call);

// The current layer mirrored.
int32_t row_horizontal_flip(const EffectCall& call);
int32_t row_vertical_flip(const EffectCall& call);

int32_t row_lua_filter(const EffectCall& call);

// The "Levels" tables. Input: black at s1 %, white at s2 %, two linear halves
// meeting at the middle. Output: a ramp from s3 % to s4 %.
void levels_input_table(float s1, float s2, uint8_t table[256]);
void levels_output_table(float s3, float s4, uint8_t table[256]);

}  // namespace cvl
